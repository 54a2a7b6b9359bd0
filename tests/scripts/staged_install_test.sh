#!/bin/bash
# staged_install_test.sh BUILD_DIR: `DESTDIR=STAGE cmake --install` with the
# prefix /usr, as a package build does it: every file it names is under
# STAGE/usr, exactly those files are there, links stay inside the stage,
# and no file of those names is written anywhere else meanwhile.
set -euo pipefail
build=$1
source "$(dirname "$0")/../support/shell_lib.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/wendrel-staged.XXXXXX")
on_exit rm -rf "$work"
stage=$work/stage
touch "$work/stamp"
sleep 1
DESTDIR=$stage cmake --install "$build" --prefix /usr >"$work/log"
# cmake names each file it installs.
sed -n 's/^-- \(Installing\|Up-to-date\): //p' "$work/log" | sort >"$work/named"
outside=$(grep -v "^$stage/usr/" "$work/named" || true)
[ -z "$outside" ] || fail "installed outside $stage/usr: $outside"
(cd "$stage" && find . ! -type d | sed "s|^\.|$stage|") | sort >"$work/found"
[ "$(wc -l <"$work/found")" -ge 10 ] || fail "only $(wc -l <"$work/found") files installed"
grep -qx "$stage/usr/libexec/xscreensaver/wendrel" "$work/found" || fail "no /usr/libexec/xscreensaver/wendrel"
diff "$work/named" "$work/found" >&2 || fail "the stage holds other files than cmake named"
while read -r link; do
    target=$(readlink -f "$link")
    [[ $target = "$stage/"* ]] || fail "$link leads out of the stage, to $target"
done < <(find "$stage" -type l)
# Nothing of ours, by its name, written anywhere else since the start.
names=()
while read -r f; do
    names+=(${names[0]:+-o} -name "$(basename "$f")")
done <"$work/found"
strays=$(find /usr /etc /opt -xdev ! -type d -newer "$work/stamp" \( "${names[@]}" \) \
    2>/dev/null || true)
[ -z "$strays" ] || fail "written outside the stage: $strays"
echo "passed: staged install ($(wc -l <"$work/found") files)"
