#!/usr/bin/env bash
# The Windows resource script, compiled with MinGW-w64's windres and read
# back: the icon and the version information it was given (numbers 1.0.0.0,
# "1.00", company "..", one Spanish (Spain) Unicode string table).
# Usage: windows_resources.sh WORK_DIR   (run from the source folder)
set -uo pipefail
res="$1/quintora.res"
x86_64-w64-mingw32-windres -I resources packaging/quintora.rc -O res -o "$res" || exit 1
rc_text=$(x86_64-w64-mingw32-windres -J res -i "$res" -O rc) || exit 1
failures=0
while IFS= read -r expected; do
  grep -qF -- "$expected" <<<"$rc_text" || { echo "FAIL: no '$expected'"; failures=$((failures + 1)); }
done <<'EOF2'
 FILEVERSION 1, 0, 0, 0
 PRODUCTVERSION 1, 0, 0, 0
 FILETYPE 0x1
    BLOCK "0C0A04B0"
      VALUE "ProductName", "Quintora"
      VALUE "InternalName", "Quintora"
      VALUE "OriginalFilename", "Quintora.exe"
      VALUE "FileVersion", "1.00"
      VALUE "ProductVersion", "1.00"
      VALUE "CompanyName", ".."
    VALUE "Translation", 0xc0a, 1200
14 /* RT_GROUP_ICON */
   0, 1, 1,	 /* Has 1 elements.  */
    "\040\040\020\000", 1, 4,
EOF2
[ "$(grep -c 'BLOCK "[0-9A-Fa-f]\{8\}"' <<<"$rc_text")" = 1 ] || { echo "FAIL: more than one string table"; failures=$((failures + 1)); }
echo "$failures failed"
[ "$failures" -eq 0 ]
