#!/usr/bin/env bash
# The packaging tests, which test.sh runs last: they are slower than the
# others, and they change the machine for a while (the .deb is installed
# system-wide through sudo, then purged):
#  - the install tree (cmake --install into a staging folder): program,
#    desktop entry, metainfo and icons, validated;
#  - the .deb built by CPack: its control fields and dependencies, its
#    copyright, changelog and manual page, no lintian error or warning, and
#    the same version everywhere a user sees one;
#  - the metainfo under appstreamcli's pedantic checks;
#  - the .deb installed with apt-get, the installed program started under a
#    private Xvfb until its window maps, then purged, leaving the machine's
#    packages and files as they were (also on failure or interruption);
#  - the Windows resource script compiled with MinGW-w64's windres, its icon
#    and version information read back from the result;
#  - the engine and its unit tests cross-compiled with MinGW-w64 and, where
#    wine is installed, run; the shape object's sources compiled for Windows.
# Builds go to build-pkg/ and build-mingw/. Usage: scripts/package-test.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

source scripts/deps.sh
install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${PACKAGING_PACKAGES[@]}"

jobs="${PACKAGE_TEST_JOBS:-$(nproc)}"
pkg_build="$root/build-pkg"
mingw_build="$root/build-mingw"
own_build_dirs "$pkg_build" "$mingw_build"
app_id=org.example.quintora
# The release: the project's, the .deb's, --version's, the changelog's, the
# metainfo's and the manual page's version (not the Windows resources').
version=1.1.0

passed=0
failed=0
# Runs one named check; its output is indented, its result counted.
check() {
  local name="$1"
  shift
  echo "== $name"
  if "$@"; then
    echo "ok: $name"; passed=$((passed + 1))
  else
    echo "FAIL: $name"; failed=$((failed + 1))
  fi
}

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)

