#!/bin/bash
# run.sh [RELEASE_DIR [LINUX_BUILD]]: the tests of what scripts/release.sh
# made (default build/release): the two Windows installers under Wine and
# the Debian package on this machine, each on an X server of its own, and
# the source archive built away from the repository.
# LINUX_BUILD (default build/linux) has the test window and
# wendrel-frame-match. A test that cannot run here says why and is counted
# as skipped.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
release=$(readlink -f "${1:-$top/build/release}")
build=$(readlink -f "${2:-$top/build/linux}")
x=$top/tests/support/with-x-server.sh
failed=0
run() {
    local label=$1 start status=0
    shift
    start=$(date +%s)
    "$@" || status=$?
    case $status in
    0) echo "=== $label: passed in $(($(date +%s) - start)) s" ;;
    77) echo "=== $label: skipped ($(($(date +%s) - start)) s)" ;;
    *) echo "=== $label: FAILED (status $status)"; failed=1 ;;
    esac
}
for arch in x86_64 i686; do
    run "wendrel-setup-$arch.exe" "$x" xvfb 1024x768 -- "$here/windows_installer.sh" \
        "$release/wendrel-setup-$arch.exe" "$release/$arch/wendrel.scr"
done
run "source archive and SHA256SUMS" "$here/source_archive.sh" "$release"
debs=("$release"/wendrel_*_amd64.deb)
run "$(basename "${debs[0]}")" "$x" xvfb 1024x768 -- "$here/deb.sh" "${debs[0]}" "$build"
exit $failed
