#!/usr/bin/env bash
# Cross-builds the calculator for 64-bit Windows with MinGW-w64.
#  - Qt for Windows: qtbase of the installed host Qt's version, from Debian's
#    source package, built once (about 50 minutes on two cores) into
#    ${XDG_CACHE_HOME:-~/.cache}/quintora/qt6-mingw64-<version> and reused.
# Usage: scripts/windows-build.sh [--qt-only]
#   --qt-only  only make sure the Qt for Windows is in the cache
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

qt_only=0
for arg in "$@"; do
  case "$arg" in
    --qt-only) qt_only=1 ;;
    *) echo "usage: $0 [--qt-only]" >&2; exit 2 ;;
  esac
done

source scripts/deps.sh
QT_BUILD_PACKAGES=(cmake ninja-build dpkg-dev qt6-base-dev qt6-base-dev-tools
                   g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64)

cache="${XDG_CACHE_HOME:-$HOME/.cache}/quintora"
jobs="${WINDOWS_BUILD_JOBS:-$(nproc)}"

say() { echo "[$(date +%H:%M:%S)] $*"; }

# The host Qt's source package and version; the Windows Qt must match it, as
# the build uses the host's moc, rcc and uic.
qt_src_pkg=$(dpkg-query -W -f='${source:Package}' qt6-base-dev 2>/dev/null || true)
qt_src_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev 2>/dev/null || true)
if [ -z "$qt_src_version" ]; then
  install_missing qt6-base-dev
  qt_src_pkg=$(dpkg-query -W -f='${source:Package}' qt6-base-dev)
  qt_src_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
fi
qt_version=${qt_src_version#*:}     # no epoch
qt_version=${qt_version%-*}         # no Debian revision
qt_version=${qt_version%%+*}        # no +dfsg
qt_prefix="$cache/qt6-mingw64-$qt_version"
qt_stamp="$qt_prefix/.installed"

# What the calculator and its tests use: Core, Gui, Widgets and Test, the
# windows and offscreen platform plugins. Debian's source lacks wintab.h, so
# tablet support is off; the windows plugin does not build otherwise. The
# toolchain's -static (set for the calculator) reaches only executables, and
# Qt builds none here; its DLLs use the shared GCC runtime.
QT_CONFIGURE_OPTIONS=(
  -DCMAKE_TOOLCHAIN_FILE="$root/packaging/mingw-w64-x86_64.cmake"
  -DCMAKE_BUILD_TYPE=Release
  -DQT_HOST_PATH=/usr
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_EXAMPLES=OFF
  -DQT_BUILD_TESTS=OFF
  -DFEATURE_sql=OFF
  -DFEATURE_network=OFF
  -DFEATURE_dbus=OFF
  -DFEATURE_opengl=OFF
  -DFEATURE_printsupport=OFF
  -DFEATURE_concurrent=OFF
  -DFEATURE_xml=OFF
  -DFEATURE_icu=OFF
  -DFEATURE_tabletevent=OFF
  -DFEATURE_dynamicgl=OFF
)

# Prints "URI SUITE" for each Debian archive entry of this release (main
# suite, -updates, -security) in the machine's apt sources.
apt_mirrors() {
  local codename=$1 f
  local want="^${codename}(-updates|-security)?\$"
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -r "$f" ] || continue
    awk -v want="$want" '
      $1 == "deb" || $1 == "deb-src" {
        i = 2
        if ($2 ~ /^\[/) { while (i <= NF && $i !~ /\]$/) i++; i++ }
        if ($(i + 1) ~ want) print $i, $(i + 1)
      }' "$f"
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -r "$f" ] || continue
    awk -v want="$want" '
      function flush(  n, m, u, s, a, b) {
        if (enabled && uris != "" && suites != "") {
          n = split(uris, u, " "); m = split(suites, s, " ")
          for (a = 1; a <= n; a++) for (b = 1; b <= m; b++)
            if (s[b] ~ want) print u[a], s[b]
        }
        uris = ""; suites = ""; enabled = 1
      }
      BEGIN { enabled = 1 }
      /^#/ { next }
      /^[ \t]*$/ { flush(); next }
      tolower($1) == "uris:" { $1 = ""; uris = $0 }
      tolower($1) == "suites:" { $1 = ""; suites = $0 }
      tolower($1) == "enabled:" { enabled = (tolower($2) != "no") }
      END { flush() }' "$f"
  done
}

