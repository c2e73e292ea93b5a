#!/usr/bin/env bash
# The README's two commands on a fresh machine: a minimal Debian 12 made with
# debootstrap from the mirror the machine's own apt sources name, an ordinary
# user with sudo and no LANG, a clone of the commit under test. As that user
# it runs ./test.sh, then ./run.sh on a private X server until the
# calculator's window maps, and prints how long each part took. The status
# is test.sh's; when test.sh passes, a file it changed in the user's home,
# or a calculator that does not come up, fails the run.
# Usage (as root): scripts/clean-room.sh [COMMIT]   (default HEAD)
#   QUINTORA_CLEAN_ROOM_CACHE  where the base system is kept and reused
#                              (default ~/.cache/quintora/clean-room)
#   QUINTORA_CLEAN_ROOM_DIR    where each run's system is unpacked (default /var/tmp)
# Every run unpacks the base anew: nothing an earlier run installed is kept.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$repo" rev-parse --verify "${1:-HEAD}^{commit}")
suite=bookworm
user=builder

[ "$(id -u)" -eq 0 ] || { echo "clean-room.sh: needs root (debootstrap, chroot, mounts)" >&2; exit 1; }
for tool in debootstrap unshare chroot; do
  command -v "$tool" >/dev/null || { echo "clean-room.sh: $tool is missing (apt-get install debootstrap util-linux coreutils)" >&2; exit 1; }
done

# The mounts below live in a private mount namespace: should this script die
# without cleaning up, they go with it, and never show in the machine's own
# tree.
if [ -z "${QUINTORA_CLEAN_ROOM_NS:-}" ]; then
  QUINTORA_CLEAN_ROOM_NS=1 exec unshare --mount --propagation private "$0" "$commit"
fi

cache=${QUINTORA_CLEAN_ROOM_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quintora/clean-room}
work=$(mktemp -d "${QUINTORA_CLEAN_ROOM_DIR:-/var/tmp}/quintora-clean-room.XXXXXX")
root="$work/root"
started=$(date +%s)
part_started=$started
timings=()
part_done() {  # name
  local now
  now=$(date +%s)
  timings+=("$(printf '%-32s %5d s' "$1" $((now - part_started)))")
  part_started=$now
}

