#!/usr/bin/env bash
# Soak test of the real program: a random storm of mouse moves, clicks, typed
# keys, focus changes and minimise/restore cycles for SECONDS (default 150,
# at least 120) on a private X server with openbox. Passes when the program
# is still alive at the end, still answers (Ctrl+C puts the display on the
# clipboard), every copy looked like a display text, and its resident memory
# grew by less than 1 MiB from the end of the first minute to the end.
#
# Usage: tests/soak/soak.sh [SECONDS]
# Environment: QUINTORA_BIN (default build/bin/quintora, built if missing),
#              SOAK_SEED (default 6), SOAK_LOG_DIR (default a new temp dir).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
source "$here/common.sh"

seconds="${1:-150}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 120 ]; then
  echo "soak.sh: the run takes at least 120 seconds (got '$seconds')" >&2
  exit 2
fi

prepare_soak
echo "soak: $app, $seconds s, seed $seed, logs in $log_dir"
"$repo/tests/x11/with-x.sh" python3 "$here/drive.py" \
  --app "$app" --seconds "$seconds" --seed "$seed" --delay 0.01 \
  --log-dir "$log_dir" --summary "$log_dir/summary.json"
