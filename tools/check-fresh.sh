#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Trazzo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The README's first command on a fresh Debian 12: a minbase system made by
# debootstrap, with git added and nothing else, a clone of this
# repository's HEAD in /root/trazzo, and there the first command of the
# README's "Play" section, run as root as a new user would run it. It must
# install what it needs, build the game and start it: the game runs on
# Qt's offscreen platform (the chroot has no display) until it is sent
# SIGTERM, and it must then save its score file and end, and the command
# with it, successfully. Needs root and debootstrap. Takes a few minutes,
# most of them apt and the compiler.
#
#   tools/check-fresh.sh [FOLDER]    (a new folder under /tmp by default;
#                                     an existing debootstrap is reused)
set -euo pipefail
cd "$(dirname "$0")/.."

[ "$(id -u)" -eq 0 ] || { echo "check-fresh: needs root (debootstrap, chroot)" >&2; exit 1; }
root=${1:-}
keep=1
if [ -z "$root" ]; then
    root=$(mktemp -d /tmp/trazzo-fresh-XXXXXX)
    keep=0
fi
# apt fetches as the user _apt, who must be able to enter the system.
chmod 755 "$root"
log=$root.first-command.log
cleanup() { [ $keep -eq 1 ] || rm -rf --one-file-system "$root" "$log"; }
trap cleanup EXIT

first=$(sed -n '/^## Play/,/^## /{/^    [^ ]/{s/^    //;p;q}}' README.md)
[ -n "$first" ] || { echo "check-fresh: no command under the README's \"Play\"" >&2; exit 1; }
echo "README's first command: $first"

start=$(date +%s)
if [ ! -x "$root/usr/bin/apt-get" ]; then
    debootstrap --variant=minbase bookworm "$root" >"$root.debootstrap.log" 2>&1 ||
        { tail -n 20 "$root.debootstrap.log" >&2; exit 1; }
    rm -f "$root.debootstrap.log"
fi
made=$(date +%s)

git bundle create "$root/root/trazzo.bundle" HEAD 2>/dev/null
rm -rf "$root/root/trazzo" "$root/root/.local"

# In a mount namespace of its own, so /proc, /dev/shm and /dev/pts go
# with it.
inside() {
    unshare --mount --propagation private -- sh -c '
        mount -t proc proc "$0/proc" && mount -t tmpfs shm "$0/dev/shm" &&
        mount -t devpts -o newinstance,ptmxmode=0666 devpts "$0/dev/pts" &&
        exec chroot "$0" env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
            LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive QT_QPA_PLATFORM=offscreen "$@"' "$root" "$@"
}
inside sh -c 'apt-get update -qq && apt-get install -y -qq --no-install-recommends git >/dev/null'
before=$(inside dpkg-query -f '.\n' -W | wc -l)
inside git -c advice.detachedHead=false clone -q /root/trazzo.bundle /root/trazzo

inside sh -c "cd /root/trazzo && $first" >"$log" 2>&1 &
runner=$!

# The game is the process whose program is the clone's build/trazzo.
game=
while kill -0 "$runner" 2>/dev/null; do
    for exe in /proc/[0-9]*/exe; do
        if [ "$(readlink "$exe" 2>/dev/null)" = "$root/root/trazzo/build/trazzo" ]; then
            game=${exe#/proc/}
            game=${game%/exe}
            break 2
        fi
    done
    sleep 1
done
built=$(date +%s)
status=0
if [ -n "$game" ]; then
    # Running, not just started: wait (30 s at most) until it catches
    # SIGTERM (bit 15 of SigCgt) and has sat asleep for ten looks in a row.
    idle=0
    for _ in $(seq 300); do
        kill -0 "$game" 2>/dev/null || break
        caught=$(sed -n 's/^SigCgt:\t*//p' "/proc/$game/status" 2>/dev/null)
        if [ $((0x${caught:-0} & 0x4000)) -ne 0 ] && [ "$(cut -d' ' -f3 "/proc/$game/stat" 2>/dev/null)" = S ]; then
            idle=$((idle + 1))
        else
            idle=0
        fi
        [ "$idle" -ge 10 ] && break
        sleep 0.1
    done
    kill -0 "$game" 2>/dev/null || { tail -n 30 "$log" >&2; echo "check-fresh: the game ended by itself" >&2; exit 1; }
    kill -TERM "$game"
fi
wait "$runner" || status=$?
after=$(inside dpkg-query -f '.\n' -W | wc -l)
tail -n 5 "$log"
if [ -z "$game" ] || [ $status -ne 0 ]; then
    tail -n 30 "$log" >&2
    echo "check-fresh: \"$first\" ended with status $status${game:+ after the game started}${game:-, the game never started}" >&2
    exit 1
fi
scores=$root/root/.local/share/Trazzo/Windows/Trazzo.ini
[ "$(wc -l <"$scores" 2>/dev/null || echo 0)" -eq 7 ] ||
    { echo "check-fresh: the game saved no score file on SIGTERM" >&2; exit 1; }
echo "fresh Debian 12 minbase + git ($before packages): \"$first\" installed $((after - before)) packages," \
    "built and started the game in $((built - made)) s (debootstrap $((made - start)) s); it saved its scores on SIGTERM and ended with status 0"
