#!/usr/bin/env bash
# End to end, as a person, with the Windows program under Wine: a Wine prefix
# made afresh, a virtual X display of its own (Xvfb), the program driven from
# outside with the mouse and keyboard (xdotool).
#
#  1. Choose the machine in the drop-down, "Open Profile", type the profile's
#     Z:\ path into the Windows open dialog and press Enter, type a new printer
#     port, click the preset "Small steps (mm)", choose "Homing enabled",
#     "Save Profile", "Done": the file must then equal the expected one byte
#     for byte, and the program must have ended by itself.
#  2. Open a fresh copy, type a port, "Done": "Save first?" is asked; Escape,
#     Alt+F4 and the close box must leave the question (and the program)
#     there; "No" then ends the program and the file is as it was.
#
#   open_edit_save.sh <program.exe> <fixtures of tests/e2e> <own fixtures> [<folder for failure output>]
#
# Controls are found by their place: the layout's twips / 15 from the client
# area's corner (583 x 619 px at 96 dpi). Everything waits by polling with a
# time limit; Xvfb, the program and the wineserver are ended on every way out.
# Exit status 77 (skipped) with the reason when Wine or Xvfb cannot be set up,
# or 1 when the environment variable CI is set.
set -uo pipefail

program=${1:?program.exe}
fixtures=${2:?fixtures of tests/e2e}
own=${3:?own fixtures}
output=${4:-$PWD}

# cannot, fail, wait_for, window_named
source "$(dirname "$0")/../../support/drive-window.sh"
for tool in wine wineserver Xvfb xdotool; do
    command -v "$tool" > /dev/null || cannot "$tool is not installed"
done
[ -f "$program" ] || cannot "no program at $program"
program=$(realpath "$program")
fixtures=$(realpath "$fixtures")
own=$(realpath "$own")
mkdir -p "$output"
output=$(realpath "$output")

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono or Gecko installer dialogs
export WINEPREFIX=$output/wine-prefix
# The program's PE type chooses the prefix and the Wine loader.
read -r arch wine < <("$(dirname "$0")/../../../cmake/wine-run.sh" --arch "$program") ||
    cannot "$program is no Windows program"
export WINEARCH=$arch
[ "$arch" = win32 ] || [ "$wine" != wine ] || cannot "no 64-bit Wine loader (install wine64)"

work=$(mktemp -d /tmp/ombrel-w32e2e.XXXXXX)
xvfb_pid=
app_pid=
failed=

