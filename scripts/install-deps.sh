#!/bin/bash
# Installs everything Wendrel needs to build and test on Debian 12: the
# native toolchain and libraries, MinGW-w64 for the Windows saver, 32- and
# 64-bit Wine to run it, the X servers and tools the end-to-end tests use,
# and what makes and checks the installers and the Debian package.
#
# A machine that has it all is left alone: no sudo, no apt-get. Otherwise
# the package lists are fetched again, a few times when a mirror fails (one
# in the middle of a sync does, for minutes); if some list still cannot be
# fetched, the packages are installed anyway when apt can still resolve
# them all, and otherwise the script stops saying which step failed.
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config clang-format clang libclang-rt-14-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev libpng-dev
    libsdl2-dev libxrandr-dev libxss-dev libgtk-3-dev libglib2.0-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64
    xvfb xserver-xorg-core xserver-xorg-video-dummy xdotool x11-utils x11-xserver-utils
    imagemagick procps psmisc file git
    nsis icoutils lintian desktop-file-utils man-db devscripts appstream
    # MATE's saver daemon, run by the package test (tests/packaging/
    # mate_screensaver.sh) in a D-Bus session of its own: the session bus
    # (dbus-run-session), gsettings with the dconf store it reads, util-linux's
    # unshare
    mate-screensaver dbus-daemon dbus-x11 libglib2.0-bin dconf-gsettings-backend util-linux
    # The web page: Emscripten (on Debian's clang, lld and binaryen), node
    # to run the engine's tests and npm for playwright-core, Chromium for
    # the page's tests.
    emscripten nodejs chromium
    # The Wayland front end: libwayland-client, wayland-scanner and the
    # protocols' XML (xdg-shell and viewporter; wlr layer-shell and virtual
    # pointer, which Debian ships in librust-wayland-protocols-dev), and the
    # compositors, idle daemon and tools its end-to-end tests drive.
    libwayland-dev libwayland-bin wayland-protocols librust-wayland-protocols-dev
    sway swayidle weston xwayland grim wtype
)
# A nodejs that brings its own npm (and conflicts with Debian's) has it.
command -v npm >/dev/null || packages+=(npm)
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

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# The 32-bit Windows saver runs under 32-bit Wine, whose loader is a 32-bit
# Linux program; enable-i386.sh needs root only where it does not run yet.
if [ ${#missing[@]} -eq 0 ] && "$here/enable-i386.sh" --check; then
    exit 0
fi
if [ "$(id -u)" != 0 ]; then
    exec sudo "$0" "$@"
fi

stop() {
    echo "install-deps: $*; retrying later usually helps" >&2
    exit 1
}
apt_get() { DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -o Acquire::Retries=3 "$@"; }
if [ ${#missing[@]} -gt 0 ]; then
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    echo "Installing: ${missing[*]}"
    updated=0
    for delay in 10 30 0; do
        if apt_get update -q; then
            updated=1
            break
        fi
        [ $delay = 0 ] || { echo "install-deps: apt-get update failed; trying again in $delay s" >&2; sleep $delay; }
    done
    if [ $updated = 0 ]; then
        # Lists fetched before, and the ones fetched now, may still hold
        # everything missing, with its dependencies.
        apt_get install -s -q --no-install-recommends "${missing[@]}" >/dev/null 2>&1 ||
            stop "apt-get update failed (a package list could not be fetched) and without it not every package can be installed"
        echo "install-deps: apt-get update failed, but every package can still be installed; going on" >&2
    fi
    apt_get install -y -q --no-install-recommends "${missing[@]}" ||
        stop "apt-get install failed$([ $updated = 1 ] || echo " after apt-get update had failed")"
fi
"$here/enable-i386.sh"
