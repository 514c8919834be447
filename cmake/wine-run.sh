#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in a Wine prefix of the build
# folder's own: the emulator CMake and CTest put in front of every test program.
#
#   wine-run.sh <program.exe> [arguments...]     run it (the prefix is made once if missing)
#   wine-run.sh --make-prefix <build folder>     make the 32-bit prefix if it is missing
#   wine-run.sh --start-session <build folder>   a fresh prefix, an X display (:61-:69) and a
#                                                wineserver that stay for the run
#   wine-run.sh --stop-session <build folder>    ends that wineserver and display
#   wine-run.sh --arch <program.exe>             win32 or win64, and the Wine loader to
#                                                start it with, on one line
#
# The build folder is the nearest folder above the program that holds a
# CMakeCache.txt (or $OMBREL_WINE_HOME); its prefixes are wine/prefix-win32 and
# wine/prefix-win64, chosen by the program's PE type. When Wine cannot be set
# up the reason goes to standard error and the exit status is 77, which the
# tests take for "skipped" - or 1 when the environment variable CI is set, where
# a test that cannot run is a failure.
set -u

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono or Gecko installer dialogs

cannot() {
    echo "cannot set up Wine: $*" >&2
    [ -n "${CI:-}" ] && exit 1
    exit 77
}

# Where Wine keeps the DLLs it copies into a new prefix.
dll_source() {  # i386-windows|x86_64-windows -> folder
    local d
    for d in /usr/lib/i386-linux-gnu/wine/$1 /usr/lib/x86_64-linux-gnu/wine/$1 /usr/lib/wine/$1 \
             /usr/lib32/wine/$1 /usr/lib64/wine/$1 /opt/wine-stable/lib/wine/$1 /opt/wine-stable/lib64/wine/$1; do
        [ -f "$d/kernel32.dll" ] && { echo "$d"; return 0; }
    done
    return 1
}

# A new prefix holds a copy of every Wine DLL (some 550 MB); the copies that are
# the same as Wine's own become links to them, which leaves a few MB.
shrink() {  # prefix-folder win-folder wine-arch-folder
    local folder=$1/drive_c/windows/$2 source f name
    source=$(dll_source "$3") || return 0
    [ -d "$folder" ] || return 0
    for f in "$folder"/*; do
        [ -f "$f" ] && [ ! -L "$f" ] || continue
        name=${f##*/}
        [ -f "$source/$name" ] && cmp -s "$f" "$source/$name" && ln -sf "$source/$name" "$f"
    done
}

make_prefix() {  # prefix-folder win32|win64
    local prefix=$1 arch=$2 started=$SECONDS
    command -v wine >/dev/null || cannot "wine is not installed (make windows-test-deps installs it)"
    rm -rf "$prefix" && mkdir -p "$(dirname "$prefix")" || cannot "cannot make $(dirname "$prefix")"
    if ! WINEPREFIX=$prefix WINEARCH=$arch "$(loader_for "$arch")" wineboot --init >"$prefix.log" 2>&1 ||
       ! WINEPREFIX=$prefix wineserver -w; then
        cannot "wineboot could not make the prefix $prefix ($(tail -n 3 "$prefix.log" | tr '\n' ' '))"
    fi
    [ -f "$prefix/system.reg" ] || cannot "wineboot left no registry in $prefix ($(tail -n 3 "$prefix.log" | tr '\n' ' '))"
    if [ "$arch" = win32 ]; then
        shrink "$prefix" system32 i386-windows
    else
        shrink "$prefix" system32 x86_64-windows
        shrink "$prefix" syswow64 i386-windows
    fi
    touch "$prefix/.ready"
    echo "Wine prefix $prefix ($arch) made in $((SECONDS - started)) s, $(du -sh "$prefix" | cut -f1)" >&2
}

# Debian's `wine` starts every program with the 32-bit loader when wine32 is
# installed; a 64-bit program needs Wine's 64-bit loader.
loader_for() {  # win32|win64 -> the loader to start programs with
    local loader
    if [ "$1" = win64 ]; then
        for loader in /usr/lib/wine/wine64 "$(command -v wine64 || true)"; do
            [ -x "$loader" ] && { echo "$loader"; return 0; }
        done
    fi
    echo wine
}

# The prefix, made under a lock so that two programs started at once make it once.
ensure_prefix() {  # prefix-folder win32|win64
    local prefix=$1 arch=$2
    [ -f "$prefix/.ready" ] && return 0
    mkdir -p "$(dirname "$prefix")" || cannot "cannot make $(dirname "$prefix")"
    exec 9>"$prefix.lock"
    flock 9
    [ -f "$prefix/.ready" ] || make_prefix "$prefix" "$arch"
    flock -u 9
    exec 9>&-
}

# The folder of the build that a program belongs to.
build_of() {
    local d
    if [ -n "${OMBREL_WINE_HOME:-}" ]; then echo "$OMBREL_WINE_HOME"; return 0; fi
    d=$(cd "$(dirname "$1")" 2>/dev/null && pwd) || return 1
    while [ "$d" != / ]; do
        [ -f "$d/CMakeCache.txt" ] && { echo "$d"; return 0; }
        d=$(dirname "$d")
    done
    return 1
}

