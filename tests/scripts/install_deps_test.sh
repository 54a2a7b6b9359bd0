#!/bin/bash
# install_deps_test.sh CASE: what scripts/install-deps.sh decides, against
# stand-ins for apt-get, dpkg, dpkg-query, sudo, id and sleep on PATH (as an
# ordinary user; sudo's stand-in makes the rest see root), never the network.
#   installed        everything there: neither sudo nor apt-get runs
#   flaky-update     apt-get update fails twice, then works: retried with a
#                    growing pause, then the missing packages are installed
#   update-fails     apt-get update always fails, the lists at hand still
#                    have every package: they are installed
#   update-fails-unresolvable
#                    apt-get update always fails and the packages cannot be
#                    had: it stops with one line naming that step
#   install-fails    the install itself fails: one line naming it
#   no-i386-index    the 32-bit lists cannot be fetched, the native ones
#                    alone can, and only 64-bit packages resolve: all but
#                    the 32-bit part is installed, one line says so, exit 0
#   no-i386-index-unresolvable
#                    the same, and a 64-bit package cannot be had either: it
#                    stops with one line
#   without-32-bit   only the 32-bit part is missing and --without-32-bit is
#                    given (scripts/run.sh): neither sudo nor apt-get runs
set -euo pipefail
case_=$1
source=$(cd "$(dirname "$0")/../.." && pwd)
source "$source/tests/support/shell_lib.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/wendrel-install-deps.XXXXXX")
on_exit rm -rf "$work"
# After a failure, what the stand-ins saw and what the script said.
show_calls() {
    [ $? != 0 ] || return 0
    echo "--- calls:" >&2
    cat "$work/calls" >&2 || true
    echo "--- stderr:" >&2
    cat "$work/err" >&2 || true
}
on_exit show_calls

# The script beside its helpers, as in the tree; enable-i386.sh has
# nothing to do here.
mkdir "$work/scripts" "$work/bin"
cp "$source/scripts/install-deps.sh" "$source/scripts/wine-display-libs.sh" "$work/scripts/"
printf '#!/bin/sh\necho "enable-i386 $*" >>"$STATE/calls"\n' >"$work/scripts/enable-i386.sh"
chmod +x "$work/scripts/enable-i386.sh"

# The stand-ins log every call to $STATE/calls. Installed packages are the
# lines of $STATE/installed; `apt-get update` fails in the number of tries in
# $STATE/update-failures (or always, with "always"); $STATE/resolvable and
# $STATE/install-works say whether a simulated and a real install work. With
# $STATE/no-i386 the 32-bit lists cannot be fetched (an update succeeds only
# when it asks for amd64 alone) and nothing ":i386" can be installed.
export STATE=$work
stand_in() {
    printf '#!/bin/bash\necho "%s $*" >>"$STATE/calls"\n%s\n' "$1" "$2" >"$work/bin/$1"
    chmod +x "$work/bin/$1"
}
stand_in id '[ "$1" = -u ] && { [ -n "${AS_ROOT:-}" ] && echo 0 || echo 1000; }'
stand_in sudo 'AS_ROOT=1 exec "$@"'
stand_in sleep 'exit 0'
stand_in dpkg 'case $1 in --print-foreign-architectures) echo i386 ;; --print-architecture) echo amd64 ;; esac'
stand_in dpkg-query 'grep -qxF "${!#}" "$STATE/installed" && echo "install ok installed"'
stand_in apt-get '
[ -n "${AS_ROOT:-}" ] || { echo "apt-get run without root" >&2; exit 100; }
args=" $* "
if [ -e "$STATE/no-i386" ] && [[ $args = *":i386 "* ]]; then
    echo "E: Unable to correct problems, you have held broken packages." >&2
    exit 100
elif [[ $args = *" -s "* ]]; then
    [ -e "$STATE/resolvable" ]
elif [[ $args = *" update "* ]]; then
    [ -e "$STATE/no-i386" ] && [[ $args != *" -o APT::Architectures=amd64 "* ]] &&
        { echo "E: Failed to fetch binary-i386/Packages.xz  File has unexpected size" >&2; exit 100; }
    n=$(cat "$STATE/update-failures")
    [ "$n" = always ] && { echo "E: File has unexpected size. Mirror sync in progress?" >&2; exit 100; }
    # A try ends with the update of the native lists alone.
    [ "$n" -gt 0 ] && [[ $args = *" APT::Architectures="* ]] && echo $((n - 1)) >"$STATE/update-failures"
    [ "$n" = 0 ] || exit 100
    exit 0
elif [[ $args = *" install "* ]]; then
    [ -e "$STATE/install-works" ] || { echo "E: Unmet dependencies." >&2; exit 100; }
    for p in "$@"; do [[ $p = -* || $p = *=* || $p = install ]] || echo "$p" >>"$STATE/installed"; done
fi'

