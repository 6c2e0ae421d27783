#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; then runs the tests
# once more under AddressSanitizer and UndefinedBehaviorSanitizer, and fuzzes
# the readers, encoders and parsers for a short fixed time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
JOBS=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLEDCOUNTER_WERROR=ON
cmake --build build -j "$JOBS"
ctest --test-dir build --output-on-failure --no-tests=error -j "$JOBS"
# Soak: 10,000 exchanges through one long-lived call service; fails when its
# memory, descriptors or per-call time grow (about 20 s).
build/bin/soak_bench

if [ "${LEDCOUNTER_SKIP_SANITIZE:-0}" != 1 ]; then
  # The optimised build above is the warnings gate; this one only looks for faults at run time.
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLEDCOUNTER_SANITIZE=ON -DLEDCOUNTER_BENCH=OFF \
    -DLEDCOUNTER_WERROR=OFF
  cmake --build build-asan -j "$JOBS"
  # Leaks are checked too, in the tests and in the ledctl and ledsim they start.
  # tests/lsan.supp may list leaks inside system libraries only; ours are fixed.
  ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" \
    UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure --no-tests=error -j "$JOBS"
fi

if [ "${LEDCOUNTER_SKIP_FUZZ:-0}" != 1 ]; then
  # libFuzzer needs clang; its build directory is its own. Each target first
  # runs its regression inputs, then fuzzes for LEDCOUNTER_FUZZ_SECONDS on a
  # copy of its corpus.
  cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DLEDCOUNTER_FUZZ=ON -DLEDCOUNTER_FUZZ_SECONDS="${LEDCOUNTER_FUZZ_SECONDS:-20}"
  cmake --build build-fuzz -j "$JOBS" --target fuzzers
  ctest --test-dir build-fuzz -L fuzz --output-on-failure --no-tests=error -j "$JOBS"
  for log in build-fuzz/fuzz/work/*/fuzz.log; do
    printf '%-16s %s\n' "$(basename "$(dirname "$log")")" "$(grep -m1 'DONE ' "$log" || echo '(no final stats)')"
  done
fi
