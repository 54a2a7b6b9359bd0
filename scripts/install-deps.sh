#!/bin/bash
# Installs everything Wendrel needs to build and test on Debian 12: the
# native toolchain and libraries, MinGW-w64 for the Windows saver, 32- and
# 64-bit Wine to run it, the X servers and tools the end-to-end tests use,
# and what makes and checks the installers and the Debian package.
#
#   install-deps.sh [--without-32-bit | --list]
#
# A machine that has it all is left alone: no sudo, no apt-get. Otherwise
# the package lists are fetched again, a few times when a mirror fails (one
# in the middle of a sync does, for minutes). When the 32-bit lists alone
# cannot be fetched, the native ones are fetched by themselves. Then every
# missing package is installed; when only the 32-bit part (32-bit Wine and
# its libraries) cannot be had, the rest is installed, one line says what
# was left out and why, and the script succeeds: the i686 Windows tests are
# then skipped. Anything else that cannot be installed stops it, saying which
# step failed. --without-32-bit leaves the 32-bit part out from the start
# (what scripts/run.sh needs); --list prints every package and does nothing.
set -euo pipefail
here=$(dirname "$0")
packages=(
    # Building, natively and for Windows
    build-essential cmake ninja-build pkg-config clang-format clang libclang-rt-14-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64
    # Libraries
    libgtest-dev libgmock-dev googletest libbenchmark-dev libpng-dev
    libsdl2-dev libxrandr-dev libxss-dev libgtk-3-dev libglib2.0-dev
    # Running the Windows saver and its tests (64-bit; the 32-bit part is below)
    wine wine64
    # X servers and tools of the end-to-end tests, a D-Bus session bus for them
    xvfb xserver-xorg-core xserver-xorg-video-dummy xdotool x11-utils x11-xserver-utils
    dbus-daemon dbus-x11
    imagemagick procps psmisc file git
    # Installers and the Debian package
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
mapfile -t -O ${#packages[@]} packages < <("$here/wine-display-libs.sh" x86_64 --packages)
# The 32-bit part: only the i686 Windows tests need it.
packages_32=(wine32:i386)
mapfile -t -O ${#packages_32[@]} packages_32 < <("$here/wine-display-libs.sh" i386 --packages)
case ${1:-} in
--list) echo "${packages[@]}" "${packages_32[@]}"; exit 0 ;;
--without-32-bit) packages_32=() ;;
'') ;;
*) echo "usage: install-deps.sh [--without-32-bit | --list]" >&2; exit 2 ;;
esac

# not_installed PACKAGE...: prints those that are not installed.
not_installed() {
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
    done
}
mapfile -t missing < <(not_installed "${packages[@]}")
mapfile -t missing_32 < <(not_installed "${packages_32[@]}")
# The 32-bit Windows saver runs under 32-bit Wine, whose loader is a 32-bit
# Linux program; enable-i386.sh needs root only where it does not run yet.
if [ ${#missing[@]} -eq 0 ] && [ ${#missing_32[@]} -eq 0 ] && "$here/enable-i386.sh" --check; then
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
# resolves PACKAGE...: apt can install them all now; otherwise apt's first
# error is in $apt_error.
resolves() {
    local out
    out=$(apt_get install -s -q --no-install-recommends "$@" 2>&1) && return 0
    apt_error=$(grep -m1 '^E:' <<<"$out" || true)
    apt_error=${apt_error:+ ($apt_error)}
    return 1
}

if [ ${#missing[@]} -gt 0 ] || [ ${#missing_32[@]} -gt 0 ]; then
    [ ${#missing_32[@]} -eq 0 ] || dpkg --print-foreign-architectures | grep -qx i386 ||
        dpkg --add-architecture i386
    echo "Installing: ${missing[*]} ${missing_32[*]}"
    # lists: which package lists are fresh: all, native (the 32-bit ones
    # failed) or none.
    lists=none
    for delay in 10 30 0; do
        if apt_get update -q; then
            lists=all
            break
        fi
        if apt_get update -q -o APT::Architectures="$(dpkg --print-architecture)"; then
            lists=native
            break
        fi
        [ $delay = 0 ] || { echo "install-deps: apt-get update failed; trying again in $delay s" >&2; sleep $delay; }
    done
    failed_update=
    case $lists in
    native) failed_update="apt-get update failed for the 32-bit (i386) package lists" ;;
    none) failed_update="apt-get update failed (a package list could not be fetched)" ;;
    esac
    apt_error=
    if resolves "${missing[@]}" "${missing_32[@]}"; then
        :
    elif [ ${#missing_32[@]} -gt 0 ] && { [ ${#missing[@]} -eq 0 ] || resolves "${missing[@]}"; }; then
        echo "install-deps: left out the 32-bit part (${missing_32[*]}): ${failed_update:-apt cannot install it$apt_error}; the i686 Windows tests will be skipped; running this again later may install it" >&2
        missing_32=()
    elif [ -n "$failed_update" ]; then
        stop "$failed_update and without it not every package can be installed$apt_error"
    else
        stop "apt cannot install every package$apt_error"
    fi
    if [ ${#missing[@]} -gt 0 ] || [ ${#missing_32[@]} -gt 0 ]; then
        apt_get install -y -q --no-install-recommends "${missing[@]}" "${missing_32[@]}" ||
            stop "apt-get install failed${failed_update:+ after $failed_update}"
    fi
fi
"$here/enable-i386.sh"
