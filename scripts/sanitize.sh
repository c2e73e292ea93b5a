#!/usr/bin/env bash
# Builds the project with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan/ and runs its whole test suite but the packaging and desktop
# checks; any sanitizer report fails the run. Usage: scripts/sanitize.sh [CMAKE_OPTION ...]
#
# The Qt parts are built when Qt 6 is installed, the engine alone otherwise;
# -DQUINTORA_WITH_QT=OFF forces the engine alone. clang is used when it is
# there (its build also replays the fuzz corpus), gcc otherwise; CXX chooses
# another compiler.
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/deps.sh
install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" ${FUZZ_PACKAGES[@]+"${FUZZ_PACKAGES[@]}"}

build="${SANITIZE_BUILD_DIR:-build-asan}"
own_build_dirs "$build"
jobs="${SANITIZE_BUILD_JOBS:-$(nproc)}"

if [ -z "${CXX:-}" ]; then
  if command -v clang++ >/dev/null; then CXX=clang++; else CXX=g++; fi
fi
with_qt=OFF
if dpkg-query -W -f='${Status}' qt6-base-dev 2>/dev/null | grep -q "install ok installed"; then
  with_qt=ON
fi

sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
# Debug keeps the assertions; -O1 keeps the run time reasonable.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug \
      -DCMAKE_CXX_COMPILER="$CXX" \
      -DCMAKE_CXX_FLAGS="-O1 -g $sanitize" \
      -DCMAKE_EXE_LINKER_FLAGS="$sanitize" \
      -DCMAKE_SHARED_LINKER_FLAGS="$sanitize" \
      -DQUINTORA_WITH_QT="$with_qt" \
      -DQUINTORA_FUZZ=ON \
      "$@"
cmake --build "$build" -j "$jobs"

export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:abort_on_error=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

cd "$build"
# The .deb is the normal build's; the desktops' window checks run once, there.
ctest --output-on-failure -j "$jobs" -LE 'packaging|desktops'
