#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts the calculator.
set -euo pipefail
cd "$(dirname "$0")"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no graphical display (DISPLAY is not set); run it from a desktop session" >&2
  exit 1
fi

source scripts/deps.sh
own_build_dirs build
install_missing "${BUILD_PACKAGES[@]}"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUINTORA_TESTS=OFF >/dev/null
cmake --build build -j "$(nproc)" --target quintora
exec build/bin/quintora "$@"
