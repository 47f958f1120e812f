#!/usr/bin/env bash
# Runs fuzz targets of a fuzzing build, each for a number of seconds, from its seed corpus in fuzz/corpus/.
#   tools/fuzz.sh BUILD_FOLDER SECONDS [NAME...]     NAME as in fuzz/corpus/ (all of them when none is given)
# New inputs gather in BUILD_FOLDER/fuzz-work/NAME/corpus; crashes land in BUILD_FOLDER/fuzz-work/NAME/.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$1"
seconds="$2"
shift 2
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
    for d in "$here"/fuzz/corpus/*/; do names+=("$(basename "$d")"); done
fi

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen

passed=0
failed=0
for name in "${names[@]}"; do
    work="$build/fuzz-work/$name"
    mkdir -p "$work/corpus"
    log="$work/last-run.log"
    # The seed corpus is only read; what the run finds goes into the work corpus.
    if "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$work/" "$work/corpus" "$here/fuzz/corpus/$name" >"$log" 2>&1; then
        echo "fuzz_$name: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') runs in ${seconds} s, no failure"
        passed=$((passed + 1))
    else
        echo "fuzz_$name: FAILED (log $log)"
        tail -n 60 "$log"
        failed=$((failed + 1))
    fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
