#!/bin/bash
# wine-display-libs.sh i386|x86_64 [--packages]
# Wine's X11 display driver opens its X extension libraries at run time and
# quietly does without the missing ones: without XRandR and XF86VidMode it
# cannot switch display modes, and DirectDraw then fails as if the display
# had no 640x480 mode. Prints the libraries of that architecture that are
# missing and exits 1 if any is; with --packages prints the Debian packages
# that hold them instead.
set -euo pipefail
arch=${1:?usage: wine-display-libs.sh i386|x86_64 [--packages]}
case $arch in
i386) triplet=i386-linux-gnu suffix=:i386 ;;
x86_64) triplet=x86_64-linux-gnu suffix= ;;
*) echo "wine-display-libs: unknown architecture '$arch'" >&2; exit 2 ;;
esac
# library  package
libs=(
    libXrandr.so.2:libxrandr2 libXxf86vm.so.1:libxxf86vm1 libXi.so.6:libxi6
    libXinerama.so.1:libxinerama1 libXcursor.so.1:libxcursor1
    libXcomposite.so.1:libxcomposite1 libXrender.so.1:libxrender1
    libXfixes.so.3:libxfixes3 libXext.so.6:libxext6
)
if [ "${2:-}" = --packages ]; then
    for entry in "${libs[@]}"; do printf '%s%s\n' "${entry#*:}" "$suffix"; done
    exit 0
fi
missing=()
for entry in "${libs[@]}"; do
    lib=${entry%%:*}
    [ -e "/usr/lib/$triplet/$lib" ] || [ -e "/lib/$triplet/$lib" ] || missing+=("$lib")
done
[ ${#missing[@]} -eq 0 ] || { echo "${missing[*]}"; exit 1; }
