#!/usr/bin/env bash
# make test-sanitize: the whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer
# in a folder of its own (build-sanitize/), leak checking on. Any report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILL_SANITIZE=address,undefined \
    -DQUILL_BUILD_BENCH=OFF >/dev/null
cmake --build build-sanitize --parallel "$(nproc)"
source scripts/audio-server.sh
here=$(pwd)
# Stop at the first report of either sanitizer, so that a report is a failed test.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:suppressions=$here/scripts/sanitize/ubsan.supp"
export LSAN_OPTIONS="suppressions=$here/scripts/sanitize/lsan.supp:print_suppressions=0"
cd build-sanitize
ctest --output-on-failure --timeout 900 -j "$(nproc)"
