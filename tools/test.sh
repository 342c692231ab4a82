#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the unit
# tests, then each fuzz target briefly over its corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
bash tools/build.sh
(cd build && ctest --output-on-failure -j"$(nproc)")

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DZELKOR_FUZZ=ON -DZELKOR_TESTS=OFF -DZELKOR_WERROR=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)"
bash tools/run-fuzzers.sh "${ZELKOR_FUZZ_SECONDS:-20}"
echo "All tests passed."
