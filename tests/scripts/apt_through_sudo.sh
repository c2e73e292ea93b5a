#!/usr/bin/env bash
# The set-up scripts run as an ordinary user: they install packages with
# apt-get through sudo, and as root without it. Checked with stand-ins for
# id, sudo, dpkg-query and apt-get that only log how they were called; and
# no script that run.sh or test.sh runs calls apt-get or dpkg another way.
set -uo pipefail
cd "$(dirname "$0")/../.."
failures=0
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT

cat >"$fake/id" <<'SH'
#!/bin/sh
[ "$1" = -u ] && { echo "$FAKE_UID"; exit 0; }
exec /usr/bin/id "$@"
SH
cat >"$fake/sudo" <<'SH'
#!/bin/sh
VIA_SUDO=1 exec "$@"
SH
cat >"$fake/dpkg-query" <<'SH'
#!/bin/sh
exit 1
SH
cat >"$fake/apt-get" <<'SH'
#!/bin/sh
echo "apt-get${VIA_SUDO:+ through sudo}" >>"$FAKE_LOG"
SH
chmod +x "$fake"/*

calls() {  # uid: how install_missing called apt-get
  : >"$fake/log"
  FAKE_UID=$1 FAKE_LOG="$fake/log" PATH="$fake:$PATH" bash -c 'source scripts/deps.sh; install_missing a b' >/dev/null
  sort -u "$fake/log"
}
check() {  # what expected got
  if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAIL: $1: got '$3'"; failures=$((failures + 1)); fi
}

check "as a user, apt-get goes through sudo" "apt-get through sudo" "$(calls 1000)"
check "as root, apt-get runs itself" "apt-get" "$(calls 0)"
stray=$(grep -nE 'apt-get +(-[^ ]+ +)*(install|update|remove|purge)|dpkg +(-i|--install|-r|--remove|-P|--purge)' \
          run.sh test.sh scripts/sanitize.sh scripts/fuzz.sh scripts/package-test.sh |
        grep -vE '"\$\{sudo\[@\]\}" +(apt-get|dpkg)')
check "run.sh, test.sh and their scripts call apt-get and dpkg only so" "" "$stray"

echo "$failures failed"
[ "$failures" -eq 0 ]
