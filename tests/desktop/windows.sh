#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Trazzo developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The game's windows on a real X desktop: Xvfb at 1600 x 1200 (not square,
# so a window centred the wrong way round shows), a window manager, and
# real key presses and clicks (xdotool). Checks what only a window manager
# shows: the high-score and About windows owned by the main window and
# centred on the screen, the buttons the window manager allows, the window
# class the menu entry names, a stray click on the disabled main window
# leaving the keys with the window on top, and the picture dialog inside the
# screen.
#
#   tests/desktop/windows.sh openbox|metacity SCALE path/to/trazzo
#
# Exits 77 (CTest's skip) when Xvfb, the window manager or the X tools are
# missing, unless TRAZZO_DESKTOP_TESTS=required (make test, make mutate).
# KEEP=1 keeps the folder with the game's log and a screenshot.
set -u
WM=$1 SCALE=$2
GAME=$(realpath "$3")
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
ENTRY=$ROOT/desktop/org.example.trazzo.desktop

skip() {
    if [ "${TRAZZO_DESKTOP_TESTS:-}" = required ]; then
        echo "desktop windows ($WM, ${SCALE}x): FAILED: $* (the test tier: tools/install-deps.sh test)"
        exit 1
    fi
    echo "desktop windows ($WM, ${SCALE}x): skipped: $*"
    exit 77
}
for tool in Xvfb "$WM" xdotool xprop xwininfo xwd convert; do
    command -v "$tool" >/dev/null || skip "$tool is missing"
done
[ -x "$GAME" ] || skip "no game at $GAME"

T=$(mktemp -d /tmp/trazzo-windows-XXXXXX)
PIDS=()
KEEP=${KEEP:-}
trap 'for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null; done; wait; [ -z "$KEEP" ] && rm -rf "$T"' EXIT
fail() {
    command -v xwd >/dev/null && command -v convert >/dev/null &&
        xwd -root -silent 2>/dev/null | convert xwd:- "$T/screen.png" 2>/dev/null
    echo "desktop windows ($WM, ${SCALE}x): FAILED: $*${KEEP:+ (see $T)}" >&2
    exit 1
}
ok() { echo "  ok (${SECONDS}s): $*"; }
until_true() { # TENTHS COMMAND...: polls until the command succeeds
    local n=$1
    shift
    for _ in $(seq "$n"); do "$@" && return 0; sleep 0.1; done
    return 1
}

export XDG_DATA_HOME="$T/data" XDG_CONFIG_HOME="$T/config" XDG_CACHE_HOME="$T/cache" QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$T/runtime" QT_SCALE_FACTOR=$SCALE
mkdir -m 700 "$T/runtime"
unset WAYLAND_DISPLAY QT_QPA_PLATFORMTHEME DBUS_SESSION_BUS_ADDRESS
start_desktop() { # an X server and the window manager on it; fails if either does not come up
    rm -f "$T/display"
    Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$T/display" >"$T/xvfb.log" 2>&1 &
    local xvfb=$! wm
    PIDS+=("$xvfb")
    until_true 50 test -s "$T/display" || skip "Xvfb did not start: $(tail -3 "$T/xvfb.log")"
    export DISPLAY=":$(cat "$T/display")"
    until_true 50 xprop -root >/dev/null 2>&1 || skip "Xvfb did not answer"
    # Another X server started at the same moment may have taken the
    # display (ours then says "server already running" and ends).
    kill -0 "$xvfb" 2>/dev/null || return 1
    case $WM in
    openbox) openbox --sm-disable >"$T/wm.log" 2>&1 & ;;
    metacity) metacity --sm-disable --compositor=none >"$T/wm.log" 2>&1 & ;;
    *) fail "no window manager $WM" ;;
    esac
    wm=$!
    PIDS+=("$wm")
    for _ in $(seq 200); do
        if ! kill -0 "$xvfb" 2>/dev/null || ! kill -0 "$wm" 2>/dev/null; then break; fi
        xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "#" && return 0
        sleep 0.1
    done
    kill "$wm" "$xvfb" 2>/dev/null
    return 1
}
# Once in CI the window manager could not open a display that had just
# answered; what the X server said is kept, and another one is tried.
for attempt in 1 2 3 4; do
    start_desktop && break
    echo "note: $WM did not start on $DISPLAY: $(tail -3 "$T/wm.log"); X server: $(tail -3 "$T/xvfb.log")" >&2
    [ "$attempt" = 4 ] && fail "$WM did not start: $(tail -3 "$T/wm.log")"
