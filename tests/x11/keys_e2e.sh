#!/usr/bin/env bash
# The keys the window adds to the calculator's own, typed with xdotool into
# the real program: Backspace, Escape on a message, the memory shortcuts, F1,
# paste, and the comma where it is the decimal separator. Run it through
# with-x.sh. Usage: keys_e2e.sh COMMAND [ARG...]
set -euo pipefail
source "$(dirname "$0")/lib.sh"

# A point of the message panel's navy, clear of its text, bars and arrow.
panel_probe=(200 322)
panel_shown() { [ "$(pixel_at "${panel_probe[@]}")" = "#000080" ] && echo shown || echo hidden; }
typed() {  # text: Delete, then the text, then the display as copied
  set_clipboard none
  keys Delete
  xdotool type --delay 30 "$1"
}

start_app "$@"

typed 123; keys BackSpace; xdotool type 4
if wait_for_output "124\\." 5000 display_text; then pass "Backspace takes back a digit"; else fail "Backspace then a digit"; fi
typed 5+3; keys BackSpace BackSpace
if wait_for_output "5\\." 5000 display_text; then pass "a second Backspace changes nothing"; else fail "second Backspace"; fi

typed 5; keys ctrl+p; xdotool type 2; keys ctrl+q ctrl+r
if wait_for_output " 3\\." 5000 display_text; then pass "Ctrl+P, Ctrl+Q and Ctrl+R are M+, M- and MR"; else fail "memory shortcuts"; fi
keys ctrl+l ctrl+r
if wait_for_output " 0\\." 5000 display_text; then pass "Ctrl+L clears the memory"; else fail "Ctrl+L"; fi

keys F1
if wait_for_output shown 5000 panel_shown; then pass "F1 shows the about text"; else fail "F1"; fi
keys Escape
if wait_for_output hidden 5000 panel_shown; then pass "Escape closes the message"; else fail "Escape"; fi

keys Delete
set_clipboard "-5+3="
keys ctrl+v
if wait_for_output "-2\\." 5000 display_text; then pass "Ctrl+V pastes through the engine: -5+3= gives -2."; else fail "paste"; fi

typed 1,5
if wait_for_output "15\\." 5000 display_text; then pass "a comma is discarded where the point is the separator"; else fail "comma"; fi
stop_app

start_app env LC_ALL=es_ES.UTF-8 "$@"
typed 1,5
if wait_for_output "1\\.5" 5000 display_text; then pass "a comma types the point in a Spanish locale"; else fail "comma in es_ES"; fi

finish
