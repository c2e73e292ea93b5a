#!/usr/bin/env bash
# Start-up, memory and idle cost of Quintora against an empty Qt window, each
# in a private X server with openbox and without a window manager.
# Usage: bench/run.sh [BUILD_DIR] [--runs N] [--idle SECONDS]
#   BUILD_DIR defaults to build (where ./test.sh builds); it needs bin/quintora,
#   bin/bench_empty_window and bin/bench_xprobe.
# Prints a table per window manager and the ratios to the targets; exits
# with 1 when a target is missed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

build=build
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then build=$1; shift; fi
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac

results=$(mktemp -d)
# The programs want a private runtime directory, as a desktop session gives them.
export XDG_RUNTIME_DIR="$results/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
trap 'rm -rf "$results"' EXIT

for wm in openbox none; do
  flag=()
  [ "$wm" = none ] && flag=(--no-wm)
  echo "measuring with window manager: $wm" >&2
  "$root/tests/x11/with-x.sh" "${flag[@]}" \
    python3 "$root/bench/startup_idle.py" measure --build "$build" --wm "$wm" --out "$results/$wm.jsonl" "$@"
done

python3 "$root/bench/startup_idle.py" report "$results/openbox.jsonl" "$results/none.jsonl"
