#!/usr/bin/env bash
# Runs a command on a virtual X display of its own (Xvfb), for the test
# programs whose windows must really be shown:
#
#   on-display.sh <command> [arguments...]
#
# Exit status 77 (skipped) with the reason when Xvfb cannot be started, or 1
# when the environment variable CI is set, where a test that cannot run fails.
set -u

cannot() {
    echo "cannot set up a display: $*" >&2
    [ -n "${CI:-}" ] && exit 1
    exit 77
}
command -v Xvfb > /dev/null || cannot "Xvfb is not installed (package xvfb)"

work=$(mktemp -d /tmp/ombrel-display.XXXXXX) || cannot "no temporary folder"
xvfb_pid=
cleanup() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2> /dev/null
        wait "$xvfb_pid" 2> /dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# Xvfb picks a free display number itself and tells it through a file descriptor.
exec 5> "$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 5>&-
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2> /dev/null || cannot "Xvfb ended at once: $(tail -n 2 "$work/xvfb.log" | tr '\n' ' ')"
    sleep 0.1
done
[ -s "$work/display" ] || cannot "Xvfb did not report its display within 10 s"
export DISPLAY=":$(head -n 1 "$work/display")"

# The output goes through a file: what the command leaves running (a
# wineserver, Wine's desktop process) must not hold the caller's pipe open.
"$@" > "$work/output" 2>&1
status=$?
cat "$work/output"
exit "$status"
