#!/usr/bin/env bash
# The command line without a display, or with one (--display, run through
# with-x.sh): --version and --help answer, an unknown option or an argument
# is reported (status 1), Qt's own options are accepted; without a display a
# platform that needs none starts and the rest is told there is no display,
# with one the window starts. Usage: command_line.sh [--display] PROGRAM
set -uo pipefail
with_display=0
if [ "$1" = "--display" ]; then with_display=1; shift; fi
program="$1"
failures=0
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT

# Runs the program, without a display unless --display was given.
run() {  # seconds args...
  local seconds="$1" unset=(-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
  shift
  [ "$with_display" -eq 1 ] && unset=(-u WAYLAND_DISPLAY)
  env "${unset[@]}" XDG_RUNTIME_DIR="$runtime" timeout "$seconds" "$program" "$@" 2>&1
}

# Checks the program's status and that what it printed matches a regular
# expression.
expect() {  # status pattern args...
  local status="$1" pattern="$2" out got
  shift 2
  out=$(run 20 "$@")
  got=$?
  if [ "$got" -eq "$status" ] && grep -Eq -- "$pattern" <<<"$out"; then
    echo "ok: quintora $* -> $status"
  else
    echo "FAIL: quintora $* -> $got, expected $status and /$pattern/; printed:"
    sed 's/^/    /' <<<"$out"
    failures=$((failures + 1))
  fi
}

# The program starts: still running after a while.
starts() {  # args...
  local out
  out=$(run 3 "$@")
  if [ $? -eq 124 ]; then echo "ok: quintora $* starts"; else
    echo "FAIL: quintora $* did not start:"; sed 's/^/    /' <<<"$out"; failures=$((failures + 1)); fi
}

expect 0 "^Quintora [0-9]+\.[0-9]+\.[0-9]+$" --version
expect 0 "^Usage: .*quintora \[options\]" --help
expect 0 "-platform" --help-all
expect 1 "Unknown option 'bogus'" --bogus
expect 1 "Unknown option 'bogus'" -platform xcb --bogus
expect 1 "takes no arguments \('extra-arg' given\)" extra-arg
expect 0 "^Quintora " -style Fusion --version
# Which platform the program starts on, seen in Qt's message when the display
# named is not there: X11 wherever DISPLAY is set, XWayland included; Wayland
# where only WAYLAND_DISPLAY is; the user's choice above both.
tries() {  # plugin VAR=VALUE... [-- args]
  local plugin="$1" vars=() out
  shift
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do vars+=("$1"); shift; done
  [ "${1:-}" = "--" ] && shift
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$runtime" "${vars[@]}" \
        timeout 20 "$program" "$@" 2>&1)
  if grep -q "platform plugin \"$plugin\"" <<<"$out" && ! grep -q "no graphical display" <<<"$out"; then
    echo "ok: ${vars[*]} quintora $* tries $plugin"
  else
    echo "FAIL: ${vars[*]} quintora $* did not try $plugin; printed:"
    sed 's/^/    /' <<<"$out"
    failures=$((failures + 1))
  fi
}

if [ "$with_display" -eq 1 ]; then
  starts
else
  expect 1 "no graphical display" -style Fusion
  expect 1 "no graphical display"
  ulimit -c 0  # Qt aborts without its platform
  tries wayland WAYLAND_DISPLAY=absent-socket
  tries xcb WAYLAND_DISPLAY=absent-socket DISPLAY=:absent
  tries wayland WAYLAND_DISPLAY=absent-socket DISPLAY=:absent -- -platform wayland
  tries wayland WAYLAND_DISPLAY=absent-socket DISPLAY=:absent QT_QPA_PLATFORM=wayland
  starts -platform offscreen
fi

echo "$failures failed"
[ "$failures" -eq 0 ]
