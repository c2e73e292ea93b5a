# Shared by the end-to-end scripts that drive the real program on a private
# X server (run them through with-x.sh): results, polling, and the program
# started with its window at the top-left corner of the screen.
# Source it, then call start_app COMMAND... and end with finish.

failures=0
app_pid=""
helper_pids=()  # other processes the script started
log_dir=$(mktemp -d)
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  [ ${#helper_pids[@]} -gt 0 ] && kill "${helper_pids[@]}" 2>/dev/null
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
skips_done=()
skip_check() {  # name
  local entry entries=()
  IFS=';' read -r -a entries <<<"${QUINTORA_SKIP_CHECKS:-}"
  for entry in "${entries[@]}"; do
    [ "${entry%%=*}" = "$1" ] || continue
    echo "skip: $1 (${entry#*=})"
    skips_done+=("$1")
    return 0
  done
  return 1
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

# Starts the program, waits for its window, puts it at (0, 0) and activates
# it. Sets app_pid, wid, win_x and win_y.
start_app() {  # command...
  "$@" &
  app_pid=$!
  wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Quintora$' | head -1)
  [ -n "$wid" ] || { fail "no Quintora window within 30 s"; exit 1; }
  xdotool windowmove --sync "$wid" 0 0
  window_position
  activate "$wid"
}

# Makes a window the active one: through the window manager, or without one
# by giving it the keyboard focus.
activate() {  # window
  if xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_ACTIVE_WINDOW; then
    xdotool windowactivate --sync "$1"
  else
    xdotool windowfocus --sync "$1"
  fi
}

# Ends the program started last and waits for it.
stop_app() {
  if [ -n "$app_pid" ]; then
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
  fi
  app_pid=""
}

window_position() {
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  win_x=$X; win_y=$Y
}
clipboard() { xclip -o -selection clipboard; }
# Puts a text on the clipboard (xclip serves it until another program takes it).
set_clipboard() { printf '%s' "$1" | xclip -selection clipboard; }
# Clicks at a point of the window, given in window pixels.
click_at() { xdotool mousemove --sync $((win_x + $1)) $((win_y + $2)) click 1; }
move_to() { xdotool mousemove --sync $((win_x + $1)) $((win_y + $2)); }
keys() { xdotool key --clearmodifiers "$@"; }
copy_display() { keys ctrl+c; }
# The display as the program copies it.
display_text() { copy_display; clipboard; }
# The colour of a window pixel on the screen, as #RRGGBB.
pixel_at() {  # x y
  import -window root -crop "1x1+$((win_x + $1))+$((win_y + $2))" -depth 8 txt:- 2>/dev/null |
    grep -o '#[0-9A-Fa-f]\{6\}' | head -1
}
