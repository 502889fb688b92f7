#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Trazzo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the built game natively on two headless compositors of its own and
# checks, from their screenshots, that its window is mapped, shows the title
# (the title's 93 blue panels each hold ten pixels of the light blue
# (203, 223, 255) that nothing else on those screens uses) and has a title
# bar above its menu:
#   - Weston draws none, so Qt must draw it: Qt's bar is found by the game's
#     icon at its left end, the only yellow (255, 230, 0) on that screen;
#   - sway draws it itself, in its focused title colour (40, 85, 119); there
#     the game must not have mapped the OpenGL stack.
#
#   tools/check-wayland.sh [path to trazzo]   (default build/trazzo)
set -euo pipefail
cd "$(dirname "$0")/.."
game=$(realpath "${1:-build/trazzo}")

# Always compositors of our own, never the desktop this runs in.
if [ -z "${TRAZZO_IN_COMPOSITOR:-}" ]; then
    TRAZZO_IN_COMPOSITOR=weston tools/with-weston.sh "$0" "$game"
    TRAZZO_IN_COMPOSITOR=sway tools/with-sway.sh "$0" "$game"
    exit
fi
compositor=$TRAZZO_IN_COMPOSITOR

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
    if [ "$compositor" = weston ]; then
        (cd "$shots/$1" && timeout 10 weston-screenshooter)
    else
        timeout 10 grim "$shots/$1/shot.png"
    fi
    ls "$shots/$1"/*.png
}
pixels() { # <picture> <colour as #RRGGBB>: how many pixels have it
    convert "$1" -format %c histogram:info:- | awk -v c="$2" '$0 ~ c { n = $1 + 0 } END { print n + 0 }'
}
top() { # <picture> <colour>: the first row holding that colour
    convert "$1" -fill black +opaque "$2" -format %@ info: | awk -F'[x+]' '{ print $4 }'
}

before=$(pixels "$(shot before)" '#CBDFFF')
# WAYLAND_DEBUG=client: the requests the game sends, its app_id among them.
WAYLAND_DEBUG=client QT_QPA_PLATFORM=wayland XDG_DATA_HOME=$data "$game" 2>"$shots/stderr" &
pid=$!

found=0
for i in $(seq 20); do
    sleep 0.5
    kill -0 "$pid" || { echo "the game quit on $compositor" >&2; cat "$shots/stderr" >&2; exit 1; }
    picture=$(shot "after$i")
    after=$(pixels "$picture" '#CBDFFF')
    if [ $((after - before)) -eq 930 ]; then found=1; break; fi
done
[ "$found" -eq 1 ] || { echo "no title screen on $compositor (light blue pixels: $before before, $after after)" >&2; exit 1; }

# The menu bar, the window's first row of its own, lies 144 rows above the
# title's first panels; the title bar is in the 20 rows above it.
menu_top=$(($(top "$picture" '#CBDFFF') - 144))
convert "$picture" -crop "1024x20+0+$((menu_top - 22))" +repage "$shots/bar.png"
if [ "$compositor" = weston ]; then bar='#FFE600' least=50; else bar='#285577' least=8000; fi
count=$(pixels "$shots/bar.png" "$bar")
if [ "$count" -lt "$least" ]; then
    echo "no title bar on $compositor: $count pixels of $bar in the 20 rows above the menu (row $menu_top)" >&2
    exit 1
fi

# The compositor knows the game as its menu entry (org.example.trazzo.desktop).
app_id=$(grep -oE 'set_app_id\("[^"]*"\)' "$shots/stderr" | head -n 1)
if [ "$app_id" != 'set_app_id("org.example.trazzo")' ]; then
    echo "the game's app_id on $compositor is not its menu entry's: ${app_id:-none sent}" >&2
    exit 1
fi

opengl=$(grep -oE '/[^ ]*(libLLVM|libEGL_mesa)[^ ]*' "/proc/$pid/maps" | sort -u || true)
if [ "$compositor" = sway ] && [ -n "$opengl" ]; then
    echo "the game mapped the OpenGL stack on sway, which draws the title bar itself:" >&2
    echo "$opengl" >&2
    exit 1
fi
loaded=no
[ -n "$opengl" ] && loaded=yes
rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")
echo "game on $compositor: window mapped with the title screen and a title bar, app_id org.example.trazzo;" \
    "OpenGL stack mapped: $loaded; resident $((rss / 1024)) MiB"
