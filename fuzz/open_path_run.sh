#!/usr/bin/env bash
# Runs the fuzz target of the editor's open path for a bounded time:
# open_path_run.sh <build dir> <seconds>. Seeds are the real profiles beside the
# repository (../shared/mach3-profiles) and the editor's test fixtures; the
# corpus grows in <build dir>/open-path-corpus across runs, and anything found
# is kept in <build dir>/open-path-findings.
set -euo pipefail
# shellcheck source=run_common.sh source-path=SCRIPTDIR
. "$(dirname "$0")/run_common.sh" "$@"
fuzz_folders open-path-
mkdir -p "$seeds" "$corpus" "$findings"
if compgen -G "$profiles/*.xml" > /dev/null; then
    cp "$profiles"/*.xml "$seeds"/
else
    echo "note: no real profiles at $profiles; starting from the test fixtures only"
fi
cp "$repo"/tests/editor/fixtures/*.xml "$seeds"/

echo "== fuzz_open_path for $seconds s"
log="$findings/fuzz_open_path.log"
rc=0
# Qt's font caches (fontconfig) live as long as the program: not leaks of the editor.
LSAN_OPTIONS="suppressions=$repo/fuzz/open_path.lsan.supp" \
UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
    "$build/fuzz/fuzz_open_path" -max_total_time="$seconds" -max_len=262144 -rss_limit_mb=4096 \
    -dict="$repo/fuzz/open_path.dict" -artifact_prefix="$findings/open-path-" -print_final_stats=1 \
    "$corpus" "$seeds" > "$log" 2>&1 || rc=$?
grep -E '^(Done|stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb)|open path broken|ERROR|SUMMARY' "$log" || true
if [ "$rc" -ne 0 ]; then
    echo "fuzz_open_path FAILED (exit $rc); its log: $log; the input: $findings"
    exit 1
fi
echo "No failure. Corpus: $(ls "$corpus" | wc -l) inputs."
