#!/usr/bin/env bash
# Runs a Windows test program under wine, as ctest's emulator in the Windows
# build (CMAKE_CROSSCOMPILING_EMULATOR): in a private prefix, made on first
# use, with the DLLs and Qt's plugins found where they were built.
# Usage: wine-run.sh PREFIX DLL_DIRS PLUGIN_DIR PROGRAM [ARG...]
#   DLL_DIRS: Linux folders separated by ":".
set -uo pipefail
prefix="$1" dll_dirs="$2" plugin_dir="$3"
shift 3

win_path() { local p="Z:$1"; echo "${p//\//\\}"; }

export WINEPREFIX="$prefix" WINEDEBUG=-all
# No Mono or Gecko installer dialogs, no menu entries in the user's home.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$prefix"
(
  flock 9
  [ -e "$prefix/system.reg" ] || { timeout 300 wineboot -i >/dev/null 2>&1 && timeout 300 wineserver -w; }
) 9>"$prefix.lock"

path=""
IFS=: read -ra dirs <<<"$dll_dirs"
for dir in "${dirs[@]}"; do path+="${path:+;}$(win_path "$dir")"; done
export WINEPATH="$path"
# Wine hands no QT_ variables to Windows programs; WINEQT_X reaches them as
# QT_X.
export WINEQT_PLUGIN_PATH="$(win_path "$plugin_dir")"
while IFS='=' read -r name value; do
  [[ "$name" == QT_* ]] && export "WINE$name=$value"
done < <(env)

# The program's output goes through files: wine's own background processes
# would keep a pipe open long after the program ends. Qt Test's own output
# reaches no Unix stream under wine: it writes a file of its own.
program="$1"
shift
out=$(mktemp)
trap 'rm -f "$out" "$out.err" "$out.txt"' EXIT
args=("$@")
x86_64-w64-mingw32-objdump -p "$program" 2>/dev/null | grep -qi 'DLL Name: Qt6Test.dll' &&
  args+=(-o "$(win_path "$out.txt"),txt")
wine "$program" "${args[@]}" >"$out" 2>"$out.err"
status=$?
tr -d '\r' <"$out"
[ -f "$out.txt" ] && tr -d '\r' <"$out.txt"
tr -d '\r' <"$out.err" >&2
exit "$status"