cleanup() {
    if [ -n "$failed" ] && [ -n "${DISPLAY:-}" ] && command -v import > /dev/null; then
        import -window root -display "$DISPLAY" "$output/e2e-failure.png" 2> /dev/null &&
            echo "what the screen showed: $output/e2e-failure.png"
    fi
    [ -n "$app_pid" ] && kill "$app_pid" 2> /dev/null
    wineserver -k 2> /dev/null
    wineserver -w 2> /dev/null
    rm -rf "$WINEPREFIX"   # some 590 MB; made afresh by every run anyway
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2> /dev/null
        wait "$xvfb_pid" 2> /dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# The layout's twips to pixels in the main window: the client area lies inside
# the frame that Wine draws itself (there is no window manager).
px() { echo $(($1 / 15)); }
click_at() {  # <x> <y> in client pixels
    xdotool mousemove --window "$main" $(($1 + frame_x)) $(($2 + frame_y)) sleep 0.2 click 1 || fail "cannot click at $1,$2"
}
click_control() {  # <left> <top> <width> <height> in twips, from the client area
    click_at $(( ($1 + $3 / 2) / 15 )) $(( ($2 + $4 / 2) / 15 ))
}
# The arrow of a drop-down list: its right end.
click_arrow() {  # <left> <top> <width> <height> in twips
    click_at $(( ($1 + $3) / 15 - 8 )) $(( ($2 + $4 / 2) / 15 ))
}

started=$SECONDS

# --- A display of our own ------------------------------------------------------
exec 5> "$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 5>&-
display_ready() { [ -s "$work/display" ] && kill -0 "$xvfb_pid"; }
wait_for 20 "Xvfb to start" display_ready
export DISPLAY=":$(head -n 1 "$work/display")"
wait_for 20 "display $DISPLAY to answer" xdotool getmouselocation

# --- A fresh Wine prefix, and one wineserver for both runs -------------------------
rm -rf "$WINEPREFIX"
"$wine" wineboot --init > "$work/wineboot.log" 2>&1 && wineserver -w ||
    cannot "wineboot could not make a prefix ($(tail -n 3 "$work/wineboot.log" | tr '\n' ' '))"
[ -f "$WINEPREFIX/system.reg" ] || cannot "wineboot left no registry in $WINEPREFIX"
echo "prefix made in $((SECONDS - started)) s"
wineserver -p 60 || cannot "wineserver did not start"

# --- The profile, in a folder whose name has a space ---------------------------------
mkdir -p "$work/Mach3 profiles"
profile="$work/Mach3 profiles/Mach3Mill.xml"
windows_path="Z:$(echo "$profile" | tr '/' '\\')"

start_program() {
    cp "$fixtures/Mach3Mill.xml" "$profile"
    (cd "$work" && exec timeout -k 5 120 "$wine" "$program") > "$work/app.log" 2>&1 &
    app_pid=$!
    main_window() { main=$(window_named "Configure Ombrel Profile"); }
    wait_for 30 "the main window" main_window
    main=$(window_named "Configure Ombrel Profile")
    local width height
    eval "$(xdotool getwindowgeometry --shell "$main" | grep -E '^(WIDTH|HEIGHT)=')"
    width=$WIDTH height=$HEIGHT
    frame_x=$(((width - 583) / 2))
    frame_y=$((height - 619 - frame_x))
    [ "$frame_x" -ge 0 ] && [ "$frame_y" -ge 0 ] || fail "the main window is ${width}x${height}, smaller than its client area 583x619"
    sleep 0.3
}

# The program's other shown windows that have a title (boxes and dialogs).
titled_windows() {
    local id name
    for id in $(timeout 2 xdotool search --onlyvisible --name '.' 2> /dev/null); do
        [ "$id" = "$main" ] && continue
        name=$(xdotool getwindowname "$id" 2> /dev/null) && [ -n "$name" ] && echo "$name"
    done
    return 0
}

choose_machine_and_open() {
    # The machine: the list dropped down with its arrow, "Ombrel M40" (the row
    # after the prompt row) taken with Enter.
    click_arrow 2880 360 3375 315
    sleep 0.5
    xdotool key Home Down Return
    sleep 0.3
    # "Open Profile", the path typed into the file name box, Enter.
    click_control 600 840 2055 375
    open_dialog() { dialog=$(window_named "Open Profile"); }
    wait_for 15 "the dialog \"Open Profile\" (is a machine chosen?)" open_dialog
    sleep 0.5
    xdotool type --delay 10 "$windows_path"
    xdotool key Return
    dialog_gone() { ! window_named "Open Profile"; }
    wait_for 15 "the open dialog to take the path" dialog_gone
    # Without a window manager nothing gives the window the X input focus back
    # when the dialog has gone, and the first click only takes it: a click on
    # the caption "3) Now configure data in the panels below" does that.
    click_control 240 1440 4335 375
    sleep 0.3
    local shown
    shown=$(titled_windows)
    [ -z "$shown" ] || fail "the open showed a window: $shown"
}

type_port() {  # <text>
    click_control $((225 + 2160)) $((2400 + 240)) 855 285
    xdotool key End shift+Home
    xdotool type --delay 10 "$1"
}

wait_ended() {  # <seconds>
    local end=$((SECONDS + $1))
    while kill -0 "$app_pid" 2> /dev/null; do
        [ "$SECONDS" -lt "$end" ] || fail "the program did not end"
        sleep 0.1
    done
    wait "$app_pid"
    local status=$?
    app_pid=
    [ "$status" -eq 0 ] || fail "the program ended with status $status"
}

# --- 1) Open, edit, save, done ---------------------------------------------------
run1=$SECONDS
start_program
choose_machine_and_open
type_port 3bc
click_control $((5760 + 1560)) $((1740 + 2040)) 975 495      # "Small steps (mm)"
click_arrow $((240 + 240)) $((7200 + 240)) 3735 315          # the 4th-axis homing list
sleep 0.5
xdotool key Down Return                                      # "Homing enabled"
sleep 0.3
click_control 600 8040 1575 450                              # "Save Profile"
sleep 0.5
shown=$(titled_windows)
[ -z "$shown" ] || fail "the save showed a window: $shown"
click_control 7200 8640 1110 450                             # "Done"
wait_ended 15
if ! cmp "$profile" "$own/Mach3Mill.homing.saved.xml"; then
    cmp -l "$profile" "$own/Mach3Mill.homing.saved.xml" | head -n 20
    cp "$profile" "$output/e2e-saved.xml" && echo "the saved file: $output/e2e-saved.xml"
    fail "the saved profile differs from $own/Mach3Mill.homing.saved.xml"
fi
leftovers=$(ls -A "$work/Mach3 profiles")
[ "$leftovers" = "Mach3Mill.xml" ] || fail "the profile's folder holds more than the profile: $leftovers"
echo "open, edit, save, done: the profile saved byte for byte as expected ($((SECONDS - run1)) s)"

# --- 2) "Save first?" takes no Escape and no close box ---------------------------------
run2=$SECONDS
start_program
choose_machine_and_open
type_port 3bc
click_control 7200 8640 1110 450                             # "Done"
question() { box=$(window_named "Save first?"); }
wait_for 10 "the question \"Save first?\"" question
sleep 0.3
for keys in Escape alt+F4; do
    xdotool key "$keys"
    sleep 0.7
    kill -0 "$app_pid" 2> /dev/null || fail "$keys on \"Save first?\" ended the program"
    window_named "Save first?" > /dev/null || fail "$keys answered \"Save first?\""
done
# The close box at the right end of the box's caption bar, which Wine draws
# itself where there is no window manager.
eval "$(xdotool getwindowgeometry --shell "$box" | grep -E '^(WIDTH|HEIGHT)=')"
xdotool mousemove --window "$box" $((WIDTH - 12)) 12 sleep 0.2 click 1
sleep 0.7
kill -0 "$app_pid" 2> /dev/null || fail "the close box of \"Save first?\" ended the program"
window_named "Save first?" > /dev/null || fail "the close box answered \"Save first?\""
cmp -s "$profile" "$fixtures/Mach3Mill.xml" || fail "the profile was written although no answer was given"
xdotool key n                                                 # "No"
wait_ended 15
cmp "$profile" "$fixtures/Mach3Mill.xml" || fail "\"No\" on \"Save first?\" wrote the profile"
echo "\"Save first?\": Escape, Alt+F4 and the close box left it open, \"No\" ended without writing ($((SECONDS - run2)) s)"
echo "passed in $((SECONDS - started)) s"
