#!/usr/bin/env bash
# Runs a command in a private session of a real desktop, started headless as
# its users' machines run it, and stops everything it started afterwards,
# also on failure. Sessions:
#   mutter-x11, kwin-x11, xfwm4     Xvfb with that window manager (xfwm4 with
#                                   its compositor), through ../x11/with-x.sh
#   mutter-xwayland, kwin-xwayland  the Wayland compositor with XWayland
#   mutter-wayland, kwin-wayland    the Wayland compositor alone
# The command gets DISPLAY (X11 and XWayland), WAYLAND_DISPLAY (Wayland),
# QUINTORA_DESKTOP (the session's name) and, on Wayland, QUINTORA_WAYLAND_DRIVER
# (wayland_driver.py: real input and screenshots). Home, configuration,
# caches and runtime folder are private: nothing under the user's home
# changes, and every name (display, socket, bus) is the session's own.
# Usage: session.sh NAME COMMAND [ARG...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
screen=1280x1024

# Inside the compositor: the command, its output to the outer script's (or
# a file) and its status in a file.
if [ "$1" = "--run" ]; then
  exec >>"$QUINTORA_SESSION_OUTPUT" 2>&1
  if [ -n "${DISPLAY:-}" ]; then  # XWayland: ready once the compositor manages X windows
    for _ in $(seq 1 600); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break; sleep 0.05; done
  fi
  status=0
  eval "$(cat "$QUINTORA_SESSION_ROOT/command")" || status=$?
  echo "$status" >"$QUINTORA_SESSION_ROOT/status"
  exit 0
fi

name=$1
shift
case "$name" in
  mutter-x11|kwin-x11|xfwm4|mutter-xwayland|kwin-xwayland|mutter-wayland|kwin-wayland) ;;
  *) echo "session.sh: unknown session '$name'" >&2; exit 2 ;;
esac

if [ -z "${QUINTORA_SESSION_ROOT:-}" ]; then
  root=$(mktemp -d)
  trap 'rm -rf "$root"' EXIT
  export QUINTORA_SESSION_ROOT="$root" QUINTORA_DESKTOP="$name" QUINTORA_SCREEN="$screen"
  # mutter, KWin and XWayland render with Mesa, which caches its shaders
  # under XDG_CACHE_HOME; KWin and xfwm4 write their settings.
  export HOME="$root/home" XDG_CONFIG_HOME="$root/config" XDG_CACHE_HOME="$root/cache"
  export XDG_DATA_HOME="$root/data" XDG_RUNTIME_DIR="$root/runtime"
  mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME/applications" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
  status=0
  case "$name" in
    *-x11|xfwm4)
      QUINTORA_X_SCREEN=$screen "$here/../x11/with-x.sh" --wm "${name%-x11}" "$@" || status=$? ;;
    *)
      dbus-run-session -- "$0" "$name" "$@" || status=$? ;;
  esac
  exit "$status"
fi

# On the session's own bus: the compositor, which starts the command.
root=$QUINTORA_SESSION_ROOT
# The compositors start the command with their own output; it writes to
# this script's as it goes where that is a pipe or a terminal (as under
# ctest), else to a file shown at the end.
export QUINTORA_SESSION_OUTPUT="$root/output"
if [ -p "/proc/$$/fd/1" ] || [ -t 1 ]; then QUINTORA_SESSION_OUTPUT="/proc/$$/fd/1"; fi
printf '%q ' "$@" >"$root/command"
ln -s "$here/session.sh" "$root/run"  # a path without blanks for KWin's command line
helper_pids=()
cleanup() {
  [ ${#helper_pids[@]} -gt 0 ] && kill "${helper_pids[@]}" 2>/dev/null
  wait 2>/dev/null
  return 0
}
trap cleanup EXIT
driver=(/usr/bin/python3 "$here/wayland_driver.py")

case "$name" in
  mutter-*)
    # Screenshots come from a screen cast, which goes through PipeWire.
    pipewire >"$root/pipewire.log" 2>&1 &
    helper_pids+=($!)
    x11=(--no-x11)
    [ "$name" = mutter-xwayland ] && x11=()
    export QUINTORA_WAYLAND_DRIVER="${driver[*]} mutter"
    mutter --wayland --headless --virtual-monitor "$screen" "${x11[@]}" -- "$root/run" --run \
      >"$root/compositor.log" 2>&1 || true
    ;;
  kwin-*)
    # The installed binary carries a file capability that a container may
    # refuse to grant; a copy runs without it.
    cp "$(command -v kwin_wayland)" "$root/kwin_wayland"
    # KWin grants fake input and screenshots to programs whose desktop file
    # asks for them, found by executable: the driver runs as its own copy of
    # Python, so that Python's own desktop file does not answer instead.
    cp "$(readlink -f /usr/bin/python3)" "$root/quintora-test-driver"
    cat >"$XDG_DATA_HOME/applications/quintora-test-driver.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Quintora test driver
Exec=$root/quintora-test-driver
X-KDE-DBUS-Restricted-Interfaces=org.kde.KWin.ScreenShot2
X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input
DESKTOP
    kbuildsycoca5 --noincremental >/dev/null 2>&1 || true  # KWin finds the entry from its start
    driver[0]="$root/quintora-test-driver"
    export QUINTORA_WAYLAND_DRIVER="${driver[*]} kwin"
    xwayland=()
    [ "$name" = kwin-xwayland ] && xwayland=(--xwayland)
    width=${screen%x*} height=${screen#*x}
    "$root/kwin_wayland" --virtual "${xwayland[@]}" --width "$width" --height "$height" \
      --no-lockscreen --no-global-shortcuts --exit-with-session "$root/run --run" \
      >"$root/compositor.log" 2>&1 || true
    ;;
esac

[ -f "$root/output" ] && cat "$root/output"
if [ ! -f "$root/status" ]; then
  echo "session.sh: $name did not run the command; its log ends:" >&2
  tail -n 20 "$root/compositor.log" >&2
  exit 1
fi
exit "$(cat "$root/status")"
