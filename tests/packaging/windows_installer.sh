#!/bin/bash
# windows_installer.sh SETUP SCR: the installer SETUP (wendrel-setup-ARCH.exe)
# against SCR, the saver it should hold, on an X server of its own. First
# the file itself: its architecture, version information and icon. Then,
# where this machine runs its architecture natively, under Wine in a fresh
# prefix: silent install, the saver file and every registry value, the
# installed saver started by its registered path with /s and ended with a
# key, silent uninstall leaving nothing behind; a screen saver the user has
# picked since and the user's own setting survive the uninstall; /ACTIVE=0
# leaves the current screen saver alone. Exits 77 (skipped) where this
# machine cannot run the installer.
set -euo pipefail
setup=$(readlink -f "$1")
scr=$(readlink -f "$2")
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../.." && pwd)
name=$(basename "$setup")
source "$source/tests/support/shell_lib.sh"
log() { echo "$name: $*"; }
work=$(mktemp -d "${TMPDIR:-/tmp}/wendrel-setup-test.XXXXXX")
# A fresh prefix of its own.
export WINEPREFIX=$work/prefix
source "$source/scripts/wine-env.sh"
saver=
cleanup() {
    [ -z "$saver" ] || kill "$saver" 2>/dev/null || true
    [ ! -d "$WINEPREFIX" ] || { wine_stop_server 30; wine_remove_server_dir; }
    rm -rf "$work"
}
on_exit cleanup

