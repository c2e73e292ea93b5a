#!/usr/bin/env bash
# Takes docs/screenshot.png: the calculator on a private X server over a
# coloured desktop, with a number typed, the memory in use and every key at
# rest.
# Usage: tools/screenshot.sh [PATH/TO/quintora] [OUTPUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
app="${1:-build/bin/quintora}"
out="${2:-docs/screenshot.png}"

if [ -z "${DISPLAY:-}" ] || [ -z "${QUINTORA_SCREENSHOT_INNER:-}" ]; then
  QUINTORA_SCREENSHOT_INNER=1 exec tests/x11/with-x.sh "$0" "$app" "$out"
fi

work=$(mktemp -d)
pids=()
cleanup() { kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"; return 0; }
trap cleanup EXIT

# A desktop background, so the holes of the window show as holes.
convert -size 1024x768 gradient:'#2b5876-#4e4376' "$work/desktop.png"
display -window root "$work/desktop.png" &
pids+=($!)
sleep 0.5

"$app" &
pids+=($!)
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Quintora$' | head -1)
xdotool windowmove --sync "$wid" 40 30
xdotool windowactivate --sync "$wid"
at() { xdotool mousemove --sync $((40 + $1)) $((30 + $2)); }
at 20 150
xdotool type --delay 40 '1234.5+'
at 298 190 && xdotool click 1   # M+
xdotool type --delay 40 '0.75='
at 20 150                       # over the bare skin: every key back at rest
sleep 0.5
import -window root -crop 424x490+0+0 +repage "$out"
echo "wrote $out"
