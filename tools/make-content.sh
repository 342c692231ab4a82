#!/usr/bin/env bash
# Regenerates the game's content under data/: the piece images, every other
# picture, the fonts, the splash, then packs zelkor.dat (every record
# encrypted under the game's password) beside zelkor.def; then the two
# music themes and the eight sound effects. The output is the
# same on every run; the result is committed, so building the game never
# needs this.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build -DZELKOR_WERROR=ON >/dev/null
cmake --build build -j"$(nproc)" --target zelkor-artgen zelkor-pack zelkor-musicgen
build/tools/artgen/zelkor-artgen pieces data --threads "$(nproc)"
build/tools/artgen/zelkor-artgen content data
build/tools/pack/zelkor-pack create data/zelkor.dat data/content.manifest --iv-seed zelkor-content
build/tools/pack/zelkor-pack verify data/zelkor.dat
build/tools/musicgen/zelkor-musicgen data
