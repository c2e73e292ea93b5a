#!/usr/bin/env bash
# Start-up, memory and idle cost of Quintora against an empty Qt window, each
# in a private X server with openbox and without a window manager.
# Usage: bench/run.sh [BUILD_DIR] [--orca] [--pairs N] [--warmups N] [--idle-runs N] [--idle SECONDS]
#   BUILD_DIR defaults to build (where ./test.sh builds); it needs bin/quintora,
#   bin/bench_empty_window and bin/bench_xprobe.
#   --orca  with openbox only, both programs with accessibility on and the
#           Orca screen reader running (set up as the screen-reader test does).
# Prints a table per setting and the ratios to the targets; exits with 1
# when a target is missed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

build=build
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then build=$1; shift; fi
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac
settings=(openbox none)
if [ "${1:-}" = "--orca" ]; then settings=(openbox+orca); shift; fi

results=$(mktemp -d)
# The programs want a private runtime directory, as a desktop session gives them.
export XDG_RUNTIME_DIR="$results/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
trap 'rm -rf "$results"' EXIT

for setting in "${settings[@]}"; do
  case "$setting" in
    openbox) with=() ;;
    none) with=(--no-wm) ;;
    openbox+orca) with=(--a11y "$root/bench/with_orca.sh") ;;
  esac
  echo "measuring: $setting" >&2
  "$root/tests/x11/with-x.sh" "${with[@]}" \
    python3 "$root/bench/startup_idle.py" measure --build "$build" --wm "$setting" \
    --out "$results/$setting.jsonl" "$@"
done

files=()
for setting in "${settings[@]}"; do files+=("$results/$setting.jsonl"); done
python3 "$root/bench/startup_idle.py" report "${files[@]}"
