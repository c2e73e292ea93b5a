#!/usr/bin/env bash
# The Windows program under wine in a virtual desktop, where Windows' own
# means reach its window: another program resizes it, asks to maximise it
# and shrinks the display under it, and the window keeps its size, refuses
# the maximise and comes back onto the smaller display. Run it through
# tests/x11/with-x.sh, with wine's environment (WINEPREFIX ...) set.
# Usage: desktop_e2e.sh WINDOW_TOOL_EXE PROGRAM_EXE
set -uo pipefail
tool_exe="$1" program="$2"
desktop=(wine explorer /desktop=quintora,1920x1080)
failures=0
pass() { echo "ok: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
tool() { "${desktop[@]}" "$tool_exe" "$@" 2>/dev/null | tr -d '\r'; }
# Polls the window's rectangle until it matches a pattern, up to 20 s.
rect_becomes() {  # pattern
  local got
  for _ in $(seq 1 40); do got=$(tool rect); [[ "$got" =~ ^$1$ ]] && return 0; sleep 0.5; done
  echo "  rectangle: '$got'"
  return 1
}

"${desktop[@]}" "$program" >/dev/null 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null' EXIT
# The desktop first, so that the tool joins it rather than racing to make it.
timeout 60 xdotool search --sync --name '^quintora - Wine desktop$' >/dev/null
tool wait || { fail "no Quintora window in the virtual desktop"; exit 1; }
size=$(tool rect | cut -d' ' -f3-)
tool move 1500 600
rect_becomes "1500 600 $size" || fail "moved to 1500,600"

tool resize 1920 1080
if rect_becomes "1500 600 $size"; then pass "another program's resize to 1920x1080 is undone"; else fail "resized"; fi

tool maximize
sleep 1  # time for a maximise to happen, which it must not
if rect_becomes "1500 600 $size"; then pass "maximise changes nothing"; else fail "maximised"; fi

tool move 1500 600
rect_becomes "1500 600 $size" || fail "moved back to 1500,600"
tool display 1024 768
w=${size% *} h=${size#* }
if rect_becomes "$((1024 - w)) $((768 - h)) $size"; then pass "back on the display after it shrank to 1024x768"; else fail "not back on the display"; fi
tool display 1920 1080

tool close
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "still running after WM_CLOSE"

echo "$failures failed"
[ "$failures" -eq 0 ]
