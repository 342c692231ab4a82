#!/usr/bin/env bash
# Builds the project into build/ (warnings are errors).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DZELKOR_WERROR=ON >/dev/null
cmake --build build -j"$(nproc)"