done
until_true 50 eval 'xprop -root _NET_WORKAREA | grep -q =' || fail "$WM set no work area"
read -r AX AY AW AH <<<"$(xprop -root _NET_WORKAREA | grep -o '[0-9]*' | head -4 | tr '\n' ' ')"

# The read-me opener on the path cannot show the file.
PATH="$ROOT/tests/shell/openers/fails:$PATH" "$GAME" >"$T/game.log" 2>&1 &
GAMEPID=$!
PIDS+=("$GAMEPID")
W=$(timeout 20 xdotool search --sync --onlyvisible --name '^Trazzo$' | head -1)
[ -n "$W" ] || fail "the main window never showed"

frame() { # WINDOW: its frame as "x y width height", once the manager has framed it
    local x y w h l r t b
    until_true 50 eval "xprop -id $1 _NET_FRAME_EXTENTS | grep -q ="
    read -r l r t b <<<"$(xprop -id "$1" _NET_FRAME_EXTENTS | grep -o '[0-9]*' | tr '\n' ' ')"
    eval "$(xwininfo -id "$1" | sed -nE 's/^ *Absolute upper-left X: *(-?[0-9]+)/x=\1/p; s/^ *Absolute upper-left Y: *(-?[0-9]+)/y=\1/p; s/^ *Width: *([0-9]+)/w=\1/p; s/^ *Height: *([0-9]+)/h=\1/p')"
    echo "$((x - ${l:-0})) $((y - ${t:-0})) $((w + ${l:-0} + ${r:-0})) $((h + ${t:-0} + ${b:-0})) ${t:-0}"
}
inside() { # WINDOW WHAT: its frame lies within the screen's available area
    local x y w h t
    read -r x y w h t <<<"$(frame "$1")"
    [ "$x" -ge "$AX" ] && [ "$y" -ge "$AY" ] && [ $((x + w)) -le $((AX + AW)) ] && [ $((y + h)) -le $((AY + AH)) ] ||
        fail "$2 is not inside the screen's ${AW}x$AH area: its frame is ${w}x$h at $x,$y"
}
centred() { # WINDOW WHAT: centred on the available area (give or take the title bar); a window taller than the area has its title bar at the top
    local x y w h t dx dy
    read -r x y w h t <<<"$(frame "$1")"
    dx=$((2 * x + w - 2 * AX - AW)) dy=$((2 * y + h - 2 * AY - AH))
    [ "${dx#-}" -le 6 ] || fail "$2 is not centred across: frame ${w}x$h at $x,$y on ${AW}x$AH"
    if [ "$h" -gt "$AH" ]; then
        [ "$y" -eq "$AY" ] || fail "$2 is taller than the screen and its title bar is not at the top: frame at $x,$y"
    else
        [ "${dy#-}" -le $((t + 6)) ] || fail "$2 is not centred down: frame ${w}x$h at $x,$y on ${AW}x$AH"
    fi
}
actions() { xprop -id "$1" _NET_WM_ALLOWED_ACTIONS; }
no_action() { # WINDOW WHAT ACTION...: the window manager allows none of them
    local w=$1 what=$2 a allowed
    shift 2
    until_true 30 eval "actions $w | grep -q _NET_WM_ACTION_CLOSE" || fail "$WM set no allowed actions on $what"
    allowed=$(actions "$w")
    for a in "$@"; do
        case $allowed in *"_NET_WM_ACTION_$a"*) fail "$WM allows $a on $what: $allowed" ;; esac
    done
}
# motif WINDOW WHAT FUNCTIONS DECORATIONS: the window's Motif hints, which
# some window managers follow alone, name functions and decorations and
# none of those given (bit masks; 1 would mean all of them).
motif() {
    local f fn dec
    read -r f fn dec <<<"$(xprop -id "$1" _MOTIF_WM_HINTS | grep -o '0x[0-9a-f]*' | head -3 | tr '\n' ' ')"
    [ -n "$dec" ] && [ $((f & 3)) -eq 3 ] && [ $((fn & ($3 | 1))) -eq 0 ] && [ $((dec & ($4 | 1))) -eq 0 ] ||
        fail "the Motif hints of $2 offer what they must not: $(xprop -id "$1" _MOTIF_WM_HINTS)"
}
# The manager's active window and the X input focus (keys go to the latter).
keys() { echo "active $(xprop -root _NET_ACTIVE_WINDOW | grep -o '0x[0-9a-f]*'), focus $(printf '0x%x' "$(xdotool getwindowfocus)"), main $(printf '0x%x' "$W")"; }
active() { xprop -root _NET_ACTIVE_WINDOW | grep -qi "$(printf '0x%x$' "$1")" && [ "$(xdotool getwindowfocus)" = "$1" ]; }
gone() { ! xdotool getwindowname "$1" >/dev/null 2>&1 || ! xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }
open_window() { # KEYS TITLE WHAT: opens it, checks it is owned and centred
    local win
    until_true 50 active "$W" || fail "the main window does not have the keys for $1"
    xdotool key --delay 40 $1
    win=$(timeout 5 xdotool search --sync --onlyvisible --name "$2" | grep -v "^$W\$" | head -1)
    if [ -z "$win" ] && [ "$WM" = metacity ]; then
        # Under metacity one shortcut in some ten runs is lost right after a
        # secondary window closed, though the main window is active and has
        # the X focus. Told, and tried once more.
        echo "note: $1 was lost once on $WM${way:+ (before $way)}; sent again" >&2
        until_true 50 active "$W" || fail "the main window does not have the keys for $1"
        xdotool key --delay 40 $1
        win=$(timeout 5 xdotool search --sync --onlyvisible --name "$2" | grep -v "^$W\$" | head -1)
    fi
    [ -n "$win" ] || fail "$1 did not open $3${way:+ (before $way)}"
    xprop -id "$win" WM_TRANSIENT_FOR | grep -qi "$(printf '0x%x$' "$W")" || fail "$3 is not owned by the main window"
    until_true 30 active "$win" || fail "$3 did not take the keys when it opened"
    echo "$win"
}
# spy WHERE PROPERTY: watches the property of a window (WHERE: -root or
# -id WINDOW) from the background, each change a line of $T/spy.log that
# starts with its name; "spied" waits for a change. xprop prints both once
# before it watches them: the watch is known to stand once a mark set on the
# same window has come back as a second line.
spy() {
    WHERE=("$1" ${2:+"$2"}) SPIED=$3
    watching # the mark's name known before the watch starts
    stdbuf -oL xprop -spy "${WHERE[@]}" "$3" _TRAZZO_MARK >"$T/spy.log" 2>&1 &
    SPY=$!
    PIDS+=("$SPY")
    until_true 50 watching || fail "xprop cannot watch $3"
}
watching() {
    xprop "${WHERE[@]}" -f _TRAZZO_MARK 8s -set _TRAZZO_MARK watched || return 1
    local marks
    marks=$(grep -c "^_TRAZZO_MARK" "$T/spy.log" 2>/dev/null)
    [ "${marks:-0}" -gt 1 ]
}
spied() {
    until_true 100 eval '[ "$(grep -c "^$SPIED" "$T/spy.log")" -gt 1 ]'
    local seen=$?
    kill "$SPY" 2>/dev/null
    wait "$SPY" 2>/dev/null
    return $seen
}
# A click on the main window's status line, left of anything that opens over
# it. The keys go on only once the window manager has answered the click by
# making the main window active; the game must then hand them back.
stray_click() {
    local x y w h t
    read -r x y w h t <<<"$(frame "$W")"
    spy -root "" _NET_ACTIVE_WINDOW
    xdotool mousemove --window "$W" 12 $((h - t - 8)) click 1
    spied || fail "$WM did not answer a click on the main window"
}

