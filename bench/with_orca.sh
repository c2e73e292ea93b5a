#!/usr/bin/env bash
# Runs a command while the Orca screen reader runs, set up as the
# screen-reader test sets it up; stops Orca afterwards.
# Usage: tests/x11/with-x.sh --a11y bench/with_orca.sh COMMAND [ARG...]
set -euo pipefail
x11="$(dirname "$0")/../tests/x11"
source "$x11/lib.sh"
source "$x11/orca_session.sh"
start_orca || { echo "Orca did not start speaking" >&2; exit 1; }
status=0
"$@" || status=$?
# Orca may sit out a polite request to end once its program is gone.
kill -KILL "$orca_pid"
exit "$status"
