#!/bin/sh
# Runs one fuzz target for a bounded time:
#   run_fuzzer.sh FUZZER SEEDS WORK SECONDS [libFuzzer options...]
# New inputs go to WORK/corpus, not to the committed SEEDS, and carry over to
# the next run of this build; an input that fails is kept in WORK/failed/.
set -eu
fuzzer=$1 seeds=$2 work=$3 seconds=$4
shift 4
[ -x "$fuzzer" ] || { echo "no fuzz target at $fuzzer: run scripts/build.sh" >&2; exit 1; }
mkdir -p "$work/corpus" "$work/failed"
exec "$fuzzer" -max_total_time="$seconds" -runs=20000000 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$work/failed/" "$@" "$work/corpus" "$seeds"