mounts_under() {  # dir
  awk -v dir="$1" '$2 == dir || index($2, dir "/") == 1 { print $2 }' /proc/self/mounts
}
# Unmounts everything under a tree, deepest first.
unmount_all() {  # dir
  local mount_point
  mounts_under "$1" | sort -r | while read -r mount_point; do
    umount "$mount_point" 2>/dev/null || umount -l "$mount_point"
  done
}
# Ends what still runs inside a tree: only processes this run started have
# their root there.
stop_processes_in() {  # dir
  local proc pids=()
  for proc in /proc/[0-9]*; do
    [ "$(readlink "$proc/root" 2>/dev/null)" = "$1" ] && pids+=("${proc#/proc/}")
  done
  [ ${#pids[@]} -eq 0 ] || kill -KILL "${pids[@]}" 2>/dev/null || true
}
# Deletes a tree only when nothing is mounted inside it, and never across
# file systems: through a bind mount of /dev, rm would delete the machine's
# own device files.
remove_tree() {  # dir
  [ -e "$1" ] || return 0
  stop_processes_in "$1"
  unmount_all "$1"
  if [ -n "$(mounts_under "$1")" ]; then
    echo "clean-room.sh: $1 still has mounts inside; left in place" >&2
    return 1
  fi
  rm -rf --one-file-system "$1"
}
cleanup() {
  remove_tree "$root" && rm -rf --one-file-system "$work"
}
trap cleanup EXIT

# The Debian mirror the machine's apt sources name for this suite.
mirror=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Created-By: Packages' |
         awk -v suite="$suite" '$2 == suite { print $1; exit }')
[ -n "$mirror" ] || { echo "clean-room.sh: no source for $suite in the machine's apt sources" >&2; exit 1; }

# The base system: debootstrap's minimal one, with what a user needs to have
# cloned the project and to use sudo. Made once, then reused.
base="$cache/$suite-minbase.tar"
if [ ! -s "$base" ]; then
  mkdir -p "$cache"
  echo "clean-room.sh: making the base system from $mirror"
  staging="$work/base"
  if ! debootstrap --variant=minbase --include=sudo,git "$suite" "$staging" "$mirror" >"$work/debootstrap.log" 2>&1; then
    tail -20 "$work/debootstrap.log" >&2
    remove_tree "$staging"
    exit 1
  fi
  unmount_all "$staging"
  tar --numeric-owner -cpf "$base.part" -C "$staging" .
  mv "$base.part" "$base"
  remove_tree "$staging"
  part_done "base system made"
else
  part_done "base system reused"
fi

mkdir "$root"
tar --numeric-owner -xpf "$base" -C "$root"
# The machine's own way to the mirror and the network.
cp /etc/resolv.conf /etc/hosts "$root/etc/"
rm -f "$root/etc/apt/sources.list"
cp /etc/apt/sources.list "$root/etc/apt/" 2>/dev/null || true
find /etc/apt/sources.list.d -maxdepth 1 \( -name '*.list' -o -name '*.sources' \) -exec cp {} "$root/etc/apt/sources.list.d/" \;
grep -l '^Acquire::' /etc/apt/apt.conf.d/* 2>/dev/null | xargs -r cp -t "$root/etc/apt/apt.conf.d/"
# An ordinary user who may use sudo, as the README's reader.
chroot "$root" useradd --create-home --shell /bin/bash "$user"
echo "$user ALL=(ALL) NOPASSWD: ALL" >"$root/etc/sudoers.d/$user"
chmod 440 "$root/etc/sudoers.d/$user"
home="$root/home/$user"
git clone --quiet --no-hardlinks "$repo" "$home/quintora"
git -C "$home/quintora" checkout --quiet --detach "$commit"
chroot "$root" chown -R "$user:$user" "/home/$user"

mount -t proc proc "$root/proc"
mount --bind /sys "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount -t tmpfs -o mode=1777 shm "$root/dev/shm"
part_done "system unpacked, user added"

# A login shell of the user, with nothing of this script's environment.
as_user() {  # command
  env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin chroot "$root" runuser -l "$user" -c "$1"
}

# What the user's home holds besides the project: the tests write nothing
# there, caches included.
home_files() { find "$home" -path "$home/quintora" -prune -o -printf '%P %s %T@\n' | sort; }
home_before=$(home_files)

echo "clean-room.sh: ./test.sh at $(git -C "$repo" log -1 --format='%h %s' "$commit")"
test_status=0
as_user 'cd ~/quintora && ./test.sh' || test_status=$?
part_done "./test.sh (status $test_status)"

home_status=0
if [ "$(home_files)" != "$home_before" ]; then
  echo "clean-room.sh: FAIL: the tests changed the user's home:"
  diff <(echo "$home_before") <(home_files) | head -20 | sed 's/^/  /' || true
  home_status=1
fi

# ./run.sh on a private X server with a session bus, as a desktop has,
# until the calculator's window maps.
run_status=0
as_user 'set -u
  cd ~/quintora
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 1 100); do [ -s "$display_file" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$display_file")"
  eval "$(dbus-launch --sh-syntax)"
  ./run.sh >run.log 2>&1 &
  app=$!
  status=1
  for _ in $(seq 1 600); do
    if xdotool search --onlyvisible --name "^Quintora\$" >/dev/null 2>&1; then status=0; break; fi
    kill -0 "$app" 2>/dev/null || break
    sleep 0.2
  done
  [ "$status" -eq 0 ] && echo "clean-room.sh: the calculator window mapped" || { echo "clean-room.sh: no calculator window"; tail -20 run.log; }
  kill "$app" "$xvfb" "$DBUS_SESSION_BUS_PID" 2>/dev/null
  wait
  exit "$status"' || run_status=$?
part_done "./run.sh until the window maps"

echo
echo "clean-room.sh: how long each part took"
printf '  %s\n' "${timings[@]}"
printf '  %-32s %5d s\n' "in all" $(($(date +%s) - started))
[ "$test_status" -ne 0 ] && exit "$test_status"
[ "$run_status" -ne 0 ] && exit "$run_status"
exit "$home_status"
