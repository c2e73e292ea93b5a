#!/usr/bin/env bash
# Starts the installed program the way its desktop entry does (Exec, looked up
# on PATH) and checks that its window maps and that its WM_CLASS is the one
# the desktop entry names. Run it through tests/x11/with-x.sh.
# Usage: installed_window.sh DESKTOP_ENTRY
set -euo pipefail

desktop="$1"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
wm_class=$(sed -n 's/^StartupWMClass=//p' "$desktop")

app_pid=""
log=$(mktemp)
cleanup() {
  if [ -n "$app_pid" ]; then
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
  fi
  rm -f "$log"
  return 0
}
trap cleanup EXIT

program=$(command -v "$exec_line") || { echo "  FAIL: '$exec_line' is not on PATH"; exit 1; }
echo "  starting $program"
"$exec_line" >"$log" 2>&1 &
app_pid=$!

wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Quintora$' 2>/dev/null | head -1 || true)
if [ -z "$wid" ]; then
  echo "  FAIL: no Quintora window mapped within 20 s"; cat "$log"; exit 1
fi
xwininfo -id "$wid" | grep -q "Map State: IsViewable" || { echo "  FAIL: window $wid is not viewable"; exit 1; }

# WM_CLASS(STRING) = "instance", "class": docks match the class (or the
# instance) against StartupWMClass.
class=$(xprop -id "$wid" WM_CLASS | sed -n 's/.*= "\(.*\)", "\(.*\)"$/\2/p')
if [ "$class" != "$wm_class" ]; then
  echo "  FAIL: WM_CLASS class is '$class', the desktop entry says '$wm_class'"; exit 1
fi
pid=$(xprop -id "$wid" _NET_WM_PID | sed -n 's/.* = //p')
[ "$pid" = "$app_pid" ] || { echo "  FAIL: the window belongs to pid '$pid', not $app_pid"; exit 1; }
echo "  window $wid mapped, WM_CLASS class '$class'"
