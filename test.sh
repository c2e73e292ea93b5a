#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs every test: the
# normal build with its unit, widget, X11, screen-reader and packaging tests
# (ctest; the labels screen-reader and packaging pick those), the same suite
# but the packaging built with AddressSanitizer and UndefinedBehaviorSanitizer,
# a bounded fuzz run of the engine and of paste, and last the .deb installed
# system-wide, started and purged.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
own_build_dirs build build-asan build-fuzz
install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}" "${PACKAGING_PACKAGES[@]}"

# What the tests' programs keep (font caches, Mesa's shaders, settings)
# stays in the build folder, out of the user's home.
export XDG_CACHE_HOME="$PWD/build/test-home/cache" XDG_CONFIG_HOME="$PWD/build/test-home/config" \
  XDG_DATA_HOME="$PWD/build/test-home/data"
# The font cache's folder is made beforehand: programs (or two threads of
# one) that find a font folder's system cache out of date race to make it,
# and the loser falls back to ~/.fontconfig.
mkdir -p "$XDG_CACHE_HOME/fontconfig"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUINTORA_TESTS=ON
cmake --build build -j "$(nproc)"
(cd build && ctest --output-on-failure -j "$(nproc)")

scripts/sanitize.sh
scripts/fuzz.sh "${QUINTORA_FUZZ_SECONDS:-45}"
scripts/package-test.sh
