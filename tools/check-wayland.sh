#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the built game natively on a headless Weston and checks, from the
# compositor's screenshots, that its window is mapped and shows the title:
# the title's 93 blue panels each hold ten pixels of the light blue
# (203, 223, 255) that nothing else on that screen uses. Also checks that
# the game has not mapped the OpenGL stack.
#
#   tools/check-wayland.sh [path to trazzo]   (default build/trazzo)
set -euo pipefail
cd "$(dirname "$0")/.."
game=$(realpath "${1:-build/trazzo}")

# Always a compositor of our own, never the desktop this runs in.
if [ -z "${TRAZZO_IN_WESTON:-}" ]; then
    TRAZZO_IN_WESTON=1 exec tools/with-weston.sh "$0" "$game"
fi

shots=$(mktemp -d /tmp/trazzo-wayland-shots-XXXXXX)
data=$(mktemp -d /tmp/trazzo-wayland-data-XXXXXX)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$shots" "$data"
}
trap cleanup EXIT

# weston-screenshooter writes wayland-screenshot-<time>.png into the
# working folder; one shot per folder keeps them apart.
shot() {
    mkdir "$shots/$1"
    (cd "$shots/$1" && timeout 10 weston-screenshooter)
    ls "$shots/$1"/*.png
}
title_blue() {
    convert "$1" -format %c histogram:info:- | awk '/#CBDFFF/ { n = $1 + 0 } END { print n + 0 }'
}

before=$(title_blue "$(shot before)")
QT_QPA_PLATFORM=wayland XDG_DATA_HOME=$data "$game" &
pid=$!

found=0
for i in $(seq 20); do
    sleep 0.5
    kill -0 "$pid" || { echo "the game quit on Wayland" >&2; exit 1; }
    after=$(title_blue "$(shot "after$i")")
    if [ $((after - before)) -eq 930 ]; then found=1; break; fi
done
[ "$found" -eq 1 ] || { echo "no title screen on Wayland (light blue pixels: $before before, $after after)" >&2; exit 1; }

if grep -qE 'libLLVM|libEGL_mesa' "/proc/$pid/maps"; then
    echo "the game mapped the OpenGL stack on Wayland:" >&2
    grep -oE '/[^ ]*(libLLVM|libEGL_mesa)[^ ]*' "/proc/$pid/maps" | sort -u >&2
    exit 1
fi
rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")
echo "game on Wayland: window mapped with the title screen, no OpenGL stack, resident $((rss / 1024)) MiB"
