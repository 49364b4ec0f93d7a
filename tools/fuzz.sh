#!/usr/bin/env bash
# Builds the fuzz targets natively with clang (libFuzzer, ASan, UBSan) into
# build/fuzz and runs each for SECONDS (default 20) on its seed corpus.
#   tools/fuzz.sh                  every target, 20 s each
#   tools/fuzz.sh 1800             every target, 30 minutes each, one after another
#   tools/fuzz.sh 1800 fuzz_wav    one target
# New inputs found go to build/fuzz/corpus/<target>/ (the seeds in
# fuzz/corpus/ are only read); a crash, leak or time-out is written as
# build/fuzz/artifacts/<target>/crash-*, leak-* or timeout-*, and the script
# fails. FUZZ_JOBS=N runs that many targets at once.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-20}"
shift || true
build="$top/build/fuzz"

CC=clang CXX=clang++ cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARN_FUZZ=ON >/dev/null
cmake --build "$build" -j "${FUZZ_BUILD_JOBS:-2}" >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for d in "$top"/fuzz/corpus/*/; do targets+=("$(basename "$d")"); done
fi

runone() {
  local t="$1" work="$build/corpus/$1" found="$build/artifacts/$1"
  mkdir -p "$work" "$found"
  # -timeout: one input taking over 30 s counts as a hang (every seed takes
  # well under a second; the margin is for a busy machine); -rss_limit_mb: a
  # reader asking for a huge buffer counts as a fault.
  if "$build/fuzz/$t" "$work" "$top/fuzz/corpus/$t" -max_total_time="$seconds" \
       -timeout=30 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
       -artifact_prefix="$found/" >"$build/$t.log" 2>&1; then
    echo "fuzz: $t: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$build/$t.log" | grep -o '[0-9]*$') runs, no fault"
  else
    echo "fuzz: $t: FAULT (see $build/$t.log and $found/)"
    grep -m3 -E 'ERROR|SUMMARY|property broken' "$build/$t.log" || true
    return 1
  fi
}

status=0
jobs="${FUZZ_JOBS:-1}"
pids=()
for t in "${targets[@]}"; do
  runone "$t" & pids+=($!)
  if [ ${#pids[@]} -ge "$jobs" ]; then
    wait "${pids[0]}" || status=1
    pids=("${pids[@]:1}")
  fi
done
for p in "${pids[@]}"; do wait "$p" || status=1; done
exit $status
