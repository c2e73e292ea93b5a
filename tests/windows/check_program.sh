#!/usr/bin/env bash
# The Windows program file: a 64-bit GUI program that loads Qt from its
# DLLs, has the GCC runtime and winpthreads linked in, and carries the icon
# and the version information of the resource script, whose numbers are its
# own, not the project's version. Usage: check_program.sh EXE RC_SCRIPT
set -uo pipefail
exe="$1" rc="$2"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

kind=$(file -b "$exe")
[[ "$kind" == "PE32+ executable (GUI) x86-64"* ]] || fail "$exe is $kind"
deps=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
for dll in qt6core.dll qt6gui.dll qt6widgets.dll; do
  grep -qx "$dll" <<<"$deps" || fail "does not load $dll"
done
grep -E '^(libstdc\+\+|libgcc|libwinpthread)' <<<"$deps" && fail "the GCC runtime is not linked in"
rc_text=$(x86_64-w64-mingw32-windres -i "$exe" -O rc 2>&1) || fail "windres: $rc_text"
grep -q 'RT_GROUP_ICON' <<<"$rc_text" || fail "no icon"
grep -q 'VALUE "OriginalFilename", "Quintora.exe"' <<<"$rc_text" || fail "no version information"
given=$(sed -n 's/^ *FILEVERSION *\([0-9, ]*\)$/\1/p' "$rc" | tr -d ' ')
[ "$(sed -n 's/^ *FILEVERSION *//p' <<<"$rc_text" | tr -d ' ')" = "$given" ] || fail "the version numbers are not $given"
echo "$kind; loads $(paste -sd' ' <<<"$deps")"
[ "$failures" -eq 0 ]
