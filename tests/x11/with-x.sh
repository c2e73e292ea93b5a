#!/usr/bin/env bash
# Runs a command inside a private X server (Xvfb on a free display) with the
# openbox window manager, a private D-Bus session bus and, unless one is
# given, a private runtime folder, as a desktop session has; stops them
# afterwards, also on failure.
# Usage: with-x.sh [--no-wm | --wm openbox|mutter|kwin|xfwm4] [--a11y] COMMAND [ARG...]
#   --wm    another window manager (xfwm4 with its compositor on); the
#           caller gives it a private home (../desktops/session.sh does)
#   --a11y  Qt programs talk to the accessibility bus, which the session bus
#           starts on demand, as when a screen reader runs.
# QUINTORA_X_SCREEN sets the screen size (default 1024x768).
set -euo pipefail

wm=1
wm_name=openbox
if [ "${1:-}" = "--no-wm" ]; then wm=0; shift; fi
if [ "${1:-}" = "--wm" ]; then wm_name=$2; shift 2; fi
if [ "${1:-}" = "--a11y" ]; then
  shift
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
fi
# Without a session bus, programs would start one through the X server and
# note it in the user's home; without a runtime folder, the accessibility
# bus and the settings store put their files under ~/.cache. The caches
# (fonts, Mesa's shaders), settings and data of the session's programs stay
# in a private folder as well.
if [ -z "${QUINTORA_WITH_X_BUS:-}" ]; then
  wm_option=(--wm "$wm_name")
  [ "$wm" -eq 0 ] && wm_option=(--no-wm)
  QUINTORA_WITH_X_HOME=$(mktemp -d)
  export QUINTORA_WITH_X_HOME XDG_CACHE_HOME="$QUINTORA_WITH_X_HOME/cache" \
    XDG_CONFIG_HOME="$QUINTORA_WITH_X_HOME/config" XDG_DATA_HOME="$QUINTORA_WITH_X_HOME/data"
  # Made beforehand: programs, or two threads of one (openbox's), that find
  # a font folder's system cache out of date race to make it, and the loser
  # writes its font cache to ~/.fontconfig.
  mkdir -p "$XDG_CACHE_HOME/fontconfig"
  if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR QUINTORA_WITH_X_RUNTIME="$XDG_RUNTIME_DIR"
  fi
  QUINTORA_WITH_X_BUS=1 exec dbus-run-session -- "$0" "${wm_option[@]}" "$@"
fi

xvfb_pid=""
wm_pid=""
cleanup() {
  # A window manager may end with the signal's number as its status (KWin).
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && { wait "$wm_pid" 2>/dev/null || true; }
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && { wait "$xvfb_pid" 2>/dev/null || true; }
  [ -n "${fifo_dir:-}" ] && rm -rf "$fifo_dir"
  [ -n "${QUINTORA_WITH_X_RUNTIME:-}" ] && rm -rf "$QUINTORA_WITH_X_RUNTIME"
  [ -n "${QUINTORA_WITH_X_HOME:-}" ] && rm -rf "$QUINTORA_WITH_X_HOME"
  return 0
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number to the pipe. It
# must not reset when its last client leaves: the probes below come and go,
# and a client that connects during a reset is turned away.
fifo_dir=$(mktemp -d)
mkfifo "$fifo_dir/display"
mkdir "$fifo_dir/fontconfig"  # openbox's font cache, as above
# GLX, for the window managers that composite with OpenGL.
Xvfb -noreset -displayfd 3 -screen 0 ${QUINTORA_X_SCREEN:-1024x768}x24 -nolisten tcp +extension GLX \
  3>"$fifo_dir/display" >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 60 display_number <"$fifo_dir/display"
export DISPLAY=":$display_number"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
# Services the bus starts on demand (KWin's shortcut daemon) need the display too.
dbus-update-activation-environment DISPLAY QT_QPA_PLATFORM >/dev/null 2>&1 || true

# Polls a command for up to the given number of seconds: on a loaded machine
# the private server and the window manager can take many seconds to come up.
wait_until() {  # seconds command...
  local _ tries=$(($1 * 20))
  shift
  for _ in $(seq 1 "$tries"); do "$@" && return 0; sleep 0.05; done
  return 1
}
wm_announced() { xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_ACTIVE_WINDOW; }
probe_framed() {
  local probe
  probe=$(xdotool search --name '^wm-probe$' 2>/dev/null | head -1 || true)
  [ -n "$probe" ] && xprop -id "$probe" _NET_FRAME_EXTENTS 2>/dev/null | grep -q " = "
}
# Openbox announces itself before it manages new windows, and a window mapped
# in between may stay unmanaged for good: map probe windows until one gets
# its frame.
wm_manages_windows() {
  local _ probe_pid framed=1
  for _ in $(seq 1 20); do
    xev -geometry 1x1+0+0 -name wm-probe -event structure >/dev/null 2>&1 &
    probe_pid=$!
    wait_until 3 probe_framed && framed=0
    kill "$probe_pid" 2>/dev/null; wait "$probe_pid" 2>/dev/null || true
    [ "$framed" -eq 0 ] && return 0
  done
  return 1
}

if [ "$wm" -eq 1 ]; then
  case "$wm_name" in
    # Its log and settings in the private folder, not in the user's home.
    openbox) XDG_CACHE_HOME="$fifo_dir" XDG_CONFIG_HOME="$fifo_dir" openbox --sm-disable >/dev/null 2>&1 & ;;
    mutter) mutter --x11 --replace --sm-disable >/dev/null 2>&1 & ;;
    kwin) kwin_x11 --replace >/dev/null 2>&1 & ;;
    xfwm4) xfwm4 --compositor=on --replace >/dev/null 2>&1 & ;;
    *) echo "with-x.sh: unknown window manager $wm_name" >&2; exit 2 ;;
  esac
  wm_pid=$!
  wait_until 60 wm_announced || { echo "with-x.sh: $wm_name did not come up" >&2; exit 1; }
  wm_manages_windows || { echo "with-x.sh: $wm_name does not manage windows" >&2; exit 1; }
fi

"$@"