case $name in
wendrel-setup-x86_64.exe) arch=x86_64 pe='^PE32\+ executable \(GUI\) x86-64' ;;
wendrel-setup-i686.exe) arch=i686 pe='^PE32 executable \(GUI\) Intel 80386' ;;
*) fail "not an installer name: $name" ;;
esac
version=$(sed -n 's/^project(wendrel VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")

# 1. The file: a program of its architecture, with version information
#    and the saver's own icon as its only icon.
file -b "$setup" | grep -Eq "$pe" || fail "not a $arch program: $(file -b "$setup")"
wrestool -x -t16 --raw "$setup" | strings -el >"$work/version" || fail "no version information"
version_value() { grep -A1 -x "$1" "$work/version" | sed -n 2p; }
for pair in "ProductName=Wendrel" "CompanyName=TAVRIN Software" "ProductVersion=$version" \
    "FileVersion=$version" "OriginalFilename=$name"; do
    [ "$(version_value "${pair%%=*}")" = "${pair#*=}" ] ||
        fail "version information: ${pair%%=*} is '$(version_value "${pair%%=*}")', not '${pair#*=}'"
done
# The fixed part holds the four-part numbers.
wrestool -x -t16 --raw "$setup" | od -An -tx1 -v | tr -d ' \n' | grep -q "bd04effe" ||
    fail "no fixed version information"
[ "$(wrestool -l -t14 "$setup" | wc -l)" = 1 ] && [ "$(wrestool -l -t3 "$setup" | wc -l)" = 1 ] ||
    fail "the installer has other icons than one: $(wrestool -l "$setup")"
wrestool -x -t3 --raw "$setup" >"$work/setup-icon"
wrestool -x -t3 --raw "$scr" >"$work/saver-icon"
[ -s "$work/saver-icon" ] && cmp -s "$work/setup-icon" "$work/saver-icon" ||
    fail "the installer's icon is not the saver's"
log "architecture, version $version and icon checked"

# 2. Can this machine run it?
if reason=$(wine_cannot_run "$(wine_arch "$setup")" native); then
    log "SKIPPED: the run under Wine, since $reason"
    exit 77
fi
loader=$(wine_loader_for "$setup")
if [ $arch = x86_64 ]; then
    system=system32 other=syswow64
    view=/reg:64
    programs='C:\Program Files'
else
    system=syswow64 other=system32
    view=/reg:32
    programs='C:\Program Files (x86)'
fi
export WINELOADER=$loader
# A 64-bit prefix, as on 64-bit Windows: both architectures run in it.
wine_boot || fail "wineboot failed"
[ -d "$WINEPREFIX/drive_c/windows/syswow64" ] || fail "the prefix has no syswow64"
drive_c=$WINEPREFIX/drive_c

win() { timeout 120 "$loader" "$@"; }
# reg_value KEY NAME [/reg:32|/reg:64]: "TYPE DATA" of the value, or nothing.
reg_value() {
    { win reg query "$1" /v "$2" ${3:+"$3"} 2>/dev/null || true; } | tr -d '\r' |
        awk -F'    ' -v n="$2" '$2 == n { print $3 " " $4 }'
}
expect_value() {
    local got
    got=$(reg_value "$1" "$2" "${4:-}")
    [ "$got" = "$3" ] || fail "$1\\$2 is '$got', not '$3'"
}
expect_no_value() {
    local got
    got=$(reg_value "$1" "$2" "${3:-}")
    [ -z "$got" ] || fail "$1\\$2 is still there: $got"
}
install() {
    win "$setup" /S "$@" || fail "the silent install $* failed"
}
# Runs the uninstaller as the system would, by its QuietUninstallString
# plus any options given, and waits for the copy of itself it starts.
uninstall() {
    local quiet exe
    quiet=$(reg_value "$uninstall_key" QuietUninstallString "$view")
    quiet=${quiet#REG_SZ }
    exe=$(echo "$quiet" | sed -n 's/^"\([^"]*\)" \/S$/\1/p')
    [ -n "$exe" ] || fail "QuietUninstallString '$quiet' is not '\"PATH\" /S'"
    win "$exe" /S "$@" || fail "the silent uninstall $* failed"
    # The uninstaller runs from a copy of itself; Wine ends with it.
    timeout 180 wineserver -w || fail "the uninstaller did not end within 180 s"
}
desktop='HKCU\Control Panel\Desktop'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Wendrel'
settings_key='HKCU\Software\Tavrin Screen Savers\wendrel\LEAF'
saver_path="C:\\windows\\$system\\wendrel.scr"
dir="$programs\\Wendrel"
dir_unix=$drive_c/$(printf '%s' "${dir#C:\\}" | tr '\\' /)

# 3. Silent install.
install
cmp -s "$drive_c/windows/$system/wendrel.scr" "$scr" || fail "no $system\\wendrel.scr, or not the saver"
[ ! -e "$drive_c/windows/$other/wendrel.scr" ] || fail "a wendrel.scr in $other too"
registered=$(reg_value "$desktop" SCRNSAVE.EXE)
[ "${registered,,}" = "reg_sz ${saver_path,,}" ] || fail "SCRNSAVE.EXE is '$registered', not $saver_path"
saver_path=${registered#REG_SZ }
expect_value "$desktop" ScreenSaveActive "REG_SZ 1"
expect_value "$uninstall_key" DisplayName "REG_SZ Wendrel" "$view"
expect_value "$uninstall_key" Publisher "REG_SZ TAVRIN Software" "$view"
expect_value "$uninstall_key" DisplayVersion "REG_SZ $version" "$view"
expect_value "$uninstall_key" DisplayIcon "REG_SZ $saver_path,0" "$view"
expect_value "$uninstall_key" UninstallString "REG_SZ \"$dir\\uninstall.exe\"" "$view"
expect_value "$uninstall_key" QuietUninstallString "REG_SZ \"$dir\\uninstall.exe\" /S" "$view"
expect_value "$uninstall_key" NoModify "REG_DWORD 0x1" "$view"
expect_value "$uninstall_key" NoRepair "REG_DWORD 0x1" "$view"
size=$(reg_value "$uninstall_key" EstimatedSize "$view")
scr_kb=$(($(stat -c %s "$scr") / 1024))
[[ $size =~ ^REG_DWORD\ 0x[0-9a-f]+$ ]] && [ $((${size#REG_DWORD })) -ge $scr_kb ] &&
    [ $((${size#REG_DWORD })) -le $((scr_kb * 3)) ] || fail "EstimatedSize '$size' for a saver of $scr_kb KB"
[ -f "$dir_unix/uninstall.exe" ] || fail "no uninstaller in $dir"
# The licence beside it, as Windows shows text: CRLF line ends.
sed 's/$/\r/' "$source/LICENSE" | cmp -s - "$dir_unix/LICENSE.txt" || fail "no LICENSE.txt in $dir, or not the licence"
log "installed: $saver_path and its registry values"

# 4. The installed saver, started by its registered path, ends on a key.
"$loader" "$saver_path" /s >/dev/null 2>&1 &
saver=$!
window=$(wait_until 30 "the installed saver showed no window within 30 s" window_of "$saver")
xdotool windowfocus "$window"
sleep 2
kill -0 "$saver" 2>/dev/null || fail "the installed saver ended on its own"
xdotool key a
saver_ended() { ! kill -0 "$saver" 2>/dev/null; }
wait_until 10 "the installed saver still runs 10 s after a key" saver_ended
status=0
wait "$saver" || status=$?
saver=
[ $status = 0 ] || fail "the installed saver ended with status $status"
log "the installed saver ran full screen and ended on a key"

# 5. Silent uninstall: the saver, the uninstaller, its key and the screen
#    saver setting that names Wendrel are gone.
uninstall
[ ! -e "$drive_c/windows/$system/wendrel.scr" ] || fail "wendrel.scr is still there"
[ ! -e "$dir_unix" ] || fail "$dir is still there: $(ls "$dir_unix")"
win reg query "$uninstall_key" $view >/dev/null 2>&1 && fail "the uninstall key is still there"
expect_no_value "$desktop" SCRNSAVE.EXE
log "uninstalled: file, uninstaller, uninstall key and SCRNSAVE.EXE gone"

# 6. A screen saver picked after the install, and the user's own setting,
#    stay.
install
win reg add "$desktop" /v SCRNSAVE.EXE /d 'C:\windows\system32\other.scr' /f >/dev/null
win reg add "$settings_key" /v NoDirect /t REG_DWORD /d 1 /f >/dev/null
uninstall
expect_value "$desktop" SCRNSAVE.EXE 'REG_SZ C:\windows\system32\other.scr'
expect_value "$settings_key" NoDirect "REG_DWORD 0x1"
log "another screen saver and the NoDirect setting kept"

# 7. /ACTIVE=0 leaves the screen saver setting as it is; /REMOVESETTINGS=1
#    removes the user's setting.
win reg add "$desktop" /v ScreenSaveActive /d 0 /f >/dev/null
install /ACTIVE=0
[ -f "$drive_c/windows/$system/wendrel.scr" ] || fail "/ACTIVE=0 installed no saver"
expect_value "$desktop" SCRNSAVE.EXE 'REG_SZ C:\windows\system32\other.scr'
expect_value "$desktop" ScreenSaveActive "REG_SZ 0"
uninstall /REMOVESETTINGS=1
win reg query 'HKCU\Software\Tavrin Screen Savers' >/dev/null 2>&1 && fail "the settings are still there"
expect_value "$desktop" SCRNSAVE.EXE 'REG_SZ C:\windows\system32\other.scr'
[ ! -e "$drive_c/windows/$system/wendrel.scr" ] || fail "wendrel.scr is still there"
log "passed"
