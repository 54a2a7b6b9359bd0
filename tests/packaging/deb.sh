#!/bin/bash
# deb.sh DEB LINUX_BUILD: the Debian package, for real, on this machine (as
# root, on an X server of its own): its control fields and file list, no
# lintian errors nor hardening remarks, a valid AppStream description, then
# dpkg -i, hardening-check on the installed program, the installed hack
# drawing the scene into a window of ours, mate-screensaver listing and
# running it (mate_screensaver.sh), /usr/bin/wendrel window, the manual
# page, and dpkg -r leaving nothing of it behind. The machine is left as it was, also when a
# check fails. LINUX_BUILD has the test window and wendrel-frame-match.
# Exits 77 (skipped) where it must not or cannot install packages.
deb=$(readlink -f "$1")
build=$(readlink -f "$2")
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../.." && pwd)
export WENDREL=/usr/libexec/xscreensaver/wendrel
export TEST_WINDOW=$build/tests/linux/wendrel-test-window
export FRAME_MATCH=$build/tests/support/wendrel-frame-match
source "$source/tests/linux/e2e/lib.sh"

if [ "$(id -u)" != 0 ]; then
    echo "deb: SKIPPED: installing a package needs root"
    exit 77
fi
# dpkg's state of the package: not-installed (or empty) when it knows none.
state() { dpkg-query -W -f='${db:Status-Status}' wendrel 2>/dev/null || true; }
if [ -n "$(state)" ] && [ "$(state)" != not-installed ]; then
    echo "deb: SKIPPED: a wendrel package is installed here already; it is left alone"
    exit 77
