#!/bin/bash
# Installs everything Wendrel needs to build and test on Debian 12: the
# native toolchain and libraries, MinGW-w64 for the Windows saver, 32- and
# 64-bit Wine to run it, the X servers and tools the end-to-end tests use,
# and what makes and checks the installers and the Debian package.
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config clang-format clang libclang-rt-14-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev libpng-dev
    libsdl2-dev libxrandr-dev libxss-dev libgtk-3-dev libglib2.0-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64
    xvfb xserver-xorg-core xserver-xorg-video-dummy xdotool x11-utils x11-xserver-utils
    imagemagick procps psmisc file
    nsis icoutils lintian desktop-file-utils man-db
)
# Wine's display driver needs its X extension libraries in both
# architectures to switch display modes; --no-install-recommends leaves the
# 32-bit ones out.
here=$(dirname "$0")
for arch in i386 x86_64; do
    mapfile -t -O ${#packages[@]} packages < <("$here/wine-display-libs.sh" "$arch" --packages)
done
# --list prints the packages and does nothing else.
if [ "${1:-}" = --list ]; then
    echo "${packages[@]}"
    exit 0
fi
if [ "$(id -u)" != 0 ]; then
    exec sudo "$0" "$@"
fi
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get -o DPkg::Lock::Timeout=600 update -q
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends "${missing[@]}"
fi
# The 32-bit Windows saver runs under 32-bit Wine, whose loader is a 32-bit
# Linux program.
"$here/enable-i386.sh"