all=$("$work/scripts/install-deps.sh" --list | tr ' ' '\n')
[ "$(echo "$all" | wc -l)" -gt 10 ] || fail "$case_: install-deps.sh --list gives no packages"
echo "$all" | grep -v -e ':i386$' -e '^xdotool$' >"$work/installed"
args=()
: >"$work/calls"
echo 0 >"$work/update-failures"
touch "$work/resolvable" "$work/install-works"
case $case_ in
installed) echo "$all" >"$work/installed" ;;
flaky-update) echo 2 >"$work/update-failures" ;;
update-fails) echo always >"$work/update-failures" ;;
update-fails-unresolvable) echo always >"$work/update-failures"; rm "$work/resolvable" ;;
install-fails) rm "$work/install-works" ;;
no-i386-index) touch "$work/no-i386" ;;
no-i386-index-unresolvable) touch "$work/no-i386"; rm "$work/resolvable" ;;
without-32-bit)
    echo "$all" | grep -v ':i386$' >"$work/installed"
    args=(--without-32-bit)
    ;;
*) fail "$case_: no such case" ;;
esac
status=0
PATH=$work/bin:$PATH "$work/scripts/install-deps.sh" ${args[@]+"${args[@]}"} >"$work/out" 2>"$work/err" || status=$?

calls() { grep -c "^$1" "$work/calls" || true; }
updates=$(grep '^apt-get .* update' "$work/calls" | grep -vc 'APT::Architectures' || true)
installs=$(grep '^apt-get .* install -y' "$work/calls" || true)
last_error=$(tail -1 "$work/err")
expect_stop() {
    [ $status = 1 ] || fail "$case_: exit status $status, not 1"
    [[ $last_error = "install-deps: $1"*"; retrying later usually helps" ]] ||
        fail "$case_: its last line is '$last_error', not one naming '$1'"
}
case $case_ in
installed | without-32-bit)
    [ $status = 0 ] || fail "$case_: exit status $status"
    [ "$(calls sudo)" = 0 ] && [ "$(calls apt-get)" = 0 ] || fail "$case_: ran sudo or apt-get with nothing missing"
    ;;
flaky-update)
    [ $status = 0 ] || fail "$case_: exit status $status"
    [ "$(calls sudo)" = 1 ] || fail "$case_: sudo ran $(calls sudo) times, not once"
    [ "$updates" = 3 ] || fail "$case_: apt-get update ran $updates times, not 3"
    grep -q -- '-o Acquire::Retries=3' "$work/calls" || fail "$case_: apt's own retries are not asked for"
    pauses=$(sed -n 's/^sleep //p' "$work/calls" | tr '\n' ' ')
    read -r first second _ <<<"$pauses"
    [ -n "${second:-}" ] && [ "$second" -gt "$first" ] && [ "$first" -gt 0 ] ||
        fail "$case_: the pauses between tries ($pauses) do not grow"
    [ "$(echo "$installs" | grep -c .)" = 1 ] || fail "$case_: not one install: $installs"
    for p in wine32:i386 xdotool; do
        echo "$installs" | grep -qw -- "$p" || fail "$case_: $p was not installed"
    done
    echo "$installs" | grep -qw -- cmake && fail "$case_: an installed package was installed again"
    [ "$(calls enable-i386)" -ge 1 ] || fail "$case_: enable-i386.sh did not run"
    ;;
update-fails)
    [ $status = 0 ] || fail "$case_: exit status $status"
    [ "$updates" = 3 ] || fail "$case_: apt-get update ran $updates times, not 3"
    [ -n "$installs" ] || fail "$case_: the packages were not installed"
    ;;
update-fails-unresolvable)
    expect_stop "apt-get update failed"
    [ -z "$installs" ] || fail "$case_: it installed after all"
    [ "$(calls enable-i386)" = 0 ] || fail "$case_: it went on past the failure"
    ;;
install-fails)
    expect_stop "apt-get install failed"
    ;;
no-i386-index)
    [ $status = 0 ] || fail "$case_: exit status $status"
    [ "$(calls sleep)" = 0 ] || fail "$case_: it waited, though the native lists were fetched"
    [ "$(echo "$installs" | grep -c .)" = 1 ] || fail "$case_: not one install: $installs"
    echo "$installs" | grep -qw -- xdotool || fail "$case_: xdotool was not installed"
    echo "$installs" | grep -q -- ':i386' && fail "$case_: it tried the 32-bit part: $installs"
    left_out=$(grep 'left out' "$work/err" || true)
    [ "$(echo "$left_out" | grep -c .)" = 1 ] || fail "$case_: not one line on what was left out"
    for word in wine32:i386 libxrandr2:i386 "apt-get update failed for the 32-bit" skipped; do
        [[ $left_out = *"$word"* ]] || fail "$case_: '$left_out' does not say '$word'"
    done
    [ "$(calls enable-i386)" -ge 1 ] || fail "$case_: enable-i386.sh did not run"
    ;;
no-i386-index-unresolvable)
    expect_stop "apt-get update failed for the 32-bit"
    [ -z "$installs" ] || fail "$case_: it installed after all"
    ;;
esac
echo "passed: install-deps $case_"
