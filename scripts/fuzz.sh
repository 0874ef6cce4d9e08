#!/usr/bin/env bash
# Runs every fuzz target of a build made with -DSPLITTER_FUZZ=ON for a bounded time each,
# starting from its seed corpus (which it leaves as it is). A broken rule or a crash fails
# the run and prints the input in hexadecimal, to be added to tests/fuzz/corpus/<target>/.
#   scripts/fuzz.sh BUILD_DIR [SECONDS_PER_TARGET] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
seconds=${2:-60}
shift $(($# < 2 ? $# : 2))
targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
    targets=(script_reader checksum_files piece_names merge_decision recovery_index)
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
for target in "${targets[@]}"; do
    mkdir -p "$work/$target/corpus" "$work/$target/found"
    echo "Fuzzing $target for $seconds s"
    if ! "$build/tests/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$work/$target/found/" \
        "$work/$target/corpus" "tests/fuzz/corpus/$target" >"$work/$target/log" 2>&1; then
        failed=1
        grep -E "rule broken|ERROR:|SUMMARY:" "$work/$target/log" | head -20 || tail -30 "$work/$target/log"
        for input in "$work/$target/found"/*; do
            [ -f "$input" ] || continue
            echo "$target: the input that broke it, $(stat -c %s "$input") bytes, in hex:"
            od -An -tx1 -v "$input"
        done
    else
        grep -E "^stat::number_of_executed_units" "$work/$target/log" || true
    fi
done
exit "$failed"
