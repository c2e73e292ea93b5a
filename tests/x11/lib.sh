# Shared by the end-to-end scripts that drive the real program on a private
# X server (run them through with-x.sh) or in a desktop session
# (../desktops/session.sh): results, polling, and the program started with
# its window at the top-left corner of the screen. In a Wayland session
# without X, input and pictures of the screen go through the compositor
# (wayland_driver.py), and the window stays where the compositor put it.
# Source it, then call start_app COMMAND... and end with finish.

failures=0
app_pid=""
helper_pids=()  # other processes the script started
log_dir=$(mktemp -d)
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  [ ${#helper_pids[@]} -gt 0 ] && kill "${helper_pids[@]}" 2>/dev/null
  [ -n "${driver_in:-}" ] && exec {driver_in}>&-
  wait 2>/dev/null
  rm -rf "$log_dir"
  return 0
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# A platform that lacks what a check needs names the check, with the reason,
# in QUINTORA_SKIP_CHECKS="NAME=REASON;NAME=REASON": skip_check NAME then says
# so and returns 0, and the check is left out.
# A script leaves out what its platform cannot do with skip_on NAME REASON.
skips_done=()
skips_own=""
skip_on() { skips_own+="$1=$2;"; }
skip_check() {  # name
  local entry entries=()
  IFS=';' read -r -a entries <<<"$skips_own${QUINTORA_SKIP_CHECKS:-}"
  for entry in "${entries[@]}"; do
    [ "${entry%%=*}" = "$1" ] || continue
    echo "skip: $1 (${entry#*=})"
    skips_done+=("$1")
    return 0
  done
  return 1
}

# A check that fails on a platform for a reason the README gives is named
# in QUINTORA_KNOWN_FAILURES="NAME=REASON;...": known_result NAME ok|failed
# MESSAGE reports its failure as known, uncounted, and its passing as a
# failure, since the list, and the README, are then out of date.
known_result() {  # name ok|failed message
  local entry entries=() reason=""
  IFS=';' read -r -a entries <<<"${QUINTORA_KNOWN_FAILURES:-}"
  for entry in "${entries[@]}"; do [ "${entry%%=*}" = "$1" ] && reason=${entry#*=}; done
  if [ -z "$reason" ]; then
    if [ "$2" = ok ]; then pass "$3"; else fail "$3"; fi
  elif [ "$2" = ok ]; then
    fail "$3, though listed as a known failure ($reason)"
  else
    echo "known: $3 ($reason)"
  fi
}

# The last line: how many checks failed; the status follows it. A name in
# QUINTORA_SKIP_CHECKS that no check has is a failure: a stale list would
# hide nothing, but should not pass unnoticed.
finish() {
  local entry entries=() name
  IFS=';' read -r -a entries <<<"${QUINTORA_SKIP_CHECKS:-}"
  for entry in "${entries[@]}"; do
    name=${entry%%=*}
    [ -n "$name" ] || continue
    [[ " ${skips_done[*]} " == *" $name "* ]] || fail "QUINTORA_SKIP_CHECKS names no check of this test: $name"
  done
  [ ${#skips_done[@]} -gt 0 ] && echo "${#skips_done[@]} skipped"
  echo "$failures failed"
  [ "$failures" -eq 0 ]
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Polls a command until it prints the expected text (a regular expression)
# or the time runs out.
wait_for_output() {  # expected milliseconds command...
  local expected="$1" deadline=$(($(now_ms) + $2)) got=""
  shift 2
  while :; do
    got=$("$@" 2>/dev/null || true)
    [[ "$got" =~ ^($expected)$ ]] && return 0
    [ "$(now_ms)" -ge "$deadline" ] && break
    sleep 0.02
  done
  echo "  expected '$expected', got '$got'"
  return 1
}

# A Wayland session without an X server: no xdotool, xprop or xclip.
native_wayland() { [ -z "${DISPLAY:-}" ] && [ -n "${WAYLAND_DISPLAY:-}" ]; }
# Under a Wayland compositor, XWayland included, the pointer and the keys are
# real ones, which the compositor routes; xdotool's reach the X server only.
real_input() { [ -n "${QUINTORA_WAYLAND_DRIVER:-}" ]; }

# The compositor's input and screen (QUINTORA_WAYLAND_DRIVER, set by
# session.sh): driver COMMAND prints the answer, and fails on an error.
driver_in=""
start_driver() {
  mkfifo "$log_dir/driver_in" "$log_dir/driver_out"
  $QUINTORA_WAYLAND_DRIVER "$(dirname "${BASH_SOURCE[0]}")/../../resources/skin.bmp" "$QUINTORA_SCREEN" \
    <"$log_dir/driver_in" >"$log_dir/driver_out" 2>"$log_dir/driver.log" &
  helper_pids+=($!)
  exec {driver_in}>"$log_dir/driver_in" {driver_out}<"$log_dir/driver_out"
}
driver() {
  local reply=""
  [ -n "$driver_in" ] || start_driver
  echo "$*" >&"$driver_in"
  read -r -t 120 reply <&"$driver_out" || reply="error: no answer ($(tail -n 3 "$log_dir/driver.log"))"
  if [[ "$reply" == error* ]]; then echo "  driver: $* -> $reply" >&2; return 1; fi
  [ "$reply" = ok ] || echo "$reply"
}

# Starts the program and waits for its window. On X11 it is put at (0, 0)
# and activated; on Wayland it is found on the screen. Sets app_pid, wid
# (X11), win_x and win_y.
start_app() {  # command...
  "$@" 2> >(tee "$log_dir/app.err" >&2) &
  app_pid=$!
  if native_wayland; then
    local deadline=$(($(now_ms) + 30000))
    until window_position; do
      [ "$(now_ms)" -lt "$deadline" ] || { fail "no Quintora window on the screen within 30 s"; exit 1; }
      sleep 0.5
    done
    return 0
  fi
  wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Quintora$' | head -1)
  [ -n "$wid" ] || { fail "no Quintora window within 30 s"; exit 1; }
  move_window 0 0
  activate "$wid"
}

# Makes a window the active one: through the window manager, or without one
# by giving it the keyboard focus.
activate() {  # window
  if window_manager_present; then
    xdotool windowactivate --sync "$1"
  else
    xdotool windowfocus --sync "$1"
  fi
}
window_manager_present() { xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_ACTIVE_WINDOW; }

# Returns once the window manager has handled every request sent to it
# before, however slow it is: it handles them in order, and the answer to
# this one shows (a pager hint toggled on a window of the caller's).
wm_caught_up() {  # window
  window_manager_present || return 0
  local before deadline=$(($(now_ms) + 20000))
  before=$(xprop -id "$1" _NET_WM_STATE)
  wmctrl -i -r "$1" -b toggle,skip_pager
  while [ "$(xprop -id "$1" _NET_WM_STATE)" = "$before" ]; do
    [ "$(now_ms)" -ge "$deadline" ] && { echo "  the window manager did not answer within 20 s"; return 1; }
    sleep 0.02
  done
}

# Moves the window on X11; a window manager may still be placing a new
# window, so the move is repeated until the window stays there.
move_window() {  # x y
  for _ in $(seq 1 50); do
    xdotool windowmove --sync "$wid" "$1" "$2"
    sleep 0.1
    window_position
    [ "$win_x,$win_y" = "$1,$2" ] && return 0
  done
  fail "the window stays at $win_x,$win_y, not $1,$2"
}

# Ends the program started last and waits for it.
stop_app() {
  if [ -n "$app_pid" ]; then
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
  fi
  app_pid=""
}

# On Wayland, the window is where the skin shows on the screen (while it is
# opaque); fails when it does not show.
window_position() {  # [expected x y]
  if native_wayland; then
    local place
    driver shot >/dev/null && place=$(driver locate "$@") && [ "$place" != none ] || return 1
    read -r win_x win_y <<<"$place"
    return 0
  fi
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  win_x=$X; win_y=$Y
}
clipboard() {
  if native_wayland; then wl-paste --no-newline; else xclip -o -selection clipboard; fi
}
# Puts a text on the clipboard (xclip or wl-copy serves it until another
# program takes it).
set_clipboard() {
  if native_wayland; then printf '%s' "$1" | wl-copy; else printf '%s' "$1" | xclip -selection clipboard; fi
}
# Clicks at a point of the window, given in window pixels.
click_at() {
  if real_input; then driver move $((win_x + $1)) $((win_y + $2)) && driver click; return; fi
  xdotool mousemove --sync $((win_x + $1)) $((win_y + $2)) click 1
}
move_to() {
  if real_input; then driver move $((win_x + $1)) $((win_y + $2)); return; fi
  xdotool mousemove --sync $((win_x + $1)) $((win_y + $2))
}
# Drags with the left button from a point of the window by an offset, the
# pointer's move one jump.
drag_from() {  # x y dx dy
  # By way of a neighbour: after a drag the pointer is on the same spot of
  # the window, and xdotool would wait for a move to where it already is.
  move_to $(($1 + 1)) "$2"
  move_to "$1" "$2"
  if real_input; then  # as a hand does it: some time between press, move and release
    driver down && sleep 0.05 && driver moveby "$3" "$4" && sleep 0.05 && driver up
  else
    xdotool mousedown 1
    xdotool mousemove_relative --sync -- "$3" "$4"
    xdotool mouseup 1
  fi
}
keys() {
  if real_input; then driver key "$@"; return; fi
  xdotool key --clearmodifiers "$@"
}
type_text() {
  if real_input; then driver type "$1"; return; fi
  xdotool type --delay 30 "$1"
}
copy_display() { keys ctrl+c; }
# The display as the program copies it.
display_text() { copy_display; clipboard; }
# The colour of a window pixel on the screen, as #RRGGBB.
pixel_at() {  # x y
  import -window root -crop "1x1+$((win_x + $1))+$((win_y + $2))" -depth 8 txt:- 2>/dev/null |
    grep -o '#[0-9A-Fa-f]\{6\}' | head -1
}
