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
# Which platform the program starts on, seen in Qt's message when the display
# named is not there: X11 wherever DISPLAY is set, XWayland included; Wayland
# where only WAYLAND_DISPLAY is; the user's choice above both.
ulimit -c 0  # Qt aborts without its platform
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
tries wayland WAYLAND_DISPLAY=absent-socket
tries xcb WAYLAND_DISPLAY=absent-socket DISPLAY=:absent
tries wayland WAYLAND_DISPLAY=absent-socket DISPLAY=:absent -- -platform wayland
tries wayland WAYLAND_DISPLAY=absent-socket DISPLAY=:absent QT_QPA_PLATFORM=wayland

# A platform that needs no display starts: still running after a while.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$runtime" timeout 3 "$program" -platform offscreen 2>&1)
if [ $? -eq 124 ]; then echo "ok: quintora -platform offscreen starts"; else
  echo "FAIL: quintora -platform offscreen did not start:"; sed 's/^/    /' <<<"$out"; failures=$((failures + 1)); fi

echo "$failures failed"
[ "$failures" -eq 0 ]
