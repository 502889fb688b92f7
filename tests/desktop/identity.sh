#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Trazzo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# On Wayland a window is tied to its menu entry (icon, name, grouping in the
# task bar) by its app_id, which must be the entry's file name without
# ".desktop". Checked with the real game on a headless sway, which reports
# each window's app_id.
#
#   tests/desktop/identity.sh path/to/trazzo
# Exit 77 (skipped) without sway, unless TRAZZO_DESKTOP_TESTS=required.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
GAME=$1
if ! command -v sway >/dev/null || ! command -v swaymsg >/dev/null; then
    [ "${TRAZZO_DESKTOP_TESTS:-}" = required ] && { echo "identity: FAILED: sway is missing (the test tier)"; exit 1; }
    echo "identity: skipped: sway is missing"
    exit 77
fi
entries=("$ROOT"/desktop/*.desktop)
[ ${#entries[@]} -eq 1 ] || { echo "identity: FAILED: not one menu entry: ${entries[*]}"; exit 1; }
want=$(basename "${entries[0]}" .desktop)

# shellcheck disable=SC2016
exec "$ROOT/tools/with-sway.sh" bash -c '
    want=$1 game=$2
    data=$(mktemp -d /tmp/trazzo-identity-XXXXXX)
    runtime=$(dirname "$WAYLAND_DISPLAY")
    XDG_DATA_HOME=$data QT_QPA_PLATFORM=wayland "$game" >"$data/log" 2>&1 &
    pid=$!
    trap "kill $pid 2>/dev/null; wait $pid 2>/dev/null; rm -rf $data" EXIT
    ids=
    for _ in $(seq 600); do  # until the window is mapped (a minute at most)
        sock=$(find "$runtime" -maxdepth 1 -type s -name "sway-ipc.*" | head -n 1)
        [ -n "$sock" ] && ids=$(SWAYSOCK=$sock swaymsg -t get_tree -r 2>/dev/null |
            python3 -c "import json,sys
def walk(n):
    if n.get(\"pid\"): print(n.get(\"app_id\"))
    for c in n.get(\"nodes\", []) + n.get(\"floating_nodes\", []): walk(c)
walk(json.load(sys.stdin))")
        [ -n "$ids" ] && break
        kill -0 $pid 2>/dev/null || { echo "identity: FAILED: the game ended"; cat "$data/log"; exit 1; }
        sleep 0.1
    done
    [ -n "$ids" ] || { echo "identity: FAILED: no window appeared"; exit 1; }
    [ "$ids" = "$want" ] || { echo "identity: FAILED: app_id \"$ids\", the menu entry is $want.desktop"; exit 1; }
    echo "identity: PASSED (app_id $ids)"
' identity "$want" "$GAME"
