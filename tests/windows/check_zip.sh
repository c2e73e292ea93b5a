#!/usr/bin/env bash
# The zip: exactly the folder the install rules make (cmake --install), in
# one top folder named like the zip; every program and DLL in it stripped,
# and every DLL they load in the folder or one of Windows' own. The
# installer: a 64-bit Windows program. Usage: check_zip.sh BUILD_DIR ZIP SETUP
set -uo pipefail
build="$1" zip="$2" setup="$3"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

[[ "$(file -b "$setup")" == "PE32+ executable (GUI) x86-64"* ]] || fail "$setup is $(file -b "$setup")"
DESTDIR="$tmp/stage" cmake --install "$build" --prefix /folder >/dev/null || fail "cmake --install"
top=$(basename "$zip" .zip)
installed=$(cd "$tmp/stage/folder" && find . -type f | sed "s|^\.|$top|" | sort)
zipped=$(unzip -Z1 "$zip" | grep -v '/$' | sort)
[ "$zipped" = "$installed" ] || { fail "the zip holds other files than the install rules put:"; diff <(echo "$installed") <(echo "$zipped"); }

unzip -q "$zip" -d "$tmp/zip" || exit 1
imports() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z'; }
present=$(cd "$tmp/zip/$top" && find . -iname '*.dll' -printf '%f\n' | tr 'A-Z' 'a-z')
windows_dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
while IFS= read -r bin; do
  x86_64-w64-mingw32-nm "$bin" 2>&1 | grep -q "no symbols" || fail "${bin#"$tmp/zip/"} is not stripped"
  for dll in $(imports "$bin"); do
    grep -qx "$dll" <<<"$present" || [[ "$dll" == api-ms-win-* || "$dll" == ext-ms-win-* ]] ||
      [ -e "$windows_dlls/$dll" ] || fail "${bin#"$tmp/zip/"} needs $dll, neither in the folder nor Windows'"
  done
done < <(find "$tmp/zip/$top" -iname '*.exe' -o -iname '*.dll')
grep -q '@[A-Za-z0-9_]*@' "$tmp/zip/$top/THIRD-PARTY.txt" && fail "THIRD-PARTY.txt is not filled in"
echo "$(wc -l <<<"$zipped") files, as installed; every binary stripped, every DLL there or Windows'"
[ "$failures" -eq 0 ]