# Who the game is: the menu entry names its window class.
class=$(sed -n 's/^StartupWMClass=//p' "$ENTRY")
[ -n "$class" ] || fail "the menu entry names no StartupWMClass"
xprop -id "$W" WM_CLASS | grep -q "\"$class\"\$" || fail "the window class is not the menu entry's $class: $(xprop -id "$W" WM_CLASS)"
ok "WM_CLASS $(xprop -id "$W" WM_CLASS | cut -d= -f2) matches the menu entry"
no_action "$W" "the main window" MAXIMIZE_HORZ MAXIMIZE_VERT RESIZE
motif "$W" "the main window" 0x10 0x40 # maximise
centred "$W" "the main window"
ok "the main window: centred, not to be maximised or resized, no maximise in its Motif hints"

# The sound option, switched on with no sound server to play on: the sound
# output is loaded only now, and the game answers the keys as before.
sound_loaded() { grep -q /trazzo-sound.so "/proc/$GAMEPID/maps"; }
! sound_loaded || fail "the sound output was loaded while the option was off"
until_true 50 active "$W" || fail "the main window does not have the keys for the sound option"
xdotool key --delay 40 alt+o s
until_true 50 sound_loaded || fail "switching the sound option on loaded no sound output"
ok "the sound option on loads the sound output"

