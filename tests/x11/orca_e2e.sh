#!/usr/bin/env bash
# What a blind user hears: the real program with the Orca screen reader on
# the private X server and session bus of with-x.sh --a11y, speaking through
# speech-dispatcher and espeak-ng into ALSA's null device. orca_check.py
# types the keys and reads what Orca spoke from its debug log.
# Usage: with-x.sh --a11y orca_e2e.sh COMMAND [ARG...]
set -euo pipefail
source "$(dirname "$0")/lib.sh"

# A private home, settings in memory, Orca's texts in Spanish.
export HOME="$log_dir/home" XDG_CONFIG_HOME="$log_dir/config" XDG_DATA_HOME="$log_dir/data"
export XDG_CACHE_HOME="$log_dir/cache" XDG_RUNTIME_DIR="$log_dir/run"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR/speech-dispatcher"
chmod 700 "$XDG_RUNTIME_DIR"
export GSETTINGS_BACKEND=memory LANGUAGE=es

# speech-dispatcher with the system's modules, but its sound to the null
# device: through PulseAudio, which this machine lacks, it stalls after the
# first utterance and Orca hangs behind it.
cp -r /etc/speech-dispatcher "$log_dir/speechd"
cat >>"$log_dir/speechd/speechd.conf" <<'CONF'
AudioOutputMethod "alsa"
AudioALSADevice "null"
DefaultModule espeak-ng
DefaultLanguage "es"
CONF
socket="$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock"
speech-dispatcher --run-single --timeout 0 --config-dir "$log_dir/speechd" --log-dir "$log_dir" \
  --communication-method unix_socket --socket-path "$socket" &
helper_pids+=($!)
for _ in $(seq 1 200); do [ -S "$socket" ] && break; sleep 0.05; done

# Orca with its first-run settings, logging what it speaks; its own
# customisation hook writes the log line by line, so it can be read as the
# keys go.
mkdir -p "$log_dir/orca"
echo 'import orca.debug; orca.debug.debugFile.reconfigure(line_buffering=True)' \
  >"$log_dir/orca/orca-customizations.py"
orca_log="$log_dir/orca.log"
orca --user-prefs="$log_dir/orca" --debug-file="$orca_log" >"$log_dir/orca.out" 2>&1 &
helper_pids+=($!)
if ! wait_for_output yes 60000 sh -c "grep -q 'SPEECH OUTPUT' '$orca_log' 2>/dev/null && echo yes"; then
  fail "Orca did not start speaking"; cat "$log_dir/orca.out"; finish
fi

start_app "$@"
/usr/bin/python3 "$(dirname "$0")/orca_check.py" "$orca_log" || failures=$((failures + 1))
finish
