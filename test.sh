#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs every test: the
# normal build with its unit, widget and X11 tests, then the same suite built
# with AddressSanitizer and UndefinedBehaviorSanitizer, then a bounded fuzz
# run of the engine.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
own_build_dirs build build-asan build-fuzz build-pkg build-mingw
install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUINTORA_TESTS=ON
cmake --build build -j "$(nproc)"
(cd build && ctest --output-on-failure -j "$(nproc)")

scripts/sanitize.sh
scripts/fuzz.sh "${QUINTORA_FUZZ_SECONDS:-60}"
scripts/package-test.sh
