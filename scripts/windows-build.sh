#!/usr/bin/env bash
# Cross-builds the calculator for 64-bit Windows with MinGW-w64 and tests it
# under wine. Not part of test.sh: the first run builds Qt.
#  - Qt for Windows: qtbase of the installed host Qt's version, from Debian's
#    source package, built once (about 35 minutes on two cores, options in
#    packaging/qt-windows.cmake) into
#    ${XDG_CACHE_HOME:-~/.cache}/quintora/qt6-mingw64-<version> and reused.
#  - The project with its tests, in build-windows/build; ctest there runs
#    them under wine (tests/windows/wine-run.sh) on a private X server, with
#    the checks of the program file, the zip and the installer, which CPack
#    makes: build-windows/build/packages/Quintora-<version>-win64.zip and
#    ...-win64-setup.exe.
#  - Under wine, on a private X server with openbox: the silent install and
#    its entry in "Programs and Features", tests/x11/app_e2e.sh against the
#    installed program, in a virtual desktop what other programs do to its
#    window (tests/windows/desktop_e2e.sh), and the uninstall.
# Nothing under $HOME changes but this script's cache. The last line says
# "N passed, M failed". Usage: scripts/windows-build.sh [--qt-only]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

qt_only=0
in_x=""  # internal: the stage to run inside a private X server
while [ $# -gt 0 ]; do
  case "$1" in
    --qt-only) qt_only=1 ;;
    --in-x) in_x="${2:?}"; shift ;;
    *) echo "usage: $0 [--qt-only]" >&2; exit 2 ;;
  esac
  shift
done

source scripts/deps.sh
QT_BUILD_PACKAGES=(cmake ninja-build dpkg-dev qt6-base-dev qt6-base-dev-tools
                   g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64)
# What the later stages add: NSIS, GoogleTest's sources, wine, and the private
# X server with the tools the tests drive it with.
WINDOWS_PACKAGES=(nsis googletest file unzip wine wine64
                  xvfb xauth openbox xdotool xclip x11-utils wmctrl x11-xserver-utils
                  fonts-comic-neue fonts-liberation fonts-dejavu-core)

cache="${XDG_CACHE_HOME:-$HOME/.cache}/quintora"
jobs="${WINDOWS_BUILD_JOBS:-$(nproc)}"
say() { echo "[$(date +%H:%M:%S)] $*"; }

