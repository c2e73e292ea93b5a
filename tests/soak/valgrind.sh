#!/usr/bin/env bash
# The soak storm, shorter and slower, with the program under valgrind's
# memcheck. Passes when the storm passes (alive, answers, plausible copies)
# and valgrind reports no invalid read or write and no definite leak whose
# stack passes through the project's own code. Suppressions in
# valgrind.supp cover only identified noise of Qt, fontconfig and the X
# libraries.
#
# Usage: tests/soak/valgrind.sh [SECONDS]   (default 60)
# Environment: QUINTORA_BIN, SOAK_SEED, SOAK_LOG_DIR as for soak.sh.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
source "$here/common.sh"

seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 10 ]; then
  echo "valgrind.sh: give the run at least 10 seconds (got '$seconds')" >&2
  exit 2
fi

prepare_soak valgrind
vg_log="$log_dir/valgrind.log"
echo "valgrind soak: $app, $seconds s, seed $seed, logs in $log_dir"

storm_status=0
"$repo/tests/x11/with-x.sh" python3 "$here/drive.py" \
  --app "$app" --seconds "$seconds" --seed "$seed" --delay 0.15 --slow 8 \
  --map-timeout 180 --exit-timeout 180 --copy-every 6 --panel-every 3 \
  --rss-limit-kib 0 --log-dir "$log_dir" --summary "$log_dir/summary.json" -- \
  valgrind --tool=memcheck --leak-check=full --errors-for-leak-kinds=definite \
  --show-leak-kinds=definite --error-exitcode=99 --num-callers=40 \
  --child-silent-after-fork=yes \
  --suppressions="$here/valgrind.supp" --log-file="$vg_log" || storm_status=$?

python3 "$here/vgcheck.py" "$vg_log" --project "$repo" || storm_status=1
exit "$storm_status"
