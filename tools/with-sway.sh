#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Trazzo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command against a headless sway of its own (wlroots: no screen,
# software rendering, no Xwayland), in a private runtime folder, and stops
# the compositor afterwards. Unlike Weston, sway draws the windows' title
# bars itself when asked (xdg-decoration). Sway refuses to run as root, so
# as root it runs as nobody and the command gets a runtime folder of its own.
#
#   tools/with-sway.sh <command> [arguments]
set -euo pipefail

runtime=$(mktemp -d /tmp/trazzo-sway-XXXXXX)
own=$(mktemp -d /tmp/trazzo-sway-client-XXXXXX)
chmod 700 "$runtime" "$own"
socket=${TRAZZO_WAYLAND_SOCKET:-wayland-trazzo}
sway_pid=
stop() {
    [ -n "$sway_pid" ] && kill "$sway_pid" 2>/dev/null && wait "$sway_pid" 2>/dev/null
    rm -rf "$runtime" "$own"
}
trap stop EXIT

as=()
if [ "$(id -u)" -eq 0 ]; then
    chown nobody: "$runtime"
    as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
# A plain dark blue background, output at 1024 x 768, no X11 clients.
printf '%s\n' 'output HEADLESS-1 resolution 1024x768 bg #204060 solid_color' 'xwayland disable' >"$runtime/config"
env -i PATH="$PATH" XDG_RUNTIME_DIR="$runtime" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
    WLR_RENDERER=pixman "${as[@]}" sway -c "$runtime/config" >"$own/sway.log" 2>&1 &
sway_pid=$!
# Sway names its socket itself (wayland-N); it is renamed to ours.
found=
for _ in $(seq 100); do
    found=$(find "$runtime" -maxdepth 1 -type s -name 'wayland-[0-9]*' | head -n 1)
    [ -n "$found" ] && break
    kill -0 "$sway_pid" 2>/dev/null || { cat "$own/sway.log" >&2; exit 1; }
    sleep 0.1
done
[ -n "$found" ] || { echo "sway did not start" >&2; exit 1; }
mv "$found" "$runtime/$socket"
# Its background is drawn a moment after the socket appears: waited for,
# as a screenshot's corner in the background's colour, where grim is there
# to take one (the test tier), or else as sway's answer about its output.
ready() {
    if command -v grim >/dev/null; then
        [ "$(XDG_RUNTIME_DIR=$own WAYLAND_DISPLAY=$runtime/$socket grim -g '0,0 1x1' -t ppm - 2>/dev/null |
            tail -c 3 | od -An -tx1 | tr -d ' \n')" = 204060 ]
    else
        sock=$(find "$runtime" -maxdepth 1 -type s -name 'sway-ipc.*' | head -n 1)
        [ -n "$sock" ] && SWAYSOCK=$sock swaymsg -t get_outputs 2>/dev/null | grep -q HEADLESS-1
    fi
}
for _ in $(seq 100); do
    ready && break
    kill -0 "$sway_pid" 2>/dev/null || { cat "$own/sway.log" >&2; exit 1; }
    sleep 0.1
done
ready || { echo "sway did not draw its background" >&2; exit 1; }

XDG_RUNTIME_DIR=$own WAYLAND_DISPLAY=$runtime/$socket "$@"