# The host Qt's source package and version; the Windows Qt must match it, as
# the build uses the host's moc, rcc and uic.
dpkg-query -W qt6-base-dev >/dev/null 2>&1 || install_missing qt6-base-dev
qt_src_pkg=$(dpkg-query -W -f='${source:Package}' qt6-base-dev)
qt_src_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
qt_version=${qt_src_version#*:}     # no epoch
qt_version=${qt_version%-*}         # no Debian revision
qt_version=${qt_version%%+*}        # no +dfsg
qt_prefix="$cache/qt6-mingw64-$qt_version"

# Fetches and unpacks the source package into $1, through private package
# lists made from the machine's Debian mirrors, so its apt set-up is left as
# it is.
fetch_qt_source() {
  local dest=$1 codename tmp keyring=""
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  tmp=$(mktemp -d)
  chmod 755 "$tmp"  # apt downloads as the _apt user
  mkdir -p "$tmp/lists/partial" "$tmp/cache/archives/partial" "$tmp/dl"
  chmod 777 "$tmp/dl"
  [ -r /usr/share/keyrings/debian-archive-keyring.gpg ] &&
    keyring="[signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] "
  apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 2>/dev/null |
    awk -v c="$codename" '$2 == c || $2 == c "-updates" || $2 == c "-security"' | sort -u |
    sed "s|^|deb-src ${keyring}|; s|\$| main|" >"$tmp/sources.list"
  [ -s "$tmp/sources.list" ] || echo "deb-src ${keyring}http://deb.debian.org/debian $codename main" >"$tmp/sources.list"
  local opts=(-o Dir::Etc::SourceList="$tmp/sources.list" -o Dir::Etc::SourceParts=/dev/null
              -o Dir::State::Lists="$tmp/lists" -o Dir::Cache="$tmp/cache")
  apt-get "${opts[@]}" -qq update
  (cd "$tmp/dl" && apt-get "${opts[@]}" -qq source --download-only "$qt_src_pkg=$qt_src_version")
  rm -rf "$dest"
  dpkg-source -x "$tmp/dl/${qt_src_pkg}_${qt_src_version#*:}.dsc" "$dest" >/dev/null
  rm -rf "$tmp"
}

# Qt for Windows in the cache, one build at a time.
build_qt() {
  [ -e "$qt_prefix/.installed" ] && { say "Qt: reusing $qt_prefix"; return 0; }
  install_missing "${QT_BUILD_PACKAGES[@]}"
  mkdir -p "$cache"
  exec 9>"$qt_prefix.lock"
  flock 9
  [ -e "$qt_prefix/.installed" ] && { say "Qt: reusing $qt_prefix"; return 0; }
  local work="$qt_prefix-work" start=$SECONDS
  if [ ! -e "$work/.source-ok" ]; then
    say "Qt: fetching $qt_src_pkg $qt_src_version"
    mkdir -p "$work"
    fetch_qt_source "$work/src"
    touch "$work/.source-ok"
  fi
  say "Qt: configuring, building with $jobs jobs (nice 19) and installing"
  nice -n 19 cmake -G Ninja -C "$root/packaging/qt-windows.cmake" -S "$work/src" -B "$work/build" \
    -DCMAKE_INSTALL_PREFIX="$qt_prefix"
  nice -n 19 cmake --build "$work/build" --parallel "$jobs"
  nice -n 19 cmake --install "$work/build" >/dev/null
  touch "$qt_prefix/.installed"
  rm -rf "$work"
  say "Qt: built $qt_version for Windows in $(( (SECONDS - start) / 60 )) min: $qt_prefix"
}

out="$root/build-windows"
# Wine's OpenGL runs on Mesa, which writes the shaders it compiles into the
# cache folder: from here on wine, the X servers and the tests keep their
# caches in the build folder. (Qt for Windows stays in $cache, found above.)
export XDG_CACHE_HOME="$out/cache"
# Made beforehand: wine's processes, starting together, race to make the
# font cache's folder, and the loser writes to ~/.fontconfig.
mkdir -p "$XDG_CACHE_HOME/fontconfig"
win_build="$out/build"
wine_prefix="$win_build/wine"  # the one ctest's wine runs in, too
log_dir="$out/logs"
# quiet NAME COMMAND...: a step with its output in $log_dir/NAME.log, the
# end of which is shown when it fails.
quiet() {
  local name="$1"
  shift
  mkdir -p "$log_dir"
  "$@" >"$log_dir/$name.log" 2>&1 && return 0
  echo "  FAIL: $* (the end of $log_dir/$name.log:)"; tail -n 30 "$log_dir/$name.log" | sed 's/^/    /'
  return 1
}

# Each check's result is a line in this file, also from the stages run
# inside a private X server by a second instance of this script.
export WINDOWS_BUILD_RESULTS="${WINDOWS_BUILD_RESULTS:-}"
check_ok=0
check() {  # name command...: runs a check, counts it; check_ok is 1 when it passed
  local name="$1"
  shift
  echo "== $name"
  if "$@"; then echo "ok: $name"; echo "ok $name" >>"$WINDOWS_BUILD_RESULTS"; check_ok=1
  else echo "FAIL: $name"; echo "FAIL $name" >>"$WINDOWS_BUILD_RESULTS"; check_ok=0; fi
}
not_run() { echo "FAIL: $1 (not run: $2)"; echo "FAIL $1" >>"$WINDOWS_BUILD_RESULTS"; }

# Wine with the private prefix, without the Mono and Gecko installers and
# without menu entries in the user's home.
wine_env=(env WINEPREFIX="$wine_prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
stop_wine() { [ -d "$wine_prefix" ] && WINEPREFIX="$wine_prefix" timeout 30 wineserver -k 2>/dev/null || true; }
wine_idle() { WINEPREFIX="$wine_prefix" timeout "${1:-120}" wineserver -w; }

# GoogleTest for Windows from Debian's sources (its own Win32 locking, not
# winpthreads), once; then the project, through Qt's toolchain file.
build_windows() {
  local gtest="$out/googletest"
  if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
    quiet gtest cmake -S /usr/src/googletest -B "$out/googletest-build" \
      -DCMAKE_TOOLCHAIN_FILE="$root/packaging/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_INSTALL_PREFIX="$gtest" -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=ON &&
      quiet gtest-build cmake --build "$out/googletest-build" -j "$jobs" --target install || return 1
  fi
  # GCC 12 warns falsely about overlapping copies inside std::string at -O2
  # (-Wrestrict). The tests are listed when ctest runs, under wine.
  quiet configure cmake -G Ninja -S "$root" -B "$win_build" \
    -DCMAKE_TOOLCHAIN_FILE="$qt_prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/packaging/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DQUINTORA_TESTS=ON -DCMAKE_CXX_FLAGS=-Wno-restrict \
    -DGTest_DIR="$gtest/lib/cmake/GTest" -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST \
    -DQUINTORA_QT_SOURCE="Debian's source package $qt_src_pkg $qt_src_version, https://sources.debian.org/src/$qt_src_pkg/$qt_src_version/ (apt-get source $qt_src_pkg=$qt_src_version), built with MinGW-w64 as Quintora's scripts/windows-build.sh does" &&
    quiet build nice cmake --build "$win_build" -j "$jobs" || return 1
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$win_build/CMakeCache.txt")
  echo "  Quintora $version and its tests in $win_build/bin"
}

# --- Under wine, each stage on a private X server ----------------------------

in_x() {  # stage [with-x.sh options]: runs a stage of this script inside with-x.sh
  local stage=$1 status=0
  shift
  tests/x11/with-x.sh "$@" "$root/scripts/windows-build.sh" --in-x "$stage" || status=$?
  stop_wine
  [ "$status" -eq 0 ] || not_run "the rest of the stage '$stage'" "it ended with status $status"
}

x_ctest() { check "ctest under wine: the tests, the program file, the zip and the installer" run_ctest; }
# A fresh prefix, kept up while the tests start their programs in it.
run_ctest() {
  local status=0
  stop_wine
  rm -rf "$wine_prefix"
  quiet wineboot "${wine_env[@]}" timeout 300 wineboot -i && wine_idle 300 || return 1
  WINEPREFIX="$wine_prefix" wineserver -p
  # with-x.sh's QT_QPA_PLATFORM=xcb is no platform of the Windows Qt.
  (cd "$win_build" && env -u QT_QPA_PLATFORM timeout 3600 ctest -j "$jobs" --output-on-failure) \
    >"$log_dir/ctest.log" 2>&1 || status=$?
  grep -E '^[0-9]+% tests passed|\(Failed\)|\(Not Run\)|\*\*\*' "$log_dir/ctest.log" | sed 's/^/  /'
  return "$status"
}

installed_exe='C:\Program Files\Quintora\Quintora.exe'
installed_dir="$wine_prefix/drive_c/Program Files/Quintora"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quintora'
drive_c_files() { (cd "$wine_prefix/drive_c" && find . | grep -v '^\./users/[^/]*/Temp/' | sort); }
reg_query() { "${wine_env[@]}" timeout 60 wine reg query "$@" 2>/dev/null | tr -d '\r'; }
reg_key_exists() { "${wine_env[@]}" timeout 60 wine reg query "$1" >/dev/null 2>&1; }

x_install() { check "the installer installs silently" silent_install; }

# The folder the install rules make, the uninstaller and the Start-menu
# entries; the installed program is the packaged one; the uninstall entry.
silent_install() {
  local ok=0 before added expected stage
  before=$(drive_c_files)
  echo "$before" >"$out/drive_c-before.txt"
  quiet install "${wine_env[@]}" timeout 300 wine "$setup" /S && wine_idle || return 1
  added=$(comm -13 <(echo "$before") <(drive_c_files))
  stage=$(mktemp -d)
  DESTDIR="$stage" cmake --install "$win_build" --prefix /q >/dev/null
  expected=$( { (cd "$stage/q" && find . | sed 's|^\.|./Program Files/Quintora|')
                echo "./Program Files/Quintora/Uninstall.exe"
                local menu="./ProgramData/Microsoft/Windows/Start Menu/Programs/Quintora"
                printf '%s\n' "$menu" "$menu/Quintora.lnk" "$menu/Uninstall.lnk"; } | sort -u)
  rm -rf "$stage"
  [ "$added" = "$expected" ] ||
    { echo "  FAIL: the installer added other files than expected:"; diff <(echo "$expected") <(echo "$added") | sed 's/^/    /'; ok=1; }
  cmp -s "$installed_dir/Quintora.exe" <(unzip -p "$zip" "$(basename "$zip" .zip)/Quintora.exe") ||
    { echo "  FAIL: the installed Quintora.exe differs from the zip's"; ok=1; }
  local lnk="$wine_prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quintora/Quintora.lnk"
  strings -el "$lnk" | grep -qF "$installed_exe" || { echo "  FAIL: the shortcut's icon is not $installed_exe"; ok=1; }
  # The entry in "Programs and Features", as a native installer writes it.
  local entry field size
  entry=$(reg_query "$uninstall_key")
  for field in "DisplayName    REG_SZ    Quintora" "DisplayVersion    REG_SZ    $version" \
               "Publisher    REG_SZ    Quintora developers" "DisplayIcon    REG_SZ    $installed_exe" \
               "UninstallString    REG_SZ    \"C:\\Program Files\\Quintora\\Uninstall.exe\"" \
               "QuietUninstallString    REG_SZ    \"C:\\Program Files\\Quintora\\Uninstall.exe\" /S" \
               "InstallLocation    REG_SZ    C:\\Program Files\\Quintora" \
               "NoModify    REG_DWORD    0x1" "NoRepair    REG_DWORD    0x1"; do
    grep -qF "    $field" <<<"$entry" || { echo "  FAIL: the uninstall entry lacks '$field'"; ok=1; }
  done
  # EstimatedSize in KiB: within 10 % of what was installed.
  size=$(sed -n 's/^ *EstimatedSize *REG_DWORD *//p' <<<"$entry")
  local installed=$(du -sk --apparent-size "$installed_dir" | cut -f1)
  [ -n "$size" ] && (( size * 10 > installed * 9 && size * 10 < installed * 11 )) ||
    { echo "  FAIL: EstimatedSize is '$size', $installed KiB were installed"; ok=1; }
  [ "$ok" -eq 0 ] && echo "  $(grep -c . <<<"$added") files and folders added; uninstall entry: $(grep -c REG_ <<<"$entry") values"
  return "$ok"
}

# The X11 end-to-end test, as it is, against the installed program. The two
# checks whose X11 means do not reach a Windows program (NAME=REASON;...,
# tests/x11/lib.sh) are made in a wine virtual desktop with Windows' means.
WINE_E2E_SKIPS="full-screen=a window manager's full-screen state does not reach Windows programs (maximise is checked in a virtual desktop instead)"
WINE_E2E_SKIPS+=";screen-shrink=wine does not follow Xvfb's screen size change (a display change is checked in a virtual desktop instead)"
x_e2e() {
  check "tests/x11/app_e2e.sh against the installed program under wine" e2e_under_wine
  check "in a virtual desktop: resized, maximised and on a shrunk display by another program" \
    desktop_e2e
}
desktop_e2e() {
  "${wine_env[@]}" timeout 300 tests/windows/desktop_e2e.sh "$win_build/bin/window_tool.exe" "$installed_exe" |
    sed 's/^/  /'
}
e2e_under_wine() {
  local status=0
  QUINTORA_SKIP_CHECKS="$WINE_E2E_SKIPS" timeout 300 \
    tests/x11/app_e2e.sh "${wine_env[@]}" wine "$installed_exe" >"$log_dir/app_e2e.log" 2>&1 || status=$?
  grep -v '^QStandardPaths' "$log_dir/app_e2e.log" | sed 's/^/  /'
  return "$status"
}

x_uninstall() { check "the uninstaller removes it" silent_uninstall; }
# The uninstaller copies itself to the temporary folder and runs from there:
# wait for every process of the prefix.
silent_uninstall() {
  local ok=0
  quiet uninstall "${wine_env[@]}" timeout 300 wine 'C:\Program Files\Quintora\Uninstall.exe' /S && wine_idle || return 1
  [ ! -e "$installed_dir" ] || { echo "  FAIL: $installed_dir is still there"; ok=1; }
  [ "$(drive_c_files)" = "$(cat "$out/drive_c-before.txt")" ] ||
    { echo "  FAIL: drive_c differs from before the install:"; diff "$out/drive_c-before.txt" <(drive_c_files) | sed 's/^/    /'; ok=1; }
  ! reg_key_exists "$uninstall_key" || { echo "  FAIL: the uninstall entry is still there"; ok=1; }
  ! reg_key_exists 'HKLM\Software\Quintora developers' || { echo "  FAIL: the installer's own keys are still there"; ok=1; }
  [ "$ok" -eq 0 ] && echo "  drive_c as before the install, no registry entries left"
  return "$ok"
}

# ---- Main: the stages in order -------------------------------------------

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$win_build/CMakeCache.txt" 2>/dev/null || true)
zip="$win_build/packages/Quintora-$version-win64.zip"
setup="$win_build/packages/Quintora-$version-win64-setup.exe"

# Inside a private X server: one stage, its results added to the parent's.
if [ -n "$in_x" ]; then
  "x_$in_x"
  stop_wine
  exit 0
fi

build_qt
[ "$qt_only" -eq 1 ] && exit 0

install_missing "${QT_BUILD_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}"
home_files() { find "$HOME" -path "$cache" -prune -o -printf '%p %s %T@\n' 2>/dev/null | sort; }
home_before=$(home_files)
home_unchanged() {
  local after
  after=$(home_files)
  [ "$after" = "$home_before" ] || { diff <(echo "$home_before") <(echo "$after") | sed 's/^/  /' | head -20; return 1; }
}
[ -f "$root/LICENSE" ] || { echo "no LICENSE in $root: the packages carry it" >&2; exit 1; }
own_build_dirs "$out"
mkdir -p "$out" "$log_dir"
WINDOWS_BUILD_RESULTS=$(mktemp)
trap 'stop_wine; rm -f "$WINDOWS_BUILD_RESULTS"' EXIT
trap 'exit 130' INT TERM

say "Windows: building in $win_build"
check "Quintora.exe and the test programs cross-compiled" build_windows
if [ "$check_ok" -eq 1 ]; then
  zip="$win_build/packages/Quintora-$version-win64.zip"
  setup="$win_build/packages/Quintora-$version-win64-setup.exe"
  say "Windows: testing under wine"
  in_x ctest
  if [ -f "$setup" ]; then
    in_x install
    if [ -f "$installed_dir/Quintora.exe" ]; then
      QUINTORA_X_SCREEN=1920x1080 in_x e2e
    else
      not_run "tests/x11/app_e2e.sh under wine" "Quintora is not installed"
    fi
    in_x uninstall
  else
    not_run "install, run and uninstall under wine" "no installer"
  fi
else
  not_run "the tests and the packages under wine" "the build failed"
fi

check "nothing under \$HOME changed but the cache" home_unchanged
passed=$(grep -c '^ok ' "$WINDOWS_BUILD_RESULTS" || true)
failed=$(grep -c '^FAIL ' "$WINDOWS_BUILD_RESULTS" || true)
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
