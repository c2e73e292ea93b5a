#!/usr/bin/env bash
# Fuzzes the calculator engine for a bounded time.
# Usage: scripts/fuzz.sh [SECONDS]   (default 60)
#
# Builds the libFuzzer target with clang in build-fuzz/ and runs it on a
# copy of the seed corpus, so the repository's corpus never changes. Exits
# non-zero when the fuzzer finds a crash or a broken invariant; the input
# that did it is kept in build-fuzz/fuzz-artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
jobs="${FUZZ_BUILD_JOBS:-2}"

source scripts/deps.sh
install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" ${FUZZ_PACKAGES[@]+"${FUZZ_PACKAGES[@]}"}

build=build-fuzz
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER=clang++ \
      -DQUINTORA_FUZZ=ON -DQUINTORA_WITH_QT=OFF
cmake --build "$build" --target engine_fuzz -j "$jobs"

work="$build/fuzz-corpus"
artifacts="$build/fuzz-artifacts"
rm -rf "$work"
mkdir -p "$work" "$artifacts"
cp tests/fuzz/corpus/* "$work/"

# libFuzzer exits non-zero on a crash, a leak, a timeout or an abort.
"$build/bin/engine_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" "$work"
