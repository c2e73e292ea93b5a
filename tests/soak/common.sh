# Sourced by soak.sh and valgrind.sh: installs the tools the storm needs,
# builds the program and its label file (drive.py reads it) when the program
# is missing and sets app, seed and log_dir.

prepare_soak() {
  local packages=(xvfb xauth openbox xdotool xclip x11-utils x11-apps python3 "$@")
  source "$repo/scripts/deps.sh"
  install_missing "${packages[@]}"

  app="${QUINTORA_BIN:-$repo/build/bin/quintora}"
  if [ ! -x "$app" ]; then
    install_missing "${BUILD_PACKAGES[@]}"
    cmake -S "$repo" -B "$repo/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$repo/build" -j "$(nproc)" --target quintora soak-window-labels
    app="$repo/build/bin/quintora"
  fi
  seed="${SOAK_SEED:-6}"
  log_dir="${SOAK_LOG_DIR:-$(mktemp -d "${TMPDIR:-/tmp}/quintora-soak.XXXXXX")}"
  mkdir -p "$log_dir"
}
