#!/bin/bash
# install.sh BUILD_DIR: `cmake --install` puts the hack where Debian's
# xscreensaver looks for it, with its settings file, and the saver daemons'
# desktop entry naming the hack where it was put.
set -euo pipefail
source "$(dirname "$0")/../../support/shell_lib.sh"
build=$1
prefix=$(mktemp -d /tmp/wendrel-install.XXXXXX)
on_exit rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
[ -x "$prefix/libexec/xscreensaver/wendrel" ] || fail "no libexec/xscreensaver/wendrel"
xml=$prefix/share/xscreensaver/config/wendrel.xml
[ -f "$xml" ] || fail "no share/xscreensaver/config/wendrel.xml"
grep -q '<screensaver name="wendrel" _label="Wendrel">' "$xml" || fail "no screensaver element"
grep -q '<command arg="--root"/>' "$xml" || fail "no --root command"
grep -q '<_description>' "$xml" || fail "no description"
entry=$prefix/share/applications/screensavers/wendrel.desktop
[ -f "$entry" ] || fail "no share/applications/screensavers/wendrel.desktop"
grep -qxF "Exec=$prefix/libexec/xscreensaver/wendrel --root" "$entry" || fail "the entry's Exec is not the hack's path"
grep -qxF "TryExec=$prefix/libexec/xscreensaver/wendrel" "$entry" || fail "the entry's TryExec is not the hack's path"
"$prefix/libexec/xscreensaver/wendrel" --root --no-such-option 2>/dev/null && fail "accepted a bad option"
echo "passed: install"
