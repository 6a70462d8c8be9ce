#!/bin/sh
# Runs every fuzz target for the given number of seconds; fails when any of them finds a crash.
# usage: fuzz/run.sh BUILD_DIR SECONDS
build=$1
seconds=${2:-60}
failed=0
for target in "$build"/bin/*_fuzzer; do
    name=$(basename "$target")
    corpus="$build/corpus/$name"
    log="$build/$name.log"
    mkdir -p "$corpus"
    echo "== $name: $seconds s"
    if "$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$build/$name-" "$corpus" > "$log" 2>&1; then
        grep -E 'stat::number_of_executed_units|Done' "$log"
    else
        tail -n 40 "$log"
        echo "$name: FINDING (see $log)"
        failed=1
    fi
done
[ "$failed" = 0 ] && echo "all fuzz targets ran without a finding"
exit "$failed"
