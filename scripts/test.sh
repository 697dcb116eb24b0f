#!/usr/bin/env bash
# Builds everything and runs every test: the release build, the whole suite under
# AddressSanitizer + UndefinedBehaviorSanitizer, and the threading tests under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

jobs=$(nproc)
run_ctest() {
    local tree=$1; shift
    # Tests that need an X server get a virtual one; the others ignore it.
    if command -v xvfb-run >/dev/null 2>&1; then
        xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$tree" --output-on-failure -j"$jobs" "$@"
    else
        ctest --test-dir "$tree" --output-on-failure -j"$jobs" "$@"
    fi
}

echo "== release build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DTUMBLET_SANITIZE="address;undefined" -DTUMBLET_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_ctest build-asan

echo "== ThreadSanitizer (tests labelled 'threads')"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DTUMBLET_SANITIZE=thread -DTUMBLET_BUILD_BENCH=OFF >/dev/null
cmake --build build-tsan -j"$jobs" --target Tumblet tumblet_threads_tests_all
TSAN_OPTIONS=halt_on_error=1 run_ctest build-tsan -L threads
