#!/usr/bin/env bash
# The command line without a display: --version and --help answer, an
# unknown option or an argument is reported as with a display (status 1),
# Qt's own options are accepted, a platform that needs no display starts,
# and the rest is told there is no display. Usage: command_line.sh PROGRAM
set -uo pipefail
program="$1"
failures=0
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT

# Runs the program without a display; checks its status and that what it
# printed matches a regular expression.
expect() {  # status pattern args...
  local status="$1" pattern="$2" out got
  shift 2
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$runtime" \
        timeout 20 "$program" "$@" 2>&1)
  got=$?
  if [ "$got" -eq "$status" ] && grep -Eq -- "$pattern" <<<"$out"; then
    echo "ok: quintora $* -> $status"
  else
    echo "FAIL: quintora $* -> $got, expected $status and /$pattern/; printed:"
    sed 's/^/    /' <<<"$out"
    failures=$((failures + 1))
  fi
}

expect 0 "^Quintora [0-9]+\.[0-9]+\.[0-9]+$" --version
expect 0 "^Usage: .*quintora \[options\]" --help
expect 0 "-platform" --help-all
expect 1 "Unknown option 'bogus'" --bogus
expect 1 "Unknown option 'bogus'" -platform xcb --bogus
expect 1 "takes no arguments \('extra-arg' given\)" extra-arg
expect 0 "^Quintora " -style Fusion --version
expect 1 "no graphical display" -style Fusion
expect 1 "no graphical display"
# A platform that needs no display starts: still running after a while.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$runtime" timeout 3 "$program" -platform offscreen 2>&1)
if [ $? -eq 124 ]; then echo "ok: quintora -platform offscreen starts"; else
  echo "FAIL: quintora -platform offscreen did not start:"; sed 's/^/    /' <<<"$out"; failures=$((failures + 1)); fi

echo "$failures failed"
[ "$failures" -eq 0 ]
