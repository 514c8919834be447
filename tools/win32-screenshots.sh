#!/usr/bin/env bash
# Pictures of the Windows program's windows under Wine, for the README and for
# checking them against the layout: the main window at start and the five help
# windows, as docs/screenshots/windows-*.png.
#
#   tools/win32-screenshots.sh <ombrel-config.exe> [<folder for the pictures>]
#
# Runs on a virtual X display of its own (Xvfb) with a Wine prefix of its own
# (made for the run and removed after it), drives the program with xdotool as a person would: the
# machine, "Open Profile" with the sample profile of tests/e2e, each Help and
# Info button; then "Done" and "No".
set -uo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:?ombrel-config.exe}")
out=${2:-$here/docs/screenshots}

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
for tool in wine Xvfb xdotool import; do
    command -v "$tool" > /dev/null || { echo "$tool is not installed" >&2; exit 1; }
done
mkdir -p "$out"

work=$(mktemp -d /tmp/ombrel-shots.XXXXXX)
export WINEPREFIX=$work/prefix
xvfb_pid=
app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2> /dev/null
    wineserver -k 2> /dev/null
    wineserver -w 2> /dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2> /dev/null
    rm -rf "$work"
}
trap cleanup EXIT
die() {
    echo "screenshots: $*" >&2
    [ -n "${DISPLAY:-}" ] && import -window root "$out/screenshots-failure.png" 2> /dev/null &&
        echo "what the screen showed: $out/screenshots-failure.png" >&2
    exit 1
}

exec 5> "$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
xvfb_pid=$!
exec 5>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")"
wine wineboot --init > "$work/wineboot.log" 2>&1 && wineserver -w || die "wineboot failed"
# Wine draws every window's frame and caption itself, as Windows does: there is
# no window manager on the display to draw them.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f > /dev/null 2>&1 || die "cannot set up the frames"

window_named() {
    local pattern
    pattern=$(printf '%s' "$1" | sed 's/[][\.*^$?+(){}|]/\\&/g')
    timeout 2 xdotool search --onlyvisible --name "^$pattern\$" 2> /dev/null | head -n 1 | grep .
}
wait_window() {  # <title>: its id in $found
    for _ in $(seq 150); do
        found=$(window_named "$1") && { sleep 0.5; return 0; }
        sleep 0.1
    done
    die "no window \"$1\""
}
click_control() {  # <left> <top> <width> <height> in twips, from the client area
    xdotool mousemove --window "$main" $(( ($1 + $3 / 2) / 15 + frame_x )) $(( ($2 + $4 / 2) / 15 + frame_y )) sleep 0.2 click 1
}
click_arrow() {
    xdotool mousemove --window "$main" $(( ($1 + $3) / 15 - 8 + frame_x )) $(( ($2 + $4 / 2) / 15 + frame_y )) sleep 0.2 click 1
}

profile="$work/Mach3Mill.xml"
start() {  # <machine row>
    cp "$here/tests/e2e/fixtures/Mach3Mill.xml" "$profile"
    (cd "$work" && exec wine "$program") > /dev/null 2>&1 &
    app_pid=$!
    wait_window "Configure Ombrel Profile"
    main=$found
    eval "$(xdotool getwindowgeometry --shell "$main" | grep -E '^(WIDTH|HEIGHT)=')"
    frame_x=$(((WIDTH - 583) / 2))
    frame_y=$((HEIGHT - 619 - frame_x))
    [ -n "${2:-}" ] && import -window "$main" "$out/$2"
    click_arrow 2880 360 3375 315
    sleep 0.5
    local keys=(Home)
    for _ in $(seq "$1"); do keys+=(Down); done
    xdotool key "${keys[@]}" Return
    sleep 0.3
    click_control 600 840 2055 375
    wait_window "Open Profile"
    xdotool type --delay 10 "Z:$(echo "$profile" | tr '/' '\\')"
    xdotool key Return
    sleep 1
    # Wine without a window manager waits some 2 s for each window that
    # leaves the screen (the dialog's), and clicks meanwhile are lost.
    sleep 3
}
shoot() {  # <button: left top width height> <window title> <picture>
    click_control "$1" "$2" "$3" "$4"
    wait_window "$5"
    import -window "$found" "$out/$6"
    xdotool key alt+F4
    for _ in $(seq 80); do window_named "$5" > /dev/null || break; sleep 0.1; done
    echo "$out/$6"
}
finish() {
    click_control 7200 8640 1110 450
    wait_window "Save first?"
    xdotool key n
    wait "$app_pid"
    app_pid=
}

# The digital drive's machine: all but the volts help.
start 2 windows-main.png
echo "$out/windows-main.png"
shoot $((225 + 3600)) $((2400 + 615)) 1095 420 "Finding Printer Port address in XP" windows-help-printer.png
shoot $((240 + 3510)) $((3660 + 2040)) 1155 420 "Digital VFD Help" windows-help-dig-vfd.png
shoot $((240 + 4080)) $((6480 + 240)) 1035 345 "Probe Logic" windows-info-probe-logic.png
shoot $((240 + 4080)) $((7200 + 240)) 1035 345 "Fourth Axis Homing Kit (PN 58204)" windows-info-fourth-axis-homing.png
import -window "$main" "$out/windows-main-profile-open.png" && echo "$out/windows-main-profile-open.png"
finish
# The volts machine: the volts help.
start 1
shoot $((240 + 3510)) $((3660 + 2040)) 1155 420 "Measuring Spindle Control Volts" windows-help-measure.png
finish
