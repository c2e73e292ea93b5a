# Sourced by the packaging and Windows build scripts.
# quiet NAME COMMAND...: runs a build step with its output in $log_dir/NAME.log,
# shown (its end) only when the step fails.
quiet() {
  local name="$1"
  shift
  mkdir -p "$log_dir"
  "$@" >"$log_dir/$name.log" 2>&1 && return 0
  echo "  FAIL: $* (the end of $log_dir/$name.log:)"
  tail -n 30 "$log_dir/$name.log" | sed 's/^/    /'
  return 1
}
