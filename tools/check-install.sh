#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Trazzo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the built game into a fresh prefix whose path holds blanks,
# validates its menu entry and AppStream file, and starts the installed
# program the way the desktop does (the entry's Exec line, found on PATH)
# from another working directory under a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."

root=$(mktemp -d "/tmp/trazzo install check XXXXXX")
trap 'rm -rf "$root"' EXIT
prefix="$root/a prefix"
id=org.example.trazzo

cmake --install build --prefix "$prefix" >/dev/null
for size in 32 64 128 256; do
    test -s "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
done
test -x "$prefix/lib/trazzo/trazzo" && test -L "$prefix/bin/trazzo"
# The sound module, loaded from beside the program once sound is switched on.
test -f "$prefix/lib/trazzo/trazzo-sound.so"
desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$id.metainfo.xml"

exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/$id.desktop")
mkdir "$root/elsewhere" "$root/data"
cd "$root/elsewhere"
PATH="$prefix/bin:$PATH" XDG_DATA_HOME="$root/data" \
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
        '"$exec_line"' &
        pid=$!
        for _ in $(seq 50); do
            if xwininfo -root -tree | grep -q "\"Trazzo\""; then
                sleep 1
                kill -0 $pid || { echo "the installed game quit" >&2; exit 1; }
                kill $pid; wait $pid || true
                echo "installed game started from $PWD: window \"Trazzo\" up"
                exit 0
            fi
            sleep 0.1
        done
        echo "the installed game showed no window" >&2
        kill $pid 2>/dev/null || true
        exit 1'