# Fetches and unpacks the source package into $1, through a private sources
# list and private package lists, so the machine's apt set-up is left as is.
fetch_qt_source() {
  local dest=$1 codename tmp keyring="" opts line
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  tmp=$(mktemp -d)
  # apt downloads as the _apt user, which must reach these folders.
  chmod 755 "$tmp"
  mkdir -p "$tmp/lists/partial" "$tmp/cache/archives/partial" "$tmp/dl"
  chmod 777 "$tmp/dl"
  [ -r /usr/share/keyrings/debian-archive-keyring.gpg ] &&
    keyring="[signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] "
  apt_mirrors "$codename" | sort -u | while read -r line; do
    echo "deb-src ${keyring}$line main"
  done >"$tmp/sources.list"
  [ -s "$tmp/sources.list" ] ||
    echo "deb-src ${keyring}http://deb.debian.org/debian $codename main" >"$tmp/sources.list"
  say "Qt: source lists from: $(awk '{print $(NF-2), $(NF-1)}' "$tmp/sources.list" | paste -sd, -)"

  opts=(-o Dir::Etc::SourceList="$tmp/sources.list"
        -o Dir::Etc::SourceParts=/dev/null
        -o Dir::State::Lists="$tmp/lists"
        -o Dir::Cache="$tmp/cache")
  apt-get "${opts[@]}" -qq update
  (cd "$tmp/dl" && apt-get "${opts[@]}" -qq source --download-only "$qt_src_pkg=$qt_src_version")
  rm -rf "$dest"
  dpkg-source -x "$tmp/dl/${qt_src_pkg}_${qt_src_version#*:}.dsc" "$dest" >/dev/null
  rm -rf "$tmp"
}

# Stage: Qt for Windows in the cache.
build_qt() {
  if [ -e "$qt_stamp" ]; then
    say "Qt: reusing $qt_prefix"
    return 0
  fi
  install_missing "${QT_BUILD_PACKAGES[@]}"
  mkdir -p "$cache"
  # One build at a time; a second run waits for the first.
  exec 9>"$cache/qt6-mingw64-$qt_version.lock"
  flock 9
  if [ -e "$qt_stamp" ]; then
    say "Qt: reusing $qt_prefix"
    return 0
  fi

  local work="$cache/qt6-mingw64-$qt_version-work"
  local src="$work/src" build="$work/build" start=$SECONDS
  if [ ! -e "$work/.source-ok" ]; then
    say "Qt: fetching $qt_src_pkg $qt_src_version"
    mkdir -p "$work"
    fetch_qt_source "$src"
    touch "$work/.source-ok"
  else
    say "Qt: reusing the source in $src"
  fi

  say "Qt: configuring in $build"
  mkdir -p "$build"
  nice -n 19 cmake -G Ninja -S "$src" -B "$build" \
    -DCMAKE_INSTALL_PREFIX="$qt_prefix" "${QT_CONFIGURE_OPTIONS[@]}"

  say "Qt: building with $jobs jobs (nice 19)"
  nice -n 19 cmake --build "$build" --parallel "$jobs"
  say "Qt: installing into $qt_prefix"
  nice -n 19 cmake --install "$build" >/dev/null
  touch "$qt_stamp"
  rm -rf "$work"
  say "Qt: built $qt_version for Windows in $(( (SECONDS - start) / 60 )) min: $qt_prefix"
}

# ---- Main: the stages in order -------------------------------------------
build_qt
if [ "$qt_only" -eq 1 ]; then exit 0; fi

# Later stages go here, each a function called in turn:
#  - cross-compile the calculator and its tests with the project's CMake
#    against $qt_prefix;
#  - the zip with the program, Qt's DLLs and plugins;
#  - the NSIS installer;
#  - the tests run under wine.
# The last line of output is then "N passed, M failed".