# The high-score window: any key closes it, also after a stray click; the
# window manager's close key closes it alone.
# Shift and a letter once, at the plain size, are enough.
ways="Escape shift x alt+F4"
[ "$SCALE" = 1 ] || ways="Escape alt+F4"
for way in $ways; do
    F3=$(open_window ctrl+h '^Trazzo .' "the high-score window") || exit 1
    if [ "$way" = Escape ]; then
        centred "$F3" "the high-score window"
        # openbox offers to minimise any dialog whatever its hints say.
        if [ "$WM" = openbox ]; then no_action "$F3" "the high-score window" MAXIMIZE_HORZ MAXIMIZE_VERT RESIZE; else
            no_action "$F3" "the high-score window" MINIMIZE MAXIMIZE_HORZ MAXIMIZE_VERT RESIZE; fi
        motif "$F3" "the high-score window" 0x18 0x60 # minimise, maximise
        # Minimised where the manager allows it, it takes the main window
        # along; it must come back with it, keys and all.
        if actions "$F3" | grep -q _NET_WM_ACTION_MINIMIZE; then
            spy -id "$F3" WM_STATE
            xdotool windowminimize "$F3"
            spied || fail "$WM did not minimise the high-score window"
        fi
        until_true 30 eval "xwininfo -id $F3 | grep -q IsViewable && xwininfo -id $W | grep -q IsViewable" ||
            fail "the game stayed hidden after the high-score window was minimised"
        until_true 30 active "$F3" || fail "the high-score window came back without the keys"
    fi
    stray_click
    until_true 100 active "$F3" || fail "a click on the main window took the keys from the high-score window ($(keys))"
    xdotool key "$way"
    until_true 30 gone "$F3" || fail "$way after a click on the main window did not close the high-score window"
    xdotool getwindowname "$W" >/dev/null 2>&1 || fail "$way after a click on the main window closed the game"
    until_true 30 active "$W" || fail "the main window did not get the keys back after the high-score window ($way)"
done
ok "the high-score window: owned, centred, back from a minimise; ${ways// /, } close it alone after a stray click"

F2=$(open_window "alt+h v" 'ﾊﾞｰｼﾞｮﾝ情報' "the About window") || exit 1
centred "$F2" "the About window"
if [ "$WM" = openbox ]; then no_action "$F2" "the About window" MAXIMIZE_HORZ MAXIMIZE_VERT RESIZE; else
    no_action "$F2" "the About window" MINIMIZE MAXIMIZE_HORZ MAXIMIZE_VERT RESIZE; fi
motif "$F2" "the About window" 0x18 0x60
stray_click
until_true 100 active "$F2" || fail "a click on the main window took the keys from the About window ($(keys))"
xdotool key Escape alt+F4
until_true 30 gone "$F2" || fail "Alt+F4 after a click on the main window did not close the About window"
xdotool getwindowname "$W" >/dev/null 2>&1 || fail "Alt+F4 meant for the About window closed the game"
until_true 30 active "$W" || fail "the main window did not get the keys back after the About window"
ok "the About window: owned, centred; Alt+F4 closes it alone after a stray click"

# message WHAT: the game's message box is open over the main window, owned
# by it and with the keys; Return closes it and gives them back.
# (The main window has the same title: a search that waits for any match
# would end at once.)
box() { M=$(xdotool search --onlyvisible --name '^Trazzo$' | grep -v "^$W\$" | head -1) && [ -n "$M" ]; }
message() {
    local m
    until_true 100 box || fail "no message box $1"
    m=$M
    xprop -id "$m" WM_TRANSIENT_FOR | grep -qi "$(printf '0x%x$' "$W")" || fail "the message box $1 is not owned by the main window"
    until_true 30 active "$m" || fail "the message box $1 did not take the keys"
    xdotool key Return
    until_true 50 gone "$m" || fail "Return did not close the message box $1"
    until_true 30 active "$W" || fail "the main window did not get the keys back after the message box $1"
}
xdotool key --delay 40 alt+h h
if ! until_true 50 box && [ "$WM" = metacity ]; then
    # The shortcut metacity loses now and then after a window closed (see open_window).
    echo "note: alt+h h was lost once on $WM; sent again" >&2
    xdotool key --delay 40 alt+h h
