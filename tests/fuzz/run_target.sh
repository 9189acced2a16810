#!/bin/sh
# Runs one fuzz target for a number of seconds: its growing corpus lives in
# build/fuzz/corpus/<target> (seeded from tests/fuzz/corpus/<target>), a
# crash goes to build/fuzz/crashes/<target>/, the fuzzer's output to
# build/fuzz/<target>.log. Prints the executions and exits non-zero when the
# target crashed. Usage: run_target.sh <build dir> <target> <seconds>
set -u
# Absolute paths: the targets work in a directory of their own.
build=$(cd "$1" && pwd) target=$2 seconds=$3
seeds=$(cd "$(dirname "$0")" && pwd)/corpus/$target
program=$build/tests/fuzz/${target}_fuzz
corpus=$build/corpus/$target
crashes=$build/crashes/$target
log=$build/$target.log
mkdir -p "$corpus" "$crashes"
# Standard output is the engine's chatter; standard input stays closed so
# the engine never waits on a terminal.
"$program" "$corpus" "$seeds" -max_total_time="$seconds" -timeout=30 \
  -rss_limit_mb=2560 -close_fd_mask=1 -print_final_stats=1 -artifact_prefix="$crashes/" \
  </dev/null >"$log" 2>&1
status=$?
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
echo "fuzz $target: ${runs:-?} executions in ${seconds}s, exit $status"
if [ $status -ne 0 ]; then
  echo "  crash input(s) in $crashes; report in $log:"
  grep -m 5 -E 'ERROR|runtime error|fuzz property failed|SUMMARY' "$log" | sed 's/^/  /'
fi
exit $status
