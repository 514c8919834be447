#!/usr/bin/env bash
# End to end, as a person: starts the built program as a real window on a
# virtual X display of its own (Xvfb) and drives it from outside with the mouse
# and keyboard (xdotool): choose a machine in the drop-down, "Open Profile",
# type the profile's path into the file dialog and press Enter, type a new
# printer port, click the preset "Small steps (mm)", "Save Profile", "Done".
# Then the file must equal the expected one byte for byte.
#
#   open_edit_save.sh <program> <fixtures folder> [<folder for failure pictures>]
#
# Controls are found by their place in the window: the layout's twips / 15
# from the window's top-left corner (the client area is 583 x 619 px).
# Everything waits by polling with a time limit; the display and the program
# are ended on every way out, and run under `timeout` so that even a test killed
# outright leaves nothing running for long.
set -uo pipefail

program=${1:?program}
fixtures=${2:?fixtures folder}
pictures=${3:-$PWD}

# cannot, fail, wait_for, window_named
source "$(dirname "$0")/../support/drive-window.sh"
for tool in Xvfb xdotool; do
    command -v "$tool" > /dev/null || cannot "$tool is not installed (make deps installs it)"
done
[ -x "$program" ] || cannot "no program at $program"
program=$(realpath "$program")
fixtures=$(realpath "$fixtures")

work=$(mktemp -d /tmp/ombrel-e2e.XXXXXX)
xvfb_pid=
app_pid=
program_pid=
failed=