# win32 for a PE32 program, win64 for PE32+ (the optional header's magic 0x20b).
arch_of() {
    local at magic
    at=$(od -An -tu4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ') || return 1
    magic=$(od -An -tx2 -j $((at + 24)) -N 2 "$1" 2>/dev/null | tr -d ' ') || return 1
    [ "$magic" = 020b ] && echo win64 || echo win32
}

# The session's own X display, from the numbers :61 to :69: Wine's desktop
# process, started by the first program of the run, must have a display, or
# every window of the run would go nowhere. A test that brings its own display
# (DISPLAY set) keeps it; the others are given this one.
start_display() {  # build-folder
    local build=$1 n log=$1/wine/xvfb.log
    command -v Xvfb >/dev/null || cannot "Xvfb is not installed (package xvfb)"
    for n in 61 62 63 64 65 66 67 68 69; do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >"$log" 2>&1 &
        echo $! >"$build/wine/xvfb.pid"
        for _ in $(seq 100); do
            if [ -S "/tmp/.X11-unix/X$n" ]; then echo ":$n" >"$build/wine/display"; return 0; fi
            kill -0 "$(cat "$build/wine/xvfb.pid")" 2>/dev/null || break
            sleep 0.1
        done
    done
    cannot "no X display could be started on :61 to :69 ($(tail -n 2 "$log" 2>/dev/null | tr '\n' ' '))"
}

# Ends the session's wineserver and its display.
stop_session() {  # build-folder
    local build=$1
    WINEPREFIX=$build/wine/prefix-win32 wineserver -k 2>/dev/null
    if [ -f "$build/wine/xvfb.pid" ]; then
        kill "$(cat "$build/wine/xvfb.pid")" 2>/dev/null
        rm -f "$build/wine/xvfb.pid"
    fi
    rm -f "$build/wine/display"
}

case "${1:-}" in
    --start-session)
        build=$(cd "${2:?build folder}" 2>/dev/null && pwd) || cannot "no build folder $2"
        export WINEPREFIX=$build/wine/prefix-win32
        stop_session "$build"
        exec 9>"$WINEPREFIX.lock"
        flock 9
        make_prefix "$WINEPREFIX" win32
        flock -u 9
        exec 9>&-
        start_display "$build"
        # One server for the whole run: each program then starts in a few ms, not
        # in a second. It runs on its own, holding none of the caller's files open
        # (CTest waits for those to close), until --stop-session.
        DISPLAY=$(cat "$build/wine/display") setsid wineserver -f -p </dev/null >"$build/wine/wineserver.log" 2>&1 &
        server=$!
        # Ready when it listens on its socket, in the folder it works in.
        for _ in $(seq 100); do
            [ -S "/proc/$server/cwd/socket" ] && break
            kill -0 "$server" 2>/dev/null || cannot "the wineserver ended at once ($(tail -n 3 "$build/wine/wineserver.log" | tr '\n' ' '))"
            sleep 0.1
        done
        [ -S "/proc/$server/cwd/socket" ] || cannot "the wineserver did not start within 10 s"
        # Wine's desktop and device processes, started now on the session's display
        # and holding none of the caller's files: started by the first test instead,
        # they would keep that test's output open, and CTest would wait for it.
        DISPLAY=$(cat "$build/wine/display") wine cmd /c exit 0 </dev/null >/dev/null 2>&1 ||
            cannot "no program runs under Wine (wine cmd /c exit 0 failed)"
        exit 0
        ;;
    --make-prefix)
        build=$(cd "${2:?build folder}" 2>/dev/null && pwd) || cannot "no build folder $2"
        ensure_prefix "$build/wine/prefix-win32" win32
        exit 0
        ;;
    --stop-session)
        build=$(cd "${2:?build folder}" 2>/dev/null && pwd) || exit 0
        stop_session "$build"
        exit 0
        ;;
    --arch)
        arch=$(arch_of "${2:?program.exe}") || cannot "$2 is no Windows program"
        echo "$arch $(loader_for "$arch")"
        exit 0
        ;;
    "" | -h | --help)
        sed -n '2,19p' "$0"
        exit 2
        ;;
esac

program=$1
shift
[ -f "$program" ] || { echo "wine-run.sh: no program $program" >&2; exit 2; }
build=$(build_of "$program") || cannot "$program is in no build folder (set OMBREL_WINE_HOME)"
arch=$(arch_of "$program") || cannot "$program is no Windows program"
export WINEPREFIX=$build/wine/prefix-$arch
ensure_prefix "$WINEPREFIX" "$arch"
if [ -z "${DISPLAY:-}" ] && [ -f "$build/wine/display" ]; then
    DISPLAY=$(cat "$build/wine/display")
    export DISPLAY
fi
# GoogleTest's list of tests comes with CR LF line ends from Windows; CMake's
# test discovery wants plain LF.
for argument in "$@"; do
    if [ "$argument" = --gtest_list_tests ]; then
        "$(loader_for "$arch")" "$program" "$@" | tr -d '\r'
        exit "${PIPESTATUS[0]}"
    fi
done
exec "$(loader_for "$arch")" "$program" "$@"
