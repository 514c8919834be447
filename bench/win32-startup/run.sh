#!/usr/bin/env bash
# Start-up under Wine: the time from starting an exe to its window shown, for
# the program and for a bare window built the same way, in alternating runs
# in one Wine prefix with one wineserver kept warm; the medians, their ratio,
# and the sizes of the two exes.
#
#   bench/win32-startup/run.sh <bare_window.exe> <ombrel-config.exe> [<runs of each, 10>]
#
# "Shown" is when xdotool first finds the window mapped with its caption, on
# a virtual X display of this script's own (Xvfb). The prefix is the build
# folder's (wine/prefix-win32 beside the program's CMakeCache.txt), made when missing.
set -uo pipefail

bare=$(realpath "${1:?bare_window.exe}")
program=$(realpath "${2:?ombrel-config.exe}")
runs=${3:-10}
here=$(cd "$(dirname "$0")/../.." && pwd)
for tool in wine wineserver Xvfb xdotool; do
    command -v "$tool" > /dev/null || { echo "$tool is not installed" >&2; exit 1; }
done

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
build=$(d=$(dirname "$program"); while [ "$d" != / ] && [ ! -f "$d/CMakeCache.txt" ]; do d=$(dirname "$d"); done; echo "$d")
[ -f "$build/CMakeCache.txt" ] || { echo "the program is in no build folder" >&2; exit 1; }
"$here/cmake/wine-run.sh" --make-prefix "$build" || exit 1
export WINEPREFIX=$build/wine/prefix-win32

work=$(mktemp -d /tmp/ombrel-startup.XXXXXX)
xvfb_pid=
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2> /dev/null
    rm -rf "$work"
}
trap cleanup EXIT
exec 5> "$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
xvfb_pid=$!
exec 5>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")"
wineserver -p 30   # warm, for the whole run

# once <exe> <caption>: milliseconds from the start to the window shown.
once() {
    local start end pid
    start=$(date +%s%N)
    wine "$1" > /dev/null 2>&1 &
    pid=$!
    for _ in $(seq 3000); do
        xdotool search --onlyvisible --name "^$2\$" > /dev/null 2>&1 && break
        sleep 0.005
    done
    end=$(date +%s%N)
    kill "$pid" 2> /dev/null
    wait "$pid" 2> /dev/null
    # Until its windows are gone, so that the next run starts alone.
    for _ in $(seq 400); do xdotool search --name "^$2\$" > /dev/null 2>&1 || break; sleep 0.01; done
    echo $(((end - start) / 1000000))
}
median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

once "$bare" "Bare Window" > /dev/null          # warm-up: DLLs in the page cache
once "$program" "Configure Ombrel Profile" > /dev/null
: > "$work/bare"
: > "$work/program"
for i in $(seq "$runs"); do
    once "$bare" "Bare Window" >> "$work/bare"
    once "$program" "Configure Ombrel Profile" >> "$work/program"
done
b=$(median < "$work/bare")
p=$(median < "$work/program")
echo "bare window:    median $b ms   (runs: $(tr '\n' ' ' < "$work/bare"))"
echo "ombrel-config:  median $p ms   (runs: $(tr '\n' ' ' < "$work/program"))"
awk -v p="$p" -v b="$b" 'BEGIN { printf "ratio program / bare window: %.2f\n", p / b }'
echo "sizes: $(basename "$bare") $(stat -c %s "$bare") bytes, $(basename "$program") $(stat -c %s "$program") bytes"
wineserver -k 2> /dev/null
