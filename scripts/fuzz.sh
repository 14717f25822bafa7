#!/usr/bin/env bash
# make fuzz: builds the fuzz targets with clang, libFuzzer and both sanitizers in build-fuzz/,
# makes their seed corpora, then runs each target for FUZZ_SECONDS seconds (60 by default).
# A target that crashes fails the run; its input is kept as build-fuzz/crashes/<target>/crash-*.
# FUZZ_TARGETS="wavefile textfile" runs only those.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
targets=(${FUZZ_TARGETS:-storefile datafile wavefile textfile speechfilter lexiconfile documents})

bash scripts/install-deps.sh
bash scripts/install-deps.sh scripts/fuzz-packages.txt
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILL_FUZZ=ON -DQUILL_BUILD_TESTS=OFF -DQUILL_BUILD_BENCH=OFF >/dev/null
# Only the targets and the libraries they need.
cmake --build build-fuzz --target fuzz_targets --parallel "$(nproc)"
bash scripts/fuzz-seeds.sh build-fuzz/corpus

# Sanitizer reports end the input as a crash; leaks are reported too.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$(pwd)/scripts/sanitize/lsan.supp:print_suppressions=0"
# The targets hand the program their inputs as files: in memory when possible, for speed.
if [[ -d /dev/shm && -w /dev/shm ]]; then
  export TMPDIR=/dev/shm
fi
failed=()
for t in "${targets[@]}"; do
  crashes=build-fuzz/crashes/$t
  mkdir -p "$crashes"
  log=build-fuzz/fuzz-$t.log
  echo "== $t: $seconds s (log in $log)"
  # Inputs up to 64 KiB: larger ones only slow the search. Memory is bounded so that a run
  # that would exhaust it counts as a failure.
  if build-fuzz/bin/${t}_fuzz build-fuzz/corpus/$t -max_total_time="$seconds" -max_len=65536 \
      -rss_limit_mb=2048 -timeout=25 -print_final_stats=1 -artifact_prefix="$crashes/" \
      >"$log" 2>&1; then
    grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec)' "$log" || true
  else
    failed+=("$t")
    tail -n 40 "$log"
    echo "$t FAILED; input kept in: $(ls -t "$crashes" | head -n 1 | sed "s|^|$crashes/|")"
  fi
done
if ((${#failed[@]} > 0)); then
  echo "fuzz targets that failed: ${failed[*]}" >&2
  exit 1
fi
echo "All fuzz targets ran $seconds s without a failure."
