#!/usr/bin/env bash
# Installs Quintora's .deb system-wide (through sudo unless run as root),
# checks the installed program, its files, its manual page and its window as
# the desktop entry starts it, then purges it, leaving the machine's packages
# and files as they were, also on failure or interruption. test.sh runs it
# last. The .deb is the one the packaging checks build (ctest -L packaging,
# in build/); it is built first when it is not there.
# Usage: scripts/package-test.sh
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/deps.sh
install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${PACKAGING_PACKAGES[@]}"

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
app_id=$(sed -n 's/^set(QUINTORA_APP_ID \(.*\))$/\1/p' CMakeLists.txt)

deb=$(ls build/tests/packaging/release/quintora_*.deb 2>/dev/null | head -1 || true)
if [ -z "$deb" ]; then
  own_build_dirs build
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUINTORA_TESTS=ON >/dev/null
  (cd build && ctest -R '^packaging\.deb$' --output-on-failure >/dev/null)
  deb=$(ls build/tests/packaging/release/quintora_*.deb | head -1)
fi
deb=$(realpath "$deb")

package_list() { dpkg-query -W -f='${binary:Package} ${Version} ${db:Status-Abbrev}\n' | sort; }
# Whether each path the package holds exists.
path_state() {
  local path
  dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\.||; s|/$||' | grep -v '^$' |
    while read -r path; do
      if [ -e "$path" ]; then echo "present $path"; else echo "absent $path"; fi
    done
}

# What this script installed goes again on every exit.
installed_packages=()
purge() {
  [ ${#installed_packages[@]} -gt 0 ] || return 0
  "${sudo[@]}" dpkg --purge "${installed_packages[@]}" >/dev/null
  installed_packages=()
}
trap 'purge || true' EXIT
trap 'exit 130' INT TERM

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

status=$(dpkg-query -W -f='${db:Status-Status}' quintora 2>/dev/null || true)
if [ -n "$status" ] && [ "$status" != "not-installed" ]; then
  echo "quintora is installed from an earlier run: purging it first"
  "${sudo[@]}" dpkg --purge quintora >/dev/null
fi
before_packages=$(package_list)
before_paths=$(path_state)

echo "== installing $deb"
installed_packages=(quintora)
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
# Whatever apt-get pulled in besides goes again at the end.
added=$(comm -13 <(echo "$before_packages" | cut -d' ' -f1) <(package_list | cut -d' ' -f1) | grep -vx quintora || true)
[ -n "$added" ] && { echo "apt-get also installed: $added"; installed_packages+=($added); }

dpkg-query -W -f='${Status}\n' quintora | grep -qx "install ok installed" || fail "quintora is not installed"
tests/packaging/check_tree.sh /usr "$app_id" || fail "the installed files"
tests/ui/command_line.sh "$(command -v quintora)" || fail "the installed program's command line"
[ "$(man -w quintora 2>/dev/null)" = /usr/share/man/man1/quintora.1.gz ] || fail "man does not find the manual page"
# A fresh environment as a desktop session would give, with PATH's usual
# folders: the program must be found by the desktop entry's Exec.
env -i HOME="$HOME" PATH=/usr/local/bin:/usr/bin:/bin \
  tests/x11/with-x.sh tests/packaging/installed_window.sh "/usr/share/applications/$app_id.desktop" ||
  fail "the installed program's window"

echo "== purging"
purge || fail "the purge"
[ "$(package_list)" = "$before_packages" ] ||
  { fail "the package list differs after the purge:"; diff <(echo "$before_packages") <(package_list); }
[ "$(path_state)" = "$before_paths" ] ||
  { fail "files differ after the purge:"; diff <(echo "$before_paths") <(path_state); }
compgen -G "/var/lib/dpkg/info/quintora.*" >/dev/null && fail "dpkg still keeps quintora's files list"

echo "package install: $failures failed"
[ "$failures" -eq 0 ]
