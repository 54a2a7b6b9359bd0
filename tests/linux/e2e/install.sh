#!/bin/bash
# install.sh BUILD_DIR: `cmake --install` puts the hack where Debian's
# xscreensaver looks for it, with its settings file.
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
"$prefix/libexec/xscreensaver/wendrel" --root --no-such-option 2>/dev/null && fail "accepted a bad option"
echo "passed: install"
