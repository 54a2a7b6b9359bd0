#!/bin/bash
# pe_hardening.sh SCR OBJDUMP BITS: the saver's PE header asks Windows for
# address randomisation (64-bit: with high entropy) and a non-executable
# stack and data, with the relocations that randomisation needs; its code
# checks the stack protector's canary, and it needs no DLL of MinGW's (the
# protector's libssp is linked in).
set -euo pipefail
scr=$1 objdump=$2 bits=$3
source "$(dirname "$0")/../support/shell_lib.sh"
headers=$("$objdump" -p "$scr") || fail "$(basename "$scr") ($bits-bit): objdump cannot read it"
# The flags follow their DllCharacteristics line, one a line.
flags=$(awk '/^DllCharacteristics/ { on = 1; next } on && /^[ \t]+[A-Z_]+$/ { print $1; next } { on = 0 }' \
    <<<"$headers")
expected=(DYNAMIC_BASE NX_COMPAT)
[ "$bits" != 64 ] || expected+=(HIGH_ENTROPY_VA)
for flag in "${expected[@]}"; do
    grep -qx "$flag" <<<"$flags" || fail "$(basename "$scr") ($bits-bit): DllCharacteristics lack $flag: $(echo $flags)"
done
# Address randomisation needs the relocations kept.
grep -q 'relocations stripped' <<<"$headers" && fail "$(basename "$scr") ($bits-bit): its relocations are stripped"
dlls=$(sed -n 's/^[ \t]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z')
for dll in $dlls; do
    case $dll in
    libssp* | libgcc* | libstdc++* | libwinpthread*) fail "$(basename "$scr") ($bits-bit): it needs $dll" ;;
    esac
done
# Functions with arrays on the stack check their canary before they return.
checks=$("$objdump" -d "$scr" | grep -cE 'call +[0-9a-f]+ <_*stack_chk_fail>' || true)
[ "$checks" -ge 10 ] || fail "$(basename "$scr") ($bits-bit): only $checks stack protector checks in it"
echo "passed: $(basename "$scr") ($bits-bit): $(echo $flags), $checks canary checks, no MinGW DLLs"
