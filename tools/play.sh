#!/usr/bin/env bash
# Installs what is missing, builds everything and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
bash tools/build.sh
if [ -x build/app/zelkor ]; then
  exec build/app/zelkor
fi
echo "Zelkor Chess: everything is built, but the game itself is not there yet."
echo "The chess rules are; see README.md for the tests and tools."
