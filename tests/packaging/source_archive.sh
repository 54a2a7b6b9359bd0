#!/bin/bash
# source_archive.sh RELEASE_DIR: the source archive wendrel-<version>.tar.gz
# holds the committed tree in one folder wendrel-<version>/; unpacked away
# from the repository, with no .git, it configures the linux preset, builds
# the engine suite and passes it. SHA256SUMS lists every artefact beside it,
# with its right checksum.
set -euo pipefail
release=$(readlink -f "$1")
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../.." && pwd)
version=$(sed -n 's/^project(wendrel VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")
archive=$release/wendrel-$version.tar.gz
source "$source/tests/support/shell_lib.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/wendrel-source.XXXXXX")
on_exit rm -rf "$work"
[ -f "$archive" ] || fail "$(basename "$archive"): not made"

# The checksums: every artefact, each right.
artefacts=$(cd "$release" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | sort)
listed=$(awk '{ print $2 }' "$release/SHA256SUMS" | sed 's/^\*//' | sort)
[ "$artefacts" = "$listed" ] || fail "$(basename "$archive"): SHA256SUMS lists $(echo $listed), not $(echo $artefacts)"
(cd "$release" && sha256sum --quiet -c SHA256SUMS) || fail "$(basename "$archive"): a checksum in SHA256SUMS is wrong"

# One top folder, holding what git has.
tar -tzf "$archive" | sed 's|/$||' | sort >"$work/listed"
grep -v "^wendrel-$version\(/\|$\)" "$work/listed" && fail "$(basename "$archive"): files outside wendrel-$version/"
grep -q '\.git$\|\.git/' "$work/listed" && fail "$(basename "$archive"): it holds a git repository"
if git -C "$source" rev-parse --git-dir >/dev/null 2>&1; then
    git -C "$source" ls-tree -r --name-only HEAD | sed "s|^|wendrel-$version/|" | sort >"$work/committed"
    grep -vxF -f <(sed -n "s|^\(wendrel-$version/.*\)|\1|p" "$work/listed") "$work/committed" >"$work/lacking" || true
    [ ! -s "$work/lacking" ] || fail "$(basename "$archive"): it lacks $(head -3 "$work/lacking" | tr '\n' ' ')"
fi

# Built away from the repository: the engine suite, nothing more.
tar -xzf "$archive" -C "$work"
tree=$work/wendrel-$version
cd "$tree"
cmake --preset linux >"$work/build.log" 2>&1 || { cat "$work/build.log" >&2; fail "$(basename "$archive"): configuring failed"; }
nice cmake --build --preset linux --target wendrel_scene_tests >>"$work/build.log" 2>&1 ||
    { tail -30 "$work/build.log" >&2; fail "$(basename "$archive"): building the engine suite failed"; }
ctest --test-dir build/linux/tests/scene --output-on-failure -j2 >"$work/test.log" 2>&1 ||
    { cat "$work/test.log" >&2; fail "$(basename "$archive"): the engine suite failed"; }
tests=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$work/test.log")
[ "${tests:-0}" -ge 20 ] || fail "$(basename "$archive"): the engine suite ran ${tests:-no} tests"
echo "passed: $(basename "$archive"): builds and passes the engine suite ($tests tests) without git"
