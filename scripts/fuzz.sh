#!/usr/bin/env bash
# Fuzzes the calculator engine for a bounded time: every key a user has
# (engine_fuzz), then pasted texts (paste_fuzz), each for SECONDS.
# Usage: scripts/fuzz.sh [SECONDS]   (default 60)
#
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each on a
# copy of its seed corpus, so the repository's corpora never change. Exits
# non-zero when a fuzzer finds a crash or a broken invariant; the input that
# did it is kept in build-fuzz/fuzz-artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
jobs="${FUZZ_BUILD_JOBS:-2}"

source scripts/deps.sh
install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" ${FUZZ_PACKAGES[@]+"${FUZZ_PACKAGES[@]}"}

build=build-fuzz
own_build_dirs "$build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER=clang++ \
      -DQUINTORA_FUZZ=ON -DQUINTORA_WITH_QT=OFF
cmake --build "$build" --target engine_fuzz paste_fuzz -j "$jobs"

artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
for target in engine paste; do
  corpus=tests/fuzz/corpus
  [ "$target" = paste ] && corpus=tests/fuzz/paste_corpus
  work="$build/fuzz-corpus-$target"
  rm -rf "$work"
  mkdir -p "$work"
  cp "$corpus"/* "$work/"
  # libFuzzer exits non-zero on a crash, a leak, a timeout or an abort.
  "$build/bin/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" "$work"
done
