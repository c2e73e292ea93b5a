# Sourced by run.sh, test.sh and the scripts they run: installs the Debian
# packages that are missing, through sudo unless run as root (the only thing
# that needs root), and checks the build folders.
# Usage: install_missing PACKAGE...; own_build_dirs DIR...

install_missing() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null ||
      { echo "$(basename "$0"): installing ${missing[*]} needs root; install sudo or run this as root" >&2; exit 1; }
    sudo=(sudo)
  fi
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Stops with the fix when a build folder belongs to another user, as one
# left by a run as root does: CMake could not write to it.
own_build_dirs() {
  local dir
  [ "$(id -u)" -eq 0 ] && return 0
  for dir in "$@"; do
    if [ -e "$dir" ] && [ ! -O "$dir" ]; then
      echo "$(basename "$0"): $dir/ belongs to $(stat -c %U "$dir") (left by a run as that user); remove it with 'sudo rm -rf $dir' and run again" >&2
      exit 1
    fi
  done
}

# What building and running the calculator needs (Qt's Wayland plugin for
# a desktop without an X server).
BUILD_PACKAGES=(cmake make g++ pkg-config qt6-base-dev libgl-dev libxcb1-dev
                fonts-comic-neue fonts-liberation fonts-dejavu-core qt6-wayland)

# What the desktop checks (label desktops) add: GNOME's mutter, KDE's KWin
# (X11 and Wayland, with the Breeze style it needs and kbuildsycoca5, which
# lets it grant the test driver input and screenshots) and Xfce's xfwm4;
# XWayland, Qt's Wayland plugin for the native mode, and weston's demo client
# as a native window that logs its clicks; the driver's D-Bus and GLib
# bindings (mutter's input and settings, KWin's screenshots) and NumPy (to
# find the window in a screenshot); mutter's screen cast through PipeWire,
# read with GStreamer; wl-clipboard.
DESKTOP_TEST_PACKAGES=(mutter kwin-x11 kwin-wayland kwin-style-breeze libkf5service-bin xfwm4
                       xwayland qt6-wayland weston python3-dbus python3-gi gir1.2-glib-2.0
                       dconf-gsettings-backend dbus-bin pipewire pipewire-bin
                       gstreamer1.0-pipewire gstreamer1.0-tools gstreamer1.0-plugins-base
                       python3-numpy wl-clipboard)

# What the tests add: GoogleTest, Google Benchmark, Qt's private headers (to
# switch accessibility on in widget tests), a private X server with a window
# manager, the tools that drive it as a user would, an AT-SPI client with its
# session bus, which look at it as a screen reader does, and the Orca screen
# reader with its speech.
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev qt6-base-private-dev
               xvfb xauth openbox xdotool xclip x11-utils xcompmgr imagemagick
               wmctrl x11-xserver-utils at-spi2-core python3-pyatspi dbus-x11
               orca speech-dispatcher-espeak-ng espeak-ng
               "${DESKTOP_TEST_PACKAGES[@]}")

# What the fuzz and sanitizer builds add: clang with libFuzzer and the
# sanitizer runtimes.
FUZZ_PACKAGES=(clang libclang-rt-dev)

# What the packaging tests add: the desktop entry and AppStream validators,
# dpkg-shlibdeps for the .deb's dependencies, lintian (with man, which checks
# the manual page), and MinGW-w64's resource compiler for the Windows
# resources with the C preprocessor it runs (MinGW's gcc).
PACKAGING_PACKAGES=(desktop-file-utils appstream dpkg-dev file lintian man-db
                    binutils-mingw-w64-x86-64 gcc-mingw-w64-x86-64-posix)