cleanup() {
    if [ -n "$failed" ] && [ -n "${DISPLAY:-}" ] && command -v import > /dev/null; then
        import -window root -display "$DISPLAY" "$pictures/e2e-failure.png" 2> /dev/null &&
            echo "what the screen showed: $pictures/e2e-failure.png"
    fi
    for pid in $app_pid $xvfb_pid; do
        kill "$pid" 2> /dev/null
    done
    for pid in $app_pid $xvfb_pid; do
        for _ in $(seq 50); do kill -0 "$pid" 2> /dev/null || break; sleep 0.1; done
        kill -9 "$pid" 2> /dev/null
        wait "$pid" 2> /dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# The program's visible windows other than the main window (lists, tooltips, dialogs).
other_windows() {
    timeout 1 xdotool search --onlyvisible --pid "$program_pid" 2> /dev/null | grep -v "^$main\$"
}

# The titles of the program's other windows that have one: message boxes and dialogs.
titled_windows() {
    local id name
    for id in $(other_windows); do
        name=$(xdotool getwindowname "$id" 2> /dev/null) && [ -n "$name" ] && echo "$name"
    done
    return 0
}

# click <x> <y>: a left click at a place in the main window.
click() {
    xdotool mousemove --window "$main" "$1" "$2" click 1 || fail "cannot click at $1,$2"
}

# Twips of the layout to pixels.
px() { echo $(($1 / 15)); }
# The centre of a control: left top width height in twips, from the window's corner.
centre() { echo "$(( ($1 + $3 / 2) / 15 )) $(( ($2 + $4 / 2) / 15 ))"; }

# --- A display of our own --------------------------------------------------------
# Xvfb picks a free display number itself and tells it through a file descriptor.
exec 5> "$work/display"
timeout -s KILL 150 Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 5>&-
display_ready() { [ -s "$work/display" ] && kill -0 "$xvfb_pid"; }
wait_for 20 "Xvfb to start" display_ready
export DISPLAY=":$(head -n 1 "$work/display")"
wait_for 20 "display $DISPLAY to answer" xdotool getmouselocation

# --- The profile, in a folder whose name has a space --------------------------------
mkdir -p "$work/home" "$work/Mach3 profiles"
profile="$work/Mach3 profiles/Mach3Mill.xml"
cp "$fixtures/Mach3Mill.xml" "$profile"

# --- The program, as a real window (not the offscreen platform of the other tests) ---
(
    cd "$work/home" &&
        HOME="$work/home" QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME= XDG_RUNTIME_DIR= \
            exec timeout -k 5 140 "$program"
) > "$work/app.log" 2>&1 &
app_pid=$!
# The windows carry the program's own process id, the child of `timeout`.
program_started() { program_pid=$(head -n 1 "/proc/$app_pid/task/$app_pid/children" | tr -d ' ' | grep .); }
wait_for 10 "the program to start" program_started
program_started

main_window() { main=$(window_named "Configure Ombrel Profile"); }
wait_for 30 "the main window" main_window
main=$(window_named "Configure Ombrel Profile")
geometry=$(xdotool getwindowgeometry "$main" | sed -n 's/.*Geometry: *//p')
[ "$geometry" = "583x619" ] || fail "the main window is $geometry, not 583x619"
xdotool windowfocus --sync "$main" 2> /dev/null || true

# 1) The machine: open the drop-down with its arrow (the list's text part can be
# typed into), go down to "Ombrel M40", the first machine after the prompt row,
# and take it with Enter.
read -r x y <<< "$(centre 2880 360 3375 315)"
click "$(px $((2880 + 3375 - 120)))" "$y"
popup_open() { other_windows; }
wait_for 10 "the machine list to drop down" popup_open
xdotool key Home Down Return
popup_closed() { ! other_windows; }
wait_for 10 "the machine list to close" popup_closed

# 2) "Open Profile", then the path typed into the file dialog and Enter.
read -r x y <<< "$(centre 600 840 2055 375)"
click "$x" "$y"
open_dialog() { dialog=$(window_named "Open Profile"); }
wait_for 15 "the dialog \"Open Profile\" (is a machine chosen?)" open_dialog
dialog=$(window_named "Open Profile")
xdotool windowfocus --sync "$dialog" 2> /dev/null || true
# The file name box has the focus when the dialog opens.
xdotool type --delay 15 --window "$dialog" "$profile" 2> /dev/null || xdotool type --delay 15 "$profile"
xdotool key --window "$dialog" Return 2> /dev/null || xdotool key Return
dialog_gone() { ! window_named "Open Profile"; }
end=$((SECONDS + 10))
until dialog_gone; do
    # A completion list over the name box takes the first Enter.
    [ "$SECONDS" -lt "$end" ] || fail "the file dialog did not take the typed path"
    sleep 0.5
    dialog_gone || xdotool key Return
done
shown=$(titled_windows)
[ -z "$shown" ] || fail "the open showed a window: $shown"

# 3) The printer port: into the box, everything selected, "3bc" typed.
read -r x y <<< "$(centre $((225 + 2160)) $((2400 + 240)) 855 285)"
click "$x" "$y"
xdotool key ctrl+a
xdotool type --delay 15 "3bc"

# 4) The jog preset "Small steps (mm)".
read -r x y <<< "$(centre $((5760 + 1560)) $((1740 + 2040)) 975 495)"
click "$x" "$y"

# 5) "Save Profile": nothing to answer.
read -r x y <<< "$(centre 600 8040 1575 450)"
click "$x" "$y"
sleep 0.3
shown=$(titled_windows)
[ -z "$shown" ] || fail "the save showed a window: $shown"

# 6) "Done"; should it ask "Save first?", the answer is its default, Yes.
read -r x y <<< "$(centre 7200 8640 1110 450)"
click "$x" "$y"
end=$((SECONDS + 15))
while kill -0 "$app_pid" 2> /dev/null; do
    [ "$SECONDS" -lt "$end" ] || fail "the program did not end after \"Done\""
    if question=$(window_named "Save first?"); then
        xdotool key --window "$question" Return 2> /dev/null || xdotool key Return
    fi
    sleep 0.1
done
wait "$app_pid"
status=$?
app_pid=
[ "$status" -eq 0 ] || fail "the program ended with status $status"

# --- The file, byte for byte ----------------------------------------------------
if ! cmp "$profile" "$fixtures/Mach3Mill.saved.xml"; then
    failed=1
    echo "FAILED: the saved profile differs from $fixtures/Mach3Mill.saved.xml"
    cmp -l "$profile" "$fixtures/Mach3Mill.saved.xml" | head -n 20
    cp "$profile" "$pictures/e2e-saved.xml" && echo "the saved file: $pictures/e2e-saved.xml"
    exit 1
fi
leftovers=$(ls -A "$work/Mach3 profiles")
[ "$leftovers" = "Mach3Mill.xml" ] || fail "the profile's folder holds more than the profile: $leftovers"
echo "passed: the profile was saved byte for byte as expected"
