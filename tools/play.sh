#!/usr/bin/env bash
# Installs what is missing, builds everything and starts the game. Works
# from any folder: the game reads its content from the folder it starts
# in, so it is started in the one that holds it (beside the program).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
bash tools/build.sh
cd build/app
exec ./zelkor-chess "$@"
