#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Trazzo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Plays the real game the way a player meets it: Xvfb, the openbox window
# manager, real key presses and clicks (xdotool), and the board read back
# from screenshots. Usage: tests/desktop/smoke.sh [path/to/trazzo]
# SMOKE_DISPLAY=N picks the X display; by default Xvfb takes a free one.
# SMOKE_WM=metacity plays it under metacity instead of openbox.
# KEEP=1 keeps the folder with the game's log and the board readings.
set -u
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
GAME=$(realpath "${1:-$ROOT/build/trazzo}")
T=$(mktemp -d)
fail() { echo "desktop check: FAILED: $*${KEEP:+ (see $T)}"; exit 1; }
ok() { echo "  ok (${SECONDS}s): $*"; }
for tool in Xvfb "${SMOKE_WM:-openbox}" xdotool xprop xwd convert; do
    command -v $tool >/dev/null || fail "$tool is missing (packages xvfb openbox xdotool x11-utils imagemagick)"
done
[ -x "$GAME" ] || fail "no game at $GAME"
PIDS=()
KEEP=${KEEP:-}
trap 'for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null; done; [ -z "$KEEP" ] && rm -rf "$T"' EXIT
until_true() { # TENTHS COMMAND...: polls until the command succeeds
    local n=$1
    shift
    for _ in $(seq "$n"); do "$@" && return 0; sleep 0.1; done
    return 1
}

if [ -n "${SMOKE_DISPLAY:-}" ]; then
    Xvfb ":$SMOKE_DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 & PIDS+=($!)
    export DISPLAY=":$SMOKE_DISPLAY"
else
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$T/display" >/dev/null 2>&1 & PIDS+=($!)
    for _ in $(seq 50); do [ -s "$T/display" ] && break; sleep 0.1; done
    export DISPLAY=":$(cat "$T/display")"
fi
for _ in $(seq 50); do xprop -root >/dev/null 2>&1 && break; sleep 0.1; done
export XDG_DATA_HOME="$T/data" XDG_CONFIG_HOME="$T/config" XDG_CACHE_HOME="$T/cache" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY QT_QPA_PLATFORMTHEME QT_SCALE_FACTOR
case ${SMOKE_WM:-openbox} in
metacity) metacity --sm-disable --compositor=none >/dev/null 2>&1 & PIDS+=($!) ;;
*) openbox --sm-disable >/dev/null 2>&1 & PIDS+=($!) ;;
esac
for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK | grep -q '#' && break; sleep 0.1; done
"$GAME" >"$T/game.log" 2>&1 & PIDS+=($!)
W=$(timeout 10 xdotool search --sync --onlyvisible --name '^Trazzo$' | head -1) || fail "the main window never showed"
xdotool windowactivate --sync "$W" 2>/dev/null
# metacity under Xvfb now and then leaves the keyboard on the pointer's
# window (PointerRoot) after the first map; a player's click would give it
# to the game, and so does a focus request here.
has_keys() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] || { xdotool windowfocus "$1" 2>/dev/null; false; }; }
until_true 50 has_keys "$W" || fail "the main window did not take the keys"

# The board's cells start at (10, 36) of the window's lower 500 x 421 part (the
# board at (8, 34) and its 2-pixel border).
eval "$(xdotool getwindowgeometry --shell "$W")" # the window keeps its size
# Each cell's mean colour, "column row #RRGGBB": a tile's cell matches its
# tile in the sheet, the head's cell does not.
board() {
    xwd -silent -id "$W" | convert xwd:- -crop "480x360+10+$((HEIGHT - 421 + 36))" +repage -scale 40x30! txt:- |
        sed -nE 's/^([0-9]+),([0-9]+):.*(#[0-9A-F]{6}).*/\1 \2 \3/p' >"$T/$1.txt"
}
TILES=$(convert "$ROOT/assets/tiles.bmp" -crop 96x12+0+0 +repage -scale 8x1! txt:- | grep -o '#[0-9A-F]\{6\}' | tr '\n' ' ')
head_at() {
    awk -v tiles="$TILES" 'BEGIN { split(tiles, t, " "); for (k in t) known[t[k]] = 1 }
        !($3 in known) { n++; at = $1 " " $2 } END { if (n == 1) print at; else print "none" }' "$T/$1.txt"
}
key() { xdotool key --delay 40 "$@"; }
window_named() { timeout 5 xdotool search --sync --onlyvisible --name "$1" | grep -v "^$W\$" | head -1; }
gone() { for _ in $(seq 30); do xdotool getwindowname "$1" >/dev/null 2>&1 || return 0; sleep 0.1; done; return 1; }