fi
[ -f "$deb" ] || fail "no package $1"
[ -x "$TEST_WINDOW" ] && [ -x "$FRAME_MATCH" ] || fail "no test tools in $build (build the linux preset)"
version=$(sed -n 's/^project(wendrel VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")
appstream_id=example.tavrin.wendrel
[ "$(basename "$deb")" = "wendrel_${version}_amd64.deb" ] || fail "$deb is not wendrel_${version}_amd64.deb"

# 1. Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = wendrel ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), not $version"
[ "$(field Architecture)" = amd64 ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = x11 ] || fail "Section: $(field Section)"
[ "$(field Priority)" = optional ] || fail "Priority: $(field Priority)"
[ "$(field Recommends)" = xscreensaver ] || fail "Recommends: $(field Recommends)"
field Maintainer | grep -Eq '^[^<]+ <[^@>]+@[^>]+>$' || fail "Maintainer: $(field Maintainer)"
# Computed from the binary: the libraries it links, each with a version.
depends=$(field Depends)
for lib in libc6 libstdc++6 libsdl2-2.0-0 libgtk-3-0 libglib2.0-0 libx11-6 libwayland-client0; do
    echo "$depends" | tr ',' '\n' | awk '{ print $1 }' | grep -qxF "$lib" || fail "Depends lacks $lib: $depends"
done
description=$(field Description)
summary=$(echo "$description" | head -1)
[ ${#summary} -ge 20 ] && [ ${#summary} -le 80 ] || fail "short description '$summary'"
[ "$(echo "$description" | wc -l)" -ge 4 ] || fail "the long description is missing"
echo "$description" | grep -q XScreenSaver || fail "the long description does not name XScreenSaver"

# 2. The file list, exactly.
dpkg-deb -c "$deb" | awk '{ print $6 $7 $8 }' | sed 's|^\./|/|; s|/$||' | grep -v '^$' | sort >"$work/files"
{
    for d in /usr /usr/bin /usr/libexec /usr/libexec/xscreensaver /usr/share /usr/share/applications \
        /usr/share/applications/screensavers \
        /usr/share/doc /usr/share/doc/wendrel /usr/share/icons /usr/share/icons/hicolor \
        /usr/share/man /usr/share/man/man6 /usr/share/metainfo /usr/share/xscreensaver \
        /usr/share/xscreensaver/config; do
        echo "$d"
    done
    echo "/usr/bin/wendrel->../libexec/xscreensaver/wendrel"
    echo /usr/libexec/xscreensaver/wendrel
    echo /usr/share/applications/wendrel.desktop
    echo /usr/share/applications/wendrel-window.desktop
    echo /usr/share/applications/screensavers/wendrel.desktop
    echo /usr/share/doc/wendrel/changelog.gz
    echo /usr/share/doc/wendrel/copyright
    for s in 16 22 24 32 48 64 128 256; do
        echo "/usr/share/icons/hicolor/${s}x$s"
        echo "/usr/share/icons/hicolor/${s}x$s/apps"
        echo "/usr/share/icons/hicolor/${s}x$s/apps/wendrel.png"
    done
    echo /usr/share/man/man6/wendrel.6.gz
    echo "/usr/share/metainfo/$appstream_id.metainfo.xml"
    echo /usr/share/xscreensaver/config/wendrel.xml
} | sort >"$work/expected"
diff "$work/expected" "$work/files" >&2 || fail "the package's files differ from the list above"
paths=$(sed 's/->.*//' "$work/files")

# 3. The files themselves, unpacked: icon sizes, desktop entries, lintian.
mkdir "$work/unpacked"
dpkg-deb -x "$deb" "$work/unpacked"
for s in 16 22 24 32 48 64 128 256; do
    file -b "$work/unpacked/usr/share/icons/hicolor/${s}x$s/apps/wendrel.png" |
        grep -q "^PNG image data, $s x $s, 8-bit/color RGBA" || fail "the ${s}x$s icon is not a $s-pixel RGBA PNG"
done
# (The saver daemons want the category Screensaver, which is no main
# category: the validator's hint about that is left out.)
for entry in "$work"/unpacked/usr/share/applications/*.desktop \
    "$work"/unpacked/usr/share/applications/screensavers/*.desktop; do
    desktop-file-validate --no-hints "$entry" || fail "$(basename "$entry") is not valid"
done
# The saver daemons' entry (MATE's and Xfce's), field by field: the hack's
# full path, where mate-screensaver runs savers from, and MATE among the
# desktops it is shown in.
saver_entry=$work/unpacked/usr/share/applications/screensavers/wendrel.desktop
for line in '[Desktop Entry]' Type=Application Name=Wendrel "Exec=$WENDREL --root" "TryExec=$WENDREL" \
    'Categories=Screensaver;' 'OnlyShowIn=MATE;XFCE;' StartupNotify=false Terminal=false; do
    grep -qxF -- "$line" "$saver_entry" || fail "the saver entry lacks the line $line"
done
grep -q '^Comment=..........' "$saver_entry" || fail "the saver entry has no comment"
grep -qx 'Exec=wendrel' "$work/unpacked/usr/share/applications/wendrel.desktop" ||
    fail "wendrel.desktop does not open the configuration dialog"
grep -qx 'Exec=wendrel window' "$work/unpacked/usr/share/applications/wendrel-window.desktop" ||
    fail "wendrel-window.desktop does not open the trial window"
file -b "$work/unpacked$WENDREL" | grep -q 'ELF 64-bit.*stripped' || fail "the program is not a stripped 64-bit ELF"
# The AppStream description: valid, of this version, naming the desktop
# entry and the program the package has.
metainfo=$work/unpacked/usr/share/metainfo/$appstream_id.metainfo.xml
appstreamcli validate --no-net "$metainfo" >"$work/appstream" 2>&1 ||
    { cat "$work/appstream" >&2; fail "the AppStream description is not valid"; }
echo "deb: appstreamcli: $(grep -c '^[EWI]:' "$work/appstream" || true) remarks"
grep -q "<id>$appstream_id</id>" "$metainfo" || fail "the AppStream id is not $appstream_id"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the AppStream release is not $version"
launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
[ -f "$work/unpacked/usr/share/applications/$launchable" ] || fail "no desktop entry '$launchable' to launch"
binary=$(sed -n 's|.*<binary>\(.*\)</binary>.*|\1|p' "$metainfo")
[ -n "$binary" ] && [ -e "$work/unpacked/usr/bin/$binary" ] || fail "the package has no /usr/bin/$binary"
for element in summary description project_license metadata_license screenshot; do
    grep -q "<$element[ >]" "$metainfo" || fail "the AppStream description has no $element"
done
# lintian leaves its cache files (mldbm-elf-*) in $TMPDIR: ours, removed with it.
mkdir "$work/lintian-tmp"
TMPDIR=$work/lintian-tmp lintian --no-tag-display-limit "$deb" >"$work/lintian" 2>&1 || true
if grep -q '^E:' "$work/lintian"; then
    cat "$work/lintian" >&2
    fail "lintian reports errors"
fi
if grep -q 'hardening-' "$work/lintian"; then
    cat "$work/lintian" >&2
    fail "lintian finds the program not hardened"
fi
echo "deb: lintian: $(grep -c '^[EW]:' "$work/lintian" || true) errors and warnings"

# 4. Install, and undo it whatever happens from here on.
for p in $paths; do
    if [ -e "$p" ] || [ -L "$p" ]; then echo "$p"; fi
done >"$work/before"
remove_package() {
    if [ -n "$(state)" ] && [ "$(state)" != not-installed ]; then
        dpkg -P wendrel >/dev/null 2>&1 || true
    fi
}
on_exit remove_package
dpkg -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log" >&2; fail "dpkg -i failed"; }
[ "$(state)" = installed ] || fail "dpkg -i left it $(state)"
for p in $paths; do
    [ -e "$p" ] || fail "$p is not there after dpkg -i"
done
[ "$(readlink -f /usr/bin/wendrel)" = "$WENDREL" ] || fail "/usr/bin/wendrel does not lead to $WENDREL"
# Hardened as Debian builds its own programs. A program is marked for
# control-flow protection only when every object linked into it is, the C
# library's start files too; where those are not (Debian 12), no program
# can be, and that one check is left out.
cf=()
readelf -n "$(gcc -print-file-name=Scrt1.o)" | grep -q 'x86 feature: IBT, SHSTK' || cf=(--nocfprotection)
hardening-check "${cf[@]}" "$WENDREL" >"$work/hardening" 2>&1 ||
    { cat "$work/hardening" >&2; fail "hardening-check fails"; }

# 5. The installed hack draws the scene into a window of ours and ends on
#    SIGTERM, by that signal.
start_helper 320x240
first=$(date +%s)
start_saver --window-id "$helper_id"
sleep 1.5
kill -0 "$saver" 2>/dev/null || fail "the installed hack ended: $(cat "$work/saver.err")"
import -window "$helper_id" "$work/hack.png"
last=$(date +%s)
match_frame "$work/hack.png" "$first" "$last" $(((last - first + 1) * 100)) --pid "$saver" >/dev/null
kill -TERM "$saver"
expect_status 143 3  # it ends by the signal
kill "$helper" 2>/dev/null || true
helper=

# 6. MATE's saver daemon lists the installed Wendrel and runs it, a copy
#    of its own on each of two monitors.
status=0
"$source/tests/support/with-x-server.sh" dummy --second right-of -- \
    "$here/mate_screensaver.sh" "$build" || status=$?
case $status in
0) ;;
77) echo "deb: the mate-screensaver test was skipped" ;;
*) fail "mate-screensaver does not list or run Wendrel as it should" ;;
esac

# 7. From the search path: an ordinary window that Escape closes.
WENDREL=wendrel start_saver window
wait_for_window Wendrel
[ "$(readlink -f "/proc/$saver/exe")" = "$WENDREL" ] || fail "wendrel in the search path is not the package's"
id=$(xdotool search --onlyvisible --name '^Wendrel$' | head -1)
xdotool windowfocus --sync "$id" key Escape
expect_end 3

# 8. The manual page renders without a warning and names every option the
#    program's usage names, every section it should have, and the settings.
MANWIDTH=80 man --warnings -l /usr/share/man/man6/wendrel.6.gz >"$work/man.txt" 2>"$work/man.err" ||
    fail "man failed: $(cat "$work/man.err")"
[ ! -s "$work/man.err" ] || fail "man warns: $(cat "$work/man.err")"
for heading in NAME SYNOPSIS DESCRIPTION MODES OPTIONS FILES ENVIRONMENT "EXIT STATUS"; do
    grep -q "^$heading\$" "$work/man.txt" || fail "the manual page has no $heading"
done
usage=$("$WENDREL" --root --no-such-option 2>&1 >/dev/null | sed -n "/usage:/,\$p" || true)
[ -n "$usage" ] || fail "no usage on a bad option"
for option in $(echo "$usage" | grep -o -- '-[-a-z]*' | sort -u); do
    grep -q -- "$option" "$work/man.txt" || fail "the manual page does not name $option"
done
for word in "wendrel.conf" "[LEAF]" NoDirect XSCREENSAVER_WINDOW XDG_CONFIG_HOME DISPLAY; do
    grep -qF -- "$word" "$work/man.txt" || fail "the manual page does not name $word"
done

# 9. Remove it: nothing of it stays that was not there before.
dpkg -r wendrel >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log" >&2; fail "dpkg -r failed"; }
[ -z "$(state)" ] || [ "$(state)" = not-installed ] || fail "dpkg -r left it $(state)"
for p in $paths; do
    if { [ -e "$p" ] || [ -L "$p" ]; } && ! grep -qx "$p" "$work/before"; then
        fail "$p is still there after dpkg -r"
    fi
done
echo "passed: deb"
