#!/usr/bin/env bash
# Builds everything and runs every test: the release build, the whole suite under
# AddressSanitizer + UndefinedBehaviorSanitizer, and the threading tests under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

# The X11 tests need a virtual X server and xdotool; without them they could only skip, and a
# machine that cannot run them must not look green.
for tool in xvfb-run xdotool; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "test.sh: $tool is not on PATH; the editor's X11 tests cannot run without it" >&2
        echo "(install-deps.sh installs it: packages xvfb and xdotool)" >&2
        exit 1
    fi
done

jobs=$(nproc)
passed=0
summary=$(mktemp)
trap 'rm -f "$summary"' EXIT
run_ctest() {
    local tree=$1; shift
    # Tests that need an X server get a virtual one; the others ignore it.
    xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$tree" --output-on-failure -j"$jobs" "$@" | tee "$summary"
    local count
    count=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$summary" | tail -n 1)
    passed=$((passed + ${count:-0}))
}

echo "== layer order of includes"
./scripts/check-layers.sh

echo "== formatting (.clang-format)"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

echo "== release build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"

echo "== soak test, real hosts (Ardour, jalv), the user's files and the Debian package on the release build"
ctest --test-dir build --output-on-failure -L 'soak|hosts|userfiles|package' | tee "$summary"
passed=$((passed + $(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$summary" | tail -n 1)))

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DTUMBLET_SANITIZE="address;undefined" -DTUMBLET_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_ctest build-asan -LE userfiles

echo "== ThreadSanitizer (tests labelled 'threads')"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DTUMBLET_SANITIZE=thread -DTUMBLET_BUILD_BENCH=OFF >/dev/null
cmake --build build-tsan -j"$jobs" --target Tumblet tumblet_threads_tests_all
TSAN_OPTIONS=halt_on_error=1 run_ctest build-tsan -L threads

# A short run of every fuzz target when clang's fuzzer runtime is there; the long runs are
# done by hand (see fuzz/README.md).
fuzzer_runtime=$(clang++ -print-file-name=libclang_rt.fuzzer-x86_64.a 2>/dev/null || true)
if command -v clang++ >/dev/null 2>&1 && [ -f "$fuzzer_runtime" ]; then
    echo "== fuzzing (${TUMBLET_FUZZ_SECONDS:-60} s per target)"
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTUMBLET_BUILD_FUZZ=ON -DTUMBLET_SANITIZE="address;undefined" \
        -DTUMBLET_BUILD_TESTS=OFF -DTUMBLET_BUILD_BENCH=OFF >/dev/null
    cmake --build build-fuzz -j"$jobs" --target tumblet_fuzz_all
    for target in build-fuzz/tumblet_*_fuzz; do
        name=$(basename "$target" | sed -e 's/^tumblet_//' -e 's/_fuzz$//')
        seeds=$(ls -d fuzz/*/corpus 2>/dev/null | grep -E "fuzz/${name%%_*}[^/]*/corpus" | head -n 1 || true)
        work=$(mktemp -d)
        echo "-- $target"
        "$target" -max_total_time="${TUMBLET_FUZZ_SECONDS:-60}" -print_final_stats=1 \
            "$work" ${seeds:+"$seeds"} 2>&1 | tail -n 12
        rm -rf "$work"
    done
else
    echo "== fuzzing skipped: clang's fuzzer runtime is not installed"
fi

# Every stage above stops the script on a failure, so reaching here means all passed.
echo
echo "binaries: $passed passed, 0 failed"
