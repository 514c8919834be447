# Sourced by the end-to-end tests that drive a real window from outside with
# xdotool. The sourcing script sets `work` (its temporary folder, where the
# program's output goes to app.log), `app_pid` (the program, once started) and
# `failed`, and ends the display and the program in its own EXIT trap.

# cannot <reason>: the environment lacks what the test needs; skipped (77),
# or a failure when the environment variable CI is set.
cannot() {
    echo "cannot set up the test: $*"
    if [ -n "${CI:-}" ]; then exit 1; fi
    exit 77
}

# fail <what>: the test failed; the program's output follows.
fail() {
    failed=1
    echo "FAILED: $*"
    if [ -s "$work/app.log" ]; then
        echo "--- the program's output"
        cat "$work/app.log"
    fi
    exit 1
}

# wait_for <seconds> <what> <command...>: polls until the command succeeds;
# fails when the time is up or the program has ended.
wait_for() {
    local seconds=$1 what=$2
    shift 2
    local end=$((SECONDS + seconds))
    until "$@" > /dev/null 2>&1; do
        [ "$SECONDS" -lt "$end" ] || fail "waited ${seconds}s for $what"
        if [ -n "$app_pid" ] && ! kill -0 "$app_pid" 2> /dev/null; then fail "the program ended early"; fi
        sleep 0.1
    done
}

# window_named <title>: a shown top-level window with exactly this title; its id on stdout.
window_named() {
    local pattern
    pattern=$(printf '%s' "$1" | sed 's/[][\.*^$?+(){}|]/\\&/g')
    timeout 2 xdotool search --onlyvisible --name "^$pattern\$" 2> /dev/null | head -n 1 | grep .
}
