#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the unit
# tests (with the benchmark's expected moves and node counts), the same
# again under AddressSanitizer and UBSan, the threaded tests under
# ThreadSanitizer, then each fuzz target briefly over its corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
bash tools/build.sh
# Drawing tests read back from the real OpenGL device: a virtual display
# (Xvfb, Mesa's software renderer) stands in for a screen.
(cd build && xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --output-on-failure -j"$(nproc)")

# Everything again under AddressSanitizer and UBSan, but the long
# regeneration and benchmark checks. Leaks are checked too, except in the
# tests that drive the graphics driver, whose own allocations outlive them.
cmake -S . -B build-asan -DZELKOR_SANITIZE=address,undefined -DZELKOR_WERROR=ON >/dev/null
cmake --build build-asan -j"$(nproc)"
export UBSAN_OPTIONS="print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp"
(cd build-asan && ASAN_OPTIONS="detect_leaks=1" xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
  ctest --output-on-failure -j"$(nproc)" -LE "display|heavy")
(cd build-asan && ASAN_OPTIONS="detect_leaks=0" xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
  ctest --output-on-failure -j"$(nproc)" -L display -LE heavy)
unset UBSAN_OPTIONS LSAN_OPTIONS

# The threads again under ThreadSanitizer: the worker hand-off, the
# platform's thread, queue and timers, the UCI session's searcher, and the
# audio mixer's thread against the music worker and the main thread.
cmake -S . -B build-tsan -DZELKOR_SANITIZE=thread -DZELKOR_WERROR=ON >/dev/null
cmake --build build-tsan -j"$(nproc)" --target test_platform test_chess test_uci test_audio
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
build-tsan/tests/test_platform --gtest_brief=1
build-tsan/tests/test_chess --gtest_brief=1 --gtest_filter='EngineHandOff*:EngineIdle*:CustomEngine*'
build-tsan/tests/test_uci --gtest_brief=1
build-tsan/tests/test_audio --gtest_brief=1
unset TSAN_OPTIONS

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DZELKOR_FUZZ=ON -DZELKOR_TESTS=OFF -DZELKOR_WERROR=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)"
bash tools/run-fuzzers.sh "${ZELKOR_FUZZ_SECONDS:-20}"
echo "All tests passed."
