#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Trazzo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command against a headless Weston of its own (no screen, software
# rendering, its screenshooter allowed), in a private runtime folder, and
# stops the compositor afterwards. The command finds it through
# WAYLAND_DISPLAY and XDG_RUNTIME_DIR, as a Wayland session gives them.
#
#   tools/with-weston.sh <command> [arguments]
set -euo pipefail

runtime=$(mktemp -d /tmp/trazzo-wayland-XXXXXX)
chmod 700 "$runtime"
socket=${TRAZZO_WAYLAND_SOCKET:-wayland-trazzo}
weston_pid=
stop() {
    [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null && wait "$weston_pid" 2>/dev/null
    rm -rf "$runtime"
}
trap stop EXIT

XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --use-pixman --debug \
    --width=1024 --height=768 --idle-time=0 --socket="$socket" \
    --log="$runtime/weston.log" &
weston_pid=$!
for _ in $(seq 100); do
    [ -S "$runtime/$socket" ] && break
    kill -0 "$weston_pid" 2>/dev/null || { cat "$runtime/weston.log" >&2; exit 1; }
    sleep 0.1
done
[ -S "$runtime/$socket" ] || { echo "weston did not start" >&2; exit 1; }
# The desktop shell draws its panel a moment after the socket appears.
sleep 1

XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=$socket "$@"
