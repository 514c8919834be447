#!/usr/bin/env bash
# Runs the fuzz targets for a bounded time: run.sh <build dir> <seconds>.
# Two thirds of the time go to the text store, one third to the number rules.
# Seeds for the store are made at run time from the real profiles beside the
# repository (../shared/mach3-profiles); the corpus grows in <build dir>/fuzz-corpus
# across runs, and anything found is kept in <build dir>/fuzz-findings.
set -euo pipefail
# shellcheck source=run_common.sh source-path=SCRIPTDIR
. "$(dirname "$0")/run_common.sh" "$@"
fuzz_folders fuzz-
mkdir -p "$seeds/store" "$seeds/rules" "$corpus/store" "$corpus/rules" "$findings"

byte() { printf "\\$(printf '%03o' "$1")"; }

# A store input: [key length][value length][key][value][profile bytes].
store_seed() {  # name key value profile-file
    { byte "${#2}"; byte "${#3}"; printf '%s%s' "$2" "$3"; head -c 60000 "$4"; } > "$seeds/store/$1"
}

n=0
if [ -d "$profiles" ]; then
    for f in "$profiles"/*.xml; do
        for kv in "<Port1Add>=888" "<Steps6>=7999.999" "Input22Neg=1" "<Input11Port=1" "<JogInc1>=0.01"; do
            n=$((n + 1))
            store_seed "real-$n" "${kv%%=*}" "${kv#*=}" "$f"
        done
    done
else
    echo "note: no real profiles at $profiles; starting from small seeds only"
fi
store_seed "small-1" "<Steps6>" "1" <(printf '<a><Steps6>8000</Steps6></a>')
store_seed "small-2" "Input22Neg" "" <(printf '<XInput22Neg>5</XInput22Neg><Input22Neg>1</Input22Neg>')
for t in "1." "1.e-003" "4.8e+004" " 1 2 3" "0x378" "7FFFFFFF" "2.5E-3" "-.5" "1e400"; do
    n=$((n + 1)); printf '%s' "$t" > "$seeds/rules/seed-$n"
done

store_time=$(( seconds * 2 / 3 > 0 ? seconds * 2 / 3 : 1 ))
rules_time=$(( seconds - store_time > 0 ? seconds - store_time : 1 ))
status=0
run() {  # target seconds max_len corpus seeds dict
    echo "== $1 for $2 s"
    local log="$findings/$1.log" rc=0
    "$build/fuzz/$1" -max_total_time="$2" -max_len="$3" -dict="$repo/fuzz/$6" \
        -artifact_prefix="$findings/$1-" -print_final_stats=1 "$4" "$5" > "$log" 2>&1 || rc=$?
    grep -E '^(Done|stat::number_of_executed_units)|ERROR|SUMMARY|broken' "$log" || true
    if [ "$rc" -ne 0 ]; then
        echo "$1 FAILED (exit $rc); its log: $log"
        status=1
    fi
}
run fuzz_text_store "$store_time" 65536 "$corpus/store" "$seeds/store" store.dict
run fuzz_number_rules "$rules_time" 4096 "$corpus/rules" "$seeds/rules" rules.dict
if [ "$status" -ne 0 ]; then
    echo "A fuzz target failed; the input that broke it is in $findings"
else
    echo "No failure. Corpus: $(ls "$corpus/store" | wc -l) store inputs, $(ls "$corpus/rules" | wc -l) rule inputs."
fi
exit "$status"
