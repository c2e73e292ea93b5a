#!/usr/bin/env bash
# The real program as a screen reader sees it, through AT-SPI. Run it with
# with-x.sh --a11y. Usage: atspi_e2e.sh COMMAND [ARG...]
set -euo pipefail
source "$(dirname "$0")/lib.sh"

start_app "$@"
# Debian's Python, which has the AT-SPI bindings.
/usr/bin/python3 "$(dirname "$0")/atspi_check.py" "$app_pid" ${QUINTORA_A11Y_TREE:+--tree}