# steer WHAT COMMAND...: the command starts a game, which stands; an arrow
# sends the head off, a second one turns it, both seen on the board; a fresh
# Refresh game is left standing.
# new_board NAME BEFORE: reads the board into NAME until it differs from
# the reading BEFORE (a new game drawn) and shows one head, at C R.
new_board() {
    board "$1"
    read -r C R <<<"$(head_at "$1")"
    [ "$C" != none ] && ! cmp -s "$T/$1.txt" "$T/$2.txt"
}
steer() {
    local what=$1
    shift
    board before
    "$@"
    set -- "$what"
    until_true 50 new_board s0 before || fail "$1: no new game with a head on the board"
    local c=$C r=$R v=Down dv=1 h=Right dh=1
    [ "$r" -ge 15 ] && v=Up dv=-1
    [ "$c" -ge 20 ] && h=Left dh=-1
    key "$v"
    until_true 50 eval 'board s1; read -r c1 r1 <<<"$(head_at s1)"; [ "$c1" = "$c" ] && [ $(((r1 - r) * dv)) -ge 1 ]' ||
        fail "$1: $v did not move the head ($c,$r -> $c1,$r1)"
    key "$h"
    until_true 50 eval 'board s2; read -r c2 r2 <<<"$(head_at s2)"; [ "$c2" != none ] && [ $(((c2 - c1) * dh)) -ge 1 ]' ||
        fail "$1: $h did not turn the head ($c1,$r1 -> $c2,$r2)"
    ok "$1: the head went $v, then $h"
    key ctrl+r
}
owned_above() { # WINDOW WHAT: centred on the screen (give or take its title bar), transient for the main window and stacked above it
    # xwininfo, not xdotool: under metacity xdotool reports the position inside the frame.
    local X Y WIDTH HEIGHT
    eval "$(xwininfo -id "$1" | sed -nE 's/^ *Absolute upper-left X: *(-?[0-9]+)/X=\1/p; s/^ *Absolute upper-left Y: *(-?[0-9]+)/Y=\1/p; s/^ *Width: *([0-9]+)/WIDTH=\1/p; s/^ *Height: *([0-9]+)/HEIGHT=\1/p')"
    [ $(((X + WIDTH / 2 - 512) ** 2 + (Y + HEIGHT / 2 - 384) ** 2)) -le 900 ] || fail "$2 is not centred ($X,$Y)"
    xprop -id "$1" WM_TRANSIENT_FOR | grep -qi "$(printf '0x%x' "$W")" || fail "$2 is not owned by the main window"
    # The window manager answers the raise by restacking (and rewriting its list).
    # xprop prints the list and a mark once before it starts to watch them; the
    # watch stands once a mark set since has come back as a second line. (xprop
    # watches only names the display knows: the mark is set once before.)
    xprop -root -f _TRAZZO_MARK 8s -set _TRAZZO_MARK watched
    stdbuf -oL xprop -spy -root _NET_CLIENT_LIST_STACKING _TRAZZO_MARK >"$T/stacking" 2>&1 & local spy=$!
    until_true 50 eval 'xprop -root -f _TRAZZO_MARK 8s -set _TRAZZO_MARK watched; [ "$(grep -c "^_TRAZZO_MARK" "$T/stacking")" -gt 1 ]' ||
        fail "xprop cannot watch the stacking"
    xdotool windowraise "$W"
    until_true 100 eval '[ "$(grep -c "^_NET_CLIENT_LIST_STACKING" "$T/stacking")" -gt 1 ]' || fail "${SMOKE_WM:-openbox} did not answer the raise of the main window"
    kill "$spy"; wait "$spy" 2>/dev/null
    local order; order=$(xprop -root _NET_CLIENT_LIST_STACKING | grep -o '0x[0-9a-f]*' | xargs -n1 printf '%d\n')
    [ "$(echo "$order" | grep -n "^$1\$" | cut -d: -f1)" -gt "$(echo "$order" | grep -n "^$W\$" | cut -d: -f1)" ] ||
        fail "$2 fell behind the main window"
    ok "$2: centred, owned by the main window and above it"
}

