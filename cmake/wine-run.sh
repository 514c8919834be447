#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in a Wine prefix of the build
# folder's own: the emulator CMake and CTest put in front of every test program.
#
#   wine-run.sh <program.exe> [arguments...]     run it (the prefix is made once if missing)
#   wine-run.sh --make-prefix <build folder>     make the 32-bit prefix if it is missing
#   wine-run.sh --start-session <build folder>   a fresh prefix and a wineserver that stays
#   wine-run.sh --stop-session <build folder>    ends that wineserver
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
    if ! WINEPREFIX=$prefix WINEARCH=$arch wine wineboot --init >"$prefix.log" 2>&1 ||
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
    [ "$magic" = 20b ] && echo win64 || echo win32
}

case "${1:-}" in
    --start-session)
        build=${2:?build folder}
        export WINEPREFIX=$build/wine/prefix-win32
        wineserver -k 2>/dev/null
        exec 9>"$WINEPREFIX.lock"
        flock 9
        make_prefix "$WINEPREFIX" win32
        flock -u 9
        # One server for the whole run: each program then starts in a few ms, not in a second.
        wineserver -p || cannot "wineserver -p did not start"
        exit 0
        ;;
    --make-prefix)
        build=${2:?build folder}
        ensure_prefix "$build/wine/prefix-win32" win32
        exit 0
        ;;
    --stop-session)
        build=${2:?build folder}
        WINEPREFIX=$build/wine/prefix-win32 wineserver -k 2>/dev/null
        exit 0
        ;;
    "" | -h | --help)
        sed -n '2,15p' "$0"
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
# GoogleTest's list of tests comes with CR LF line ends from Windows; CMake's
# test discovery wants plain LF.
for argument in "$@"; do
    if [ "$argument" = --gtest_list_tests ]; then
        wine "$program" "$@" | tr -d '\r'
        exit "${PIPESTATUS[0]}"
    fi
done
exec wine "$program" "$@"
