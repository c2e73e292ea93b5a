# Starts the Orca screen reader on the private X server and session bus of
# with-x.sh --a11y, speaking through speech-dispatcher and espeak-ng into
# ALSA's null device, and waits until it speaks. Source after lib.sh, then
# call start_orca; sets orca_log, Orca's debug log, and orca_pid. Returns 1 when Orca does
# not start.

start_orca() {
  # A private home, settings in memory, Orca's texts in Spanish. LANGUAGE
  # counts only under a locale other than C/POSIX, which a caller without
  # LANG has: C.UTF-8 is on every system.
  export HOME="$log_dir/home" XDG_CONFIG_HOME="$log_dir/config" XDG_DATA_HOME="$log_dir/data"
  export XDG_CACHE_HOME="$log_dir/cache" XDG_RUNTIME_DIR="$log_dir/run"
  mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR/speech-dispatcher"
  chmod 700 "$XDG_RUNTIME_DIR"
  export GSETTINGS_BACKEND=memory LC_ALL=C.UTF-8 LANGUAGE=es

  # speech-dispatcher with the system's modules, but its sound to the null
  # device: through PulseAudio, which this machine lacks, it stalls after the
  # first utterance and Orca hangs behind it.
  cp -r /etc/speech-dispatcher "$log_dir/speechd"
  printf '%s\n' 'AudioOutputMethod "alsa"' 'AudioALSADevice "null"' 'DefaultModule espeak-ng' \
    'DefaultLanguage "es"' >>"$log_dir/speechd/speechd.conf"
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
  # Orca's launcher refuses to start while the user runs another Orca (the
  # screen reader of a blind developer, say) and takes the process name
  # "orca", which would keep theirs from starting. This one runs beside any
  # other: the launcher's own main without those two steps.
  /usr/bin/python3 - --user-prefs="$log_dir/orca" --debug-file="$orca_log" >"$log_dir/orca.out" 2>&1 <<'EOF' &
import sys
launcher = {"__name__": "orca_beside_others"}
exec(compile(open("/usr/bin/orca").read(), "/usr/bin/orca", "exec"), launcher)
launcher["otherOrcas"] = lambda: []
launcher["setProcessName"] = lambda name: None
sys.exit(launcher["main"]())
EOF
  orca_pid=$!
  helper_pids+=("$orca_pid")
  wait_for_output yes 60000 sh -c "grep -q 'SPEECH OUTPUT' '$orca_log' 2>/dev/null && echo yes" && return 0
  cat "$log_dir/orca.out"
  return 1
}