fi
message "for a read-me nothing can show"
ok "a read-me the opener cannot show: a message box, closed by Return"

# The board's cell at column C, row R, as the screen shows it: #RRGGBB.
cell() {
    local h
    h=$(xwininfo -id "$W" | sed -n 's/^ *Height: *//p')
    xwd -silent -id "$W" | convert xwd:- -crop "1x1+$(((10 + 12 * $1 + 6) * SCALE))+$((h - (421 - 36 - 12 * $2 - 6) * SCALE))" txt:- |
        grep -o '#[0-9A-F]\{6\}'
}
# The picture dialog fits the screen; a picture chosen in it is drawn at once.
xdotool key --delay 40 alt+o l
D=$(timeout 10 xdotool search --sync --onlyvisible --name 'ファイルを開く' | head -1)
[ -n "$D" ] || fail "the picture dialog did not open"
inside "$D" "the picture dialog"
# Made smaller where it would be larger: nine tenths of the screen, frame
# and all (its frame guessed from the main window's, give or take a few pixels).
read -r x y w h t <<<"$(frame "$D")"
[ "$w" -le $((AW * 9 / 10 + 6)) ] && [ "$h" -le $((AH * 9 / 10 + 6)) ] ||
    fail "the picture dialog takes more than nine tenths of the screen: its frame is ${w}x$h on ${AW}x$AH"
until_true 30 active "$D" || fail "the picture dialog did not take the keys"
[ "$(cell 0 0)" != "#05FA4D" ] || fail "the built-in wall looks like the test picture's"
xdotool type --delay 20 "$ROOT/tests/display/skins/top-down.bmp"
xdotool key Return
until_true 50 gone "$D" || fail "Return did not take the picture and close the dialog"
# Its first tile, the wall round the board, is RGB(5, 250, 77); a title panel (tile 5) RGB(85, 175, 77).
until_true 50 eval '[ "$(cell 0 0) $(cell 4 7)" = "#05FA4D #55AF4D" ]' || fail "the chosen picture is not drawn: $(cell 0 0) $(cell 4 7)"
message "that the picture was loaded"
ok "the picture dialog fits the screen; the picture chosen in it is drawn"
# Another program destroys the game's windows outright (xdotool windowclose:
# no request the window manager passes on). The About window gone is closed
# as its close button would: the keys come back, and it opens again.
if [ "$SCALE" = 1 ]; then
    F2=$(open_window "alt+h v" 'ﾊﾞｰｼﾞｮﾝ情報' "the About window") || exit 1
    xdotool windowclose "$F2"
    until_true 30 active "$W" || fail "the main window did not get the keys back after the About window was destroyed ($(keys))"
    F2=$(open_window "alt+h v" 'ﾊﾞｰｼﾞｮﾝ情報' "the About window once more") || exit 1
    xdotool key alt+F4
    until_true 30 gone "$F2" || fail "Alt+F4 did not close the About window opened after one was destroyed"
    ok "the About window destroyed by another program: closed, the keys back, and it opens again"

    # The main window gone ends the game as its close does: saved, exit 0.
    SCORES=$XDG_DATA_HOME/Trazzo/Windows/Trazzo.ini
    rm -f "$SCORES" # written at the end if not before
    until_true 30 active "$W" || fail "the main window does not have the keys before it is destroyed"
    xdotool windowclose "$W"
    until_true 50 eval '! kill -0 "$GAMEPID" 2>/dev/null' || fail "the game ran on after its main window was destroyed"
    wait "$GAMEPID"
    code=$?
    [ "$code" = 0 ] || fail "the game ended with $code after its main window was destroyed: $(tail -3 "$T/game.log")"
    [ -s "$SCORES" ] || fail "the game ended without saving the scores after its main window was destroyed"
    ok "the main window destroyed by another program: the game saved and ended"
fi
echo "desktop windows ($WM, ${SCALE}x): PASSED (${SECONDS}s)"
