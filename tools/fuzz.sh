#!/bin/sh
# Runs the fuzz targets of a fuzz build tree:
#   tools/fuzz.sh BUILD_DIR SECONDS
# Each target first replays its committed inputs (fuzz/corpus/<target> and
# fuzz/regressions/<target>), then fuzzes for SECONDS, starting from them.
# New inputs go to BUILD_DIR/work/<target>, never into the committed
# corpus; an input that fails lands in BUILD_DIR/findings/<target>/ and the
# run stops with an error. Commit such an input to fuzz/regressions/<target>
# once it is mended.
set -eu

build=$1
seconds=$2
here=$(cd "$(dirname "$0")/.." && pwd)
: > "$build/executions.txt"

for target in table_stream archive title_classifier; do
    fuzzer="$build/fuzz/${target}_fuzzer"
    corpus="$here/fuzz/corpus/$target"
    regressions="$here/fuzz/regressions/$target"
    work="$build/work/$target"
    findings="$build/findings/$target"
    mkdir -p "$work" "$findings" "$regressions"
    options="-malloc_limit_mb=64 -artifact_prefix=$findings/"

    inputs=$(find "$corpus" "$regressions" -type f ! -name README.md | sort)
    echo "== $target: replaying $(echo "$inputs" | wc -l) committed inputs"
    # shellcheck disable=SC2086
    "$fuzzer" $options $inputs > "$build/$target-replay.log" 2>&1 || {
        cat "$build/$target-replay.log"
        exit 1
    }

    echo "== $target: fuzzing for $seconds s"
    # shellcheck disable=SC2086
    "$fuzzer" $options -max_total_time="$seconds" -print_final_stats=1 \
        "$work" "$corpus" "$regressions" > "$build/$target-fuzz.log" 2>&1 || {
        tail -n 60 "$build/$target-fuzz.log"
        echo "$target: a finding; the input is in $findings" >&2
        exit 1
    }
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$build/$target-fuzz.log" |
        sed "s/^/   $target /"
    echo "$target $(grep '^stat::number_of_executed_units' "$build/$target-fuzz.log" |
        awk '{print $2}') executions in $seconds s" >> "$build/executions.txt"
done
