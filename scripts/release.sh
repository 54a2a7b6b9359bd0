#!/bin/bash
# Builds the release artefacts into build/release:
#   i686/wendrel.scr, x86_64/wendrel.scr    the bare Windows screen savers
#   wendrel-setup-i686.exe, wendrel-setup-x86_64.exe
#                                           their installers
#   wendrel_<version>_amd64.deb             the Linux package
#   wendrel-web-<version>.zip               the web page, to put on any static
#                                           server (in a folder wendrel-web-<version>/)
#   wendrel-<version>.tar.gz                the source, as committed (HEAD),
#                                           in a folder wendrel-<version>/
#   SHA256SUMS                              the checksums of all of them
set -euo pipefail
cd "$(dirname "$0")/.."
# scripts/test.sh has installed them just before (WENDREL_DEPS_READY=1).
[ "${WENDREL_DEPS_READY:-}" = 1 ] || scripts/install-deps.sh
out="$PWD/build/release"
version=$(sed -n 's/^project(wendrel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
rm -rf "$out"
mkdir -p "$out"
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "release.sh: the source archive holds the last commit, not the changes made since" >&2
fi
git archive --format=tar.gz --prefix="wendrel-$version/" -o "$out/wendrel-$version.tar.gz" HEAD
for arch in i686 x86_64; do
    cmake --preset "windows-$arch" >/dev/null
    cmake --build --preset "windows-$arch" --target wendrel wendrel_setup
    mkdir -p "$out/$arch"
    cp "build/windows-$arch/app/windows/wendrel.scr" "$out/$arch/wendrel.scr"
    cp "build/windows-$arch/wendrel-setup-$arch.exe" "$out/"
done
# The package holds only what the install rules put in it; the tests of
# the linux preset need not be built for it.
cmake --preset linux >/dev/null
cmake --build --preset linux --target wendrel wendrel_packaged_docs
cpack --config build/linux/CPackConfig.cmake -B "$out" >/dev/null
rm -rf "$out/_CPack_Packages"
# The web page, for any static server, its files dated by the last commit.
cmake --preset web >/dev/null
cmake --build --preset web --target wendrel_web wendrel_web_simd
web=wendrel-web-$version
# (a form cmake -E tar reads)
date=$(TZ=UTC git log -1 --date=format-local:'%Y-%m-%d %H:%M:%S UTC' --format=%cd)
mkdir "$out/$web"
cp build/web/page/{index.html,wendrel.js,wendrel.wasm,wendrel-simd.wasm} "$out/$web/"
(cd "$out" && cmake -E tar cf "$web.zip" --format=zip --mtime="$date" "$web")
rm -rf "${out:?}/$web"
(cd "$out" && sha256sum wendrel-"$version".tar.gz wendrel_*_amd64.deb wendrel-setup-*.exe */wendrel.scr \
    wendrel-web-"$version".zip >SHA256SUMS)
ls -l "$out"/*/wendrel.scr "$out"/wendrel-setup-*.exe "$out"/wendrel_*_amd64.deb "$out"/wendrel-*.tar.gz \
    "$out"/wendrel-web-*.zip "$out"/SHA256SUMS