steer "Refresh mode by Ctrl+R" key ctrl+r
steer "Five mode by Ctrl+F" key ctrl+f
steer "Refresh mode by its button" xdotool mousemove --window "$W" 365 $((HEIGHT - 421 + 17)) click 1
steer "Five mode by its button" xdotool mousemove --window "$W" 451 $((HEIGHT - 421 + 17)) click 1
xdotool mousemove --window "$W" 250 $((HEIGHT - 200))

key alt+g h; F3=$(window_named '^Trazzo .') || fail "the menu opened no high-score window"
owned_above "$F3" "the high-score window"
key x; gone "$F3" || fail "a key did not close the high-score window"
steer "keys after the high-score window" key ctrl+r

# A ranked game: wait for a start with an item straight in line with the head.
for n in $(seq 40); do
    board before
    key ctrl+f
    until_true 50 new_board g before || fail "Ctrl+F drew no new game"
    # Tiles 0-2 are stone, hole and ground, 3-7 the items; the head matches none.
    go=$(awk -v tiles="$TILES" 'BEGIN { n = split(tiles, t, " "); for (k = 1; k <= n; k++) { known[t[k]]; if (k > 3) item[t[k]] } }
        { at[$1 " " $2] = $3 } !($3 in known) { heads++; c = $1; r = $2 }
        END { if (heads != 1) exit
              for (k in at) if (at[k] in item) { split(k, p, " ")
                  if (p[1] == c) { print (p[2] < r ? "Up Down " : "Down Up ") k; exit }
                  if (p[2] == r) { print (p[1] < c ? "Left Right " : "Right Left ") k; exit } } }' "$T/g.txt")
    [ -n "$go" ] && break
done
[ -n "$go" ] || fail "no start with an item in line with the head"
ok "an item in line with the head after $n starts"
read -r there back ic ir <<<"$go"
key "$there" # the head stops on the item it takes
until_true 100 eval 'board g; [ "$(head_at g)" = "$ic $ir" ]' || fail "the head did not take the item at $ic,$ir"
prompt() { P=$(xdotool search --onlyvisible --name '^Trazzo$' | grep -v "^$W\$" | head -1) && [ -n "$P" ]; }
for _ in 1 2 3; do
    key "$back" # into the head's own line of holes; sent again if it came while the bonus was paid out
    until_true 30 prompt && break
done
prompt || fail "the game that took an item did not end with the name prompt"
until_true 50 eval '[ "$(xdotool getwindowfocus)" = "$P" ]' || fail "the name prompt did not take the keys"
xdotool type --delay 40 Smoke; key Return
F3=$(window_named '^Trazzo .') || fail "no high-score window after the ranked game"
key space; gone "$F3" || fail "a key did not close the high-score window"
steer "keys after a ranked game" key ctrl+r

key alt+h v; F2=$(window_named 'ﾊﾞｰｼﾞｮﾝ情報') || fail "the About window did not open"
owned_above "$F2" "the About window"
key alt+F4; gone "$F2" || fail "the About window did not close"
steer "keys after the About window" key ctrl+r

# The picture dialog: a running game waits while it is open.
until_true 50 new_board p0 s2 || fail "no new game after the About window"
c=$C r=$R
[ "$c" -ge 20 ] && h=Left || h=Right
key "$h"; key alt+o l; D=$(window_named 'ファイルを開く') || fail "the picture dialog did not open"
# Not a wait but the span looked at: a game running behind the dialog would
# take the head 25 cells on in two and a half seconds.
sleep 2.5; key Escape; gone "$D" || fail "Escape did not close the picture dialog"
board p3; read -r c3 r3 <<<"$(head_at p3)"
[ "$c3" != none ] && [ $(((c3 - c) * (c3 - c))) -le 144 ] || fail "the game ran on behind the dialog ($c,$r -> $c3,$r3)"
ok "the head stood while the picture dialog was open ($c,$r -> $c3,$r3)"
steer "keys after the picture dialog" key ctrl+r

echo "desktop check: PASSED (${SECONDS}s)"
