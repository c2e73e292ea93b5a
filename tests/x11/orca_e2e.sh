#!/usr/bin/env bash
# What a blind user hears: the real program with the Orca screen reader on
# the private X server and session bus of with-x.sh --a11y, speaking through
# speech-dispatcher and espeak-ng into ALSA's null device. orca_check.py
# types the keys and reads what Orca spoke from its debug log.
# Usage: with-x.sh --a11y orca_e2e.sh COMMAND [ARG...]
set -euo pipefail
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/orca_session.sh"
start_orca || { fail "Orca did not start speaking"; finish; }

start_app "$@"
/usr/bin/python3 "$(dirname "$0")/orca_check.py" "$orca_log" || failures=$((failures + 1))
finish
