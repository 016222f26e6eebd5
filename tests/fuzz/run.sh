#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time on a copy of its seed
# corpus. Usage: tests/fuzz/run.sh [SECONDS per target] [parallel JOBS]
# Any crash, sanitizer report, hang (no progress for 25 s) or memory blow-up fails the run;
# the input that caused it is kept in build/fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
secs=${1:-60}
jobs=${2:-2}
build=$root/build/fuzz

cmake -S tests/fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$jobs" >/dev/null

mkdir -p "$build/artifacts" "$build/logs"
targets=()
for src in tests/fuzz/fuzz_*.cpp; do
  targets+=("$(basename "$src" .cpp)")
done

run_one() {
  local t=$1 name=${1#fuzz_}
  mkdir -p "$build/corpus/$name"
  local seeds=$root/tests/fuzz/corpus/$name
  [ -d "$seeds" ] || seeds=
  if timeout --kill-after=10 $((secs + 60)) "$build/$t" -max_total_time="$secs" -timeout=25 \
       -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 \
       -artifact_prefix="$build/artifacts/$name-" "$build/corpus/$name" $seeds \
       >"$build/logs/$name.log" 2>&1; then
    echo "$t: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$build/logs/$name.log" | grep -o '[0-9]*$') runs in ${secs}s, no fault"
  else
    echo "$t: FAULT (log: $build/logs/$name.log)"
    grep -E 'runtime error|fault|ERROR|SUMMARY|Test unit written' "$build/logs/$name.log" | head -20
    return 1
  fi
}
export -f run_one
export build root secs

# Each target is one process; run as many at once as there are jobs.
printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one {}'