# What the package test installed, removed again on every exit.
installed_packages=()
cleanup() {
  if [ ${#installed_packages[@]} -gt 0 ]; then
    echo "== purging ${installed_packages[*]}"
    "${sudo[@]}" dpkg --purge "${installed_packages[@]}" >/dev/null || true
    installed_packages=()
  fi
  [ -n "${stage:-}" ] && rm -rf "$stage"
  return 0
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Build steps log to build-pkg/logs/ (quiet, in steps.sh).
log_dir="$root/build-pkg/logs"
source scripts/steps.sh

package_list() {
  dpkg-query -W -f='${binary:Package} ${Version} ${db:Status-Abbrev}\n' | sort
}

# --- the install tree and the .deb -------------------------------------------

build_package() {
  quiet pkg-configure cmake -S . -B "$pkg_build" -DCMAKE_BUILD_TYPE=Release -DQUINTORA_TESTS=OFF &&
    quiet pkg-build cmake --build "$pkg_build" -j "$jobs" --target quintora &&
    rm -f "$pkg_build"/quintora_*.deb &&
    quiet cpack cpack -G DEB --config "$pkg_build/CPackConfig.cmake" -B "$pkg_build"
}

check_stage() {
  stage=$(mktemp -d)
  DESTDIR="$stage" quiet stage cmake --install "$pkg_build" --prefix /usr || return 1
  tests/packaging/check_tree.sh "$stage/usr" || return 1
  # The metainfo and desktop entry together, as software centres read them.
  quiet validate-tree appstreamcli validate-tree --no-net "$stage" || return 1
  # The screenshot the metainfo shows is one of ours.
  local shot
  shot=$(sed -n 's|.*<image>.*/\([^/]*\)</image>.*|\1|p' "$stage/usr/share/metainfo/$app_id.metainfo.xml")
  [ -n "$shot" ] && [ -f "docs/$shot" ] || { echo "  FAIL: screenshot '$shot' is not in docs/"; return 1; }
}

check_control() {
  local deb="$1" ok=0 field expected got
  while IFS='|' read -r field expected; do
    got=$(dpkg-deb -f "$deb" "$field")
    [ "$got" = "$expected" ] || { echo "  FAIL: $field is '$got', expected '$expected'"; ok=1; }
  done <<EOF
Package|quintora
Version|$version
Architecture|$(dpkg --print-architecture)
Maintainer|Quintora developers <quintora@example.org>
Section|utils
EOF
  # The fonts named by hand, and the libraries dpkg-shlibdeps found in the
  # program: without those the package would install but not start.
  local depends
  depends=$(dpkg-deb -f "$deb" Depends)
  echo "  Depends: $depends"
  for dep in fonts-comic-neue fonts-liberation fonts-dejavu-core libc6 libstdc++6 \
             libqt6core6 libqt6gui6 libqt6widgets6; do
    [[ ", $depends," == *", $dep "* || ", $depends," == *", $dep,"* ]] ||
      { echo "  FAIL: Depends lacks $dep"; ok=1; }
  done
  # Nothing else than the program, its desktop integration and documents.
  local unexpected
  unexpected=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$' |
    grep -Ev "^\./usr/(bin/quintora|share/applications/$app_id\.desktop|share/metainfo/$app_id\.metainfo\.xml|share/icons/hicolor/[0-9]+x[0-9]+/apps/$app_id\.png|share/man/man1/quintora\.1\.gz|share/doc/quintora/(copyright|changelog\.gz))$" || true)
  [ -z "$unexpected" ] || { echo "  FAIL: unexpected files: $unexpected"; ok=1; }
  return "$ok"
}

# The licence paragraph of a machine-readable copyright file, as plain text.
copyright_licence() {
  awk 'BEGIN { RS = "" }
       /^License:/ { n = split($0, line, "\n")
                     for (i = 2; i <= n; i++) { sub(/^ /, "", line[i]); print (line[i] == "." ? "" : line[i]) } }' "$1"
}

# Text as one line of words, for comparing texts wrapped differently.
words() { tr -s '[:space:]' ' ' | sed 's/^ //; s/ $//'; }

# The copyright, changelog and manual page in the .deb, where Debian wants
# them: DEP-5 with LICENSE's text, and the others gzipped reproducibly.
check_documents() {
  local deb="$1" dir ok=0 path
  dir=$(mktemp -d)
  dpkg-deb -x "$deb" "$dir" || { rm -rf "$dir"; return 1; }
  local copyright="$dir/usr/share/doc/quintora/copyright"
  local changelog="$dir/usr/share/doc/quintora/changelog.gz"
  local manpage="$dir/usr/share/man/man1/quintora.1.gz"
  local sections=""
  for path in "$copyright" "$changelog" "$manpage"; do
    [ -f "$path" ] || { echo "  FAIL: no ${path#"$dir"}"; ok=1; }
  done
  if [ "$ok" -eq 0 ]; then
    head -1 "$copyright" |
      grep -qx "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ||
      { echo "  FAIL: the copyright file is not machine-readable"; ok=1; }
    [ "$(copyright_licence "$copyright" | words)" = "$(sed -n '/^Permission/,$p' LICENSE | words)" ] ||
      { echo "  FAIL: the copyright's licence is not LICENSE's text"; ok=1; }
    # gzip -n: no file name (flags 0) and no time stamp.
    for path in "$changelog" "$manpage"; do
      [ "$(od -An -tx1 -j3 -N5 "$path" | tr -d ' \n')" = 0000000000 ] ||
        { echo "  FAIL: ${path#"$dir"} keeps a name or time stamp"; ok=1; }
    done
    zcat "$changelog" >"$dir/changelog"
    [ "$(dpkg-parsechangelog -l "$dir/changelog" -S Version)" = "$version" ] ||
      { echo "  FAIL: the changelog's last entry is not $version"; ok=1; }
    local warnings
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$manpage" 2>&1 >/dev/null)
    [ -z "$warnings" ] || { echo "  FAIL: man warns:"; sed 's/^/    /' <<<"$warnings"; ok=1; }
    sections=$(zcat "$manpage" | sed -n 's/^\.SH "\{0,1\}\([^"]*\)"\{0,1\}$/\1/p' | tr '\n' ' ')
    for path in NAME SYNOPSIS DESCRIPTION OPTIONS KEYS FILES; do
      [[ " $sections" == *" $path "* ]] || { echo "  FAIL: the manual page has no $path section"; ok=1; }
    done
  fi
  rm -rf "$dir"
  [ "$ok" -eq 0 ] && echo "  DEP-5 copyright with LICENSE's text, changelog $version, manual page: $sections"
  return "$ok"
}

check_lintian() {
  command -v lintian >/dev/null || { echo "  FAIL: lintian is not installed"; return 1; }
  local out
  out=$(lintian --display-info --pedantic "$1" 2>&1 | grep -v "running with root privileges" || true)
  [ -z "$out" ] || sed 's/^/  /' <<<"$out"
  ! grep -q '^[EW]: ' <<<"$out"
}

# Every version a user sees, the Windows resources' apart.
check_versions() {
  local deb="$1" ok=0 name got
  while IFS='|' read -r name got; do
    [ "$got" = "$version" ] || { echo "  FAIL: $name is '$got', expected '$version'"; ok=1; }
  done <<VERSIONS
the project's version|$(sed -n 's/^project(Quintora VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
the .deb's Version|$(dpkg-deb -f "$deb" Version)
the .deb's file name|$(basename "$deb" | sed -n "s/^quintora_\(.*\)_$(dpkg --print-architecture)\.deb$/\1/p")
the changelog's last entry|$(dpkg-parsechangelog -l packaging/changelog -S Version)
the metainfo's newest release|$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "packaging/$app_id.metainfo.xml" | head -1)
the manual page's footer|$(sed -n 's/^\.TH .*"Quintora \([^"]*\)".*/\1/p' packaging/quintora.1)
VERSIONS
  # The release's date, in the changelog and the metainfo.
  local changelog_date metainfo_date
  changelog_date=$(date -u -d "@$(dpkg-parsechangelog -l packaging/changelog -S Timestamp)" +%F)
  metainfo_date=$(sed -n 's/.*<release version="[^"]*" date="\([^"]*\)".*/\1/p' "packaging/$app_id.metainfo.xml" | head -1)
  [ "$changelog_date" = "$metainfo_date" ] ||
    { echo "  FAIL: released $changelog_date in the changelog, $metainfo_date in the metainfo"; ok=1; }
  [ "$ok" -eq 0 ] && echo "  $version of $changelog_date everywhere"
  return "$ok"
}

# The metainfo under every check but those that need the network.
check_appstream() {
  local out status=0
  out=$(appstreamcli validate --pedantic --no-net "packaging/$app_id.metainfo.xml" 2>&1) || status=$?
  sed 's/^/  /' <<<"$out"
  [ "$status" -eq 0 ] && ! grep -q '^[EWIP]: ' <<<"$out"
}

# --- installing, running and removing the .deb -------------------------------

# Existence of each path the package holds, and the package list: both must
# be the same before the install and after the purge.
path_state() {
  local path
  dpkg-deb -c "$1" | awk '{print $6}' | sed 's|^\.||; s|/$||' | grep -v '^$' |
    while read -r path; do
      if [ -e "$path" ]; then echo "present $path"; else echo "absent $path"; fi
    done
}

install_run_remove() {
  local deb="$1" ok=0
  local status
  status=$(dpkg-query -W -f='${db:Status-Status}' quintora 2>/dev/null || true)
  if [ -n "$status" ] && [ "$status" != "not-installed" ]; then
    echo "  quintora is installed from an earlier run: purging it first"
    "${sudo[@]}" dpkg --purge quintora >/dev/null || return 1
  fi
  local before_packages before_paths
  before_packages=$(package_list)
  before_paths=$(path_state "$deb")

  installed_packages=(quintora)
  DEBIAN_FRONTEND=noninteractive quiet apt-install \
    "${sudo[@]}" apt-get install -y --no-install-recommends "$deb" || return 1
  # Whatever apt-get pulled in besides goes again at the end.
  local added
  added=$(comm -13 <(echo "$before_packages" | cut -d' ' -f1) <(package_list | cut -d' ' -f1) | grep -vx quintora || true)
  [ -n "$added" ] && { echo "  apt-get also installed: $added"; installed_packages+=($added); }

  dpkg-query -W -f='${Status}\n' quintora | grep -qx "install ok installed" ||
    { echo "  FAIL: quintora is not installed"; ok=1; }
  tests/packaging/check_tree.sh /usr || ok=1
  tests/ui/command_line.sh "$(command -v quintora)" | sed "s/^/  /" || ok=1
  [ "$(man -w quintora 2>/dev/null)" = /usr/share/man/man1/quintora.1.gz ] ||
    { echo "  FAIL: man does not find quintora's manual page"; ok=1; }
  # A fresh environment as a desktop session would give, with PATH's usual
  # folders: the program must be found by the desktop entry's Exec.
  env -i HOME="$HOME" PATH=/usr/local/bin:/usr/bin:/bin \
    tests/x11/with-x.sh tests/packaging/installed_window.sh \
    "/usr/share/applications/$app_id.desktop" || ok=1

  "${sudo[@]}" dpkg --purge "${installed_packages[@]}" >/dev/null || { echo "  FAIL: dpkg --purge"; ok=1; }
  installed_packages=()
  [ "$(package_list)" = "$before_packages" ] ||
    { echo "  FAIL: the package list differs after the purge:";
      diff <(echo "$before_packages") <(package_list) | sed 's/^/    /'; ok=1; }
  [ "$(path_state "$deb")" = "$before_paths" ] ||
    { echo "  FAIL: files differ after the purge:";
      diff <(echo "$before_paths") <(path_state "$deb") | sed 's/^/    /'; ok=1; }
  if compgen -G "/var/lib/dpkg/info/quintora.*" >/dev/null; then
    echo "  FAIL: dpkg still keeps quintora's files list"; ok=1
  fi
  return "$ok"
}

# --- Windows ------------------------------------------------------------------

# The resource script, compiled and read back from the compiled resources.
check_windows_resources() {
  local res="$mingw_build/quintora.res" rc_text ok=0
  mkdir -p "$mingw_build"
  x86_64-w64-mingw32-windres -I resources packaging/quintora.rc -O res -o "$res" || return 1
  rc_text=$(x86_64-w64-mingw32-windres -J res -i "$res" -O rc) || return 1
  local expected
  while IFS= read -r expected; do
    grep -qF -- "$expected" <<<"$rc_text" || { echo "  FAIL: no '$expected'"; ok=1; }
  done <<'EOF'
 FILEVERSION 1, 0, 0, 0
 PRODUCTVERSION 1, 0, 0, 0
 FILETYPE 0x1
    BLOCK "0C0A04B0"
      VALUE "ProductName", "Quintora"
      VALUE "InternalName", "Quintora"
      VALUE "OriginalFilename", "Quintora.exe"
      VALUE "FileVersion", "1.00"
      VALUE "ProductVersion", "1.00"
      VALUE "CompanyName", ".."
    VALUE "Translation", 0xc0a, 1200
14 /* RT_GROUP_ICON */
   0, 1, 1,	 /* Has 1 elements.  */
    "\040\040\020\000", 1, 4,
EOF
  # One string table only: the Spanish (Spain) Unicode one.
  [ "$(grep -c 'BLOCK "[0-9A-Fa-f]\{8\}"' <<<"$rc_text")" = 1 ] ||
    { echo "  FAIL: more than one string table"; ok=1; }
  [ "$ok" -eq 0 ] && echo "  FileVersion/ProductVersion 1.0.0.0, 0C0A04B0 strings, application, one 32x32 16-colour icon"
  return "$ok"
}

# GoogleTest built for Windows from Debian's sources, once per build folder.
build_mingw_gtest() {
  local src=/usr/src/googletest prefix="$mingw_build/googletest"
  [ -f "$prefix/lib/cmake/GTest/GTestConfig.cmake" ] && return 0
  [ -f "$src/CMakeLists.txt" ] || { echo "  FAIL: no GoogleTest sources in $src"; return 1; }
  # GoogleTest's own Win32 locking, not winpthreads.
  quiet gtest-configure cmake -S "$src" -B "$mingw_build/googletest-build" \
        -DCMAKE_TOOLCHAIN_FILE="$root/packaging/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=ON &&
    quiet gtest-build cmake --build "$mingw_build/googletest-build" -j "$jobs" &&
    quiet gtest-install cmake --install "$mingw_build/googletest-build"
}

cross_compile_engine() {
  build_mingw_gtest || return 1
  # The tests are listed when ctest runs, not after the build, which would
  # have to start a Windows program. GCC 12 warns falsely about overlapping
  # copies inside std::string at -O2 (-Wrestrict), only in this build.
  quiet mingw-configure cmake -S . -B "$mingw_build/engine" \
        -DCMAKE_TOOLCHAIN_FILE="$root/packaging/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DQUINTORA_WITH_QT=OFF -DQUINTORA_TESTS=ON \
        -DCMAKE_CXX_FLAGS=-Wno-restrict \
        -DGTest_DIR="$mingw_build/googletest/lib/cmake/GTest" \
        -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST || return 1
  quiet mingw-build cmake --build "$mingw_build/engine" -j "$jobs" --target quintora_engine engine_tests ||
    return 1
  local exe="$mingw_build/engine/bin/engine_tests.exe"
  file -b "$exe" | grep -q "^PE32+ executable (console) x86-64" ||
    { echo "  FAIL: $exe is $(file -b "$exe")"; return 1; }
  echo "  $(file -b "$exe")"
}

# No Qt for Windows comes with Debian, so the shape object's sources are only
# compiled for Windows, against Debian's Qt headers: enough to catch Linux-
# or X11-only code that is not kept apart.
compile_shape_for_windows() {
  local qt_include
  qt_include=$(pkg-config --variable=includedir Qt6Core) || return 1
  quiet shape-windows x86_64-w64-mingw32-g++-posix -std=c++20 -Wall -Wextra -Wpedantic -Werror \
    -fsyntax-only -isystem "$qt_include" -isystem "$qt_include/QtCore" \
    -isystem "$qt_include/QtGui" -isystem "$qt_include/QtWidgets" -Ishape shape/*.cpp
}

run_under_wine() {
  local exe="$mingw_build/engine/bin/engine_tests.exe" out
  # A prefix of its own, without the Mono and Gecko installers' dialogs.
  out=$(WINEPREFIX="$mingw_build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
        timeout 600 wine "$exe" --gtest_brief=1 2>&1)
  local status=$?
  echo "$out" | tail -n 5 | sed 's/^/  /'
  [ "$status" -eq 0 ] && grep -q "\[  PASSED  \]" <<<"$out"
}

install_tree() { build_package && check_stage; }
check "install tree: program, desktop entry, metainfo, icons" install_tree
deb=$(ls "$pkg_build"/quintora_*.deb 2>/dev/null | head -1 || true)
if [ -n "$deb" ]; then
  check ".deb control fields and dependencies" check_control "$deb"
  check ".deb copyright, changelog and manual page" check_documents "$deb"
  check ".deb: no lintian error or warning" check_lintian "$deb"
  check "version $version everywhere a user sees it" check_versions "$deb"
  check ".deb installs, its program's window maps, it purges cleanly" install_run_remove "$deb"
else
  echo "FAIL: no .deb in $pkg_build"; failed=$((failed + 1))
fi
check "AppStream metainfo: appstreamcli validate --pedantic" check_appstream
check "Windows resources: icon and version information" check_windows_resources
check "engine and engine_tests cross-compiled with MinGW-w64" cross_compile_engine
check "shape sources compiled for Windows (syntax only)" compile_shape_for_windows
if command -v wine >/dev/null; then
  check "engine_tests.exe under wine" run_under_wine
else
  echo "skipped: engine_tests.exe under wine (wine is not installed)"
fi

echo "packaging: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
