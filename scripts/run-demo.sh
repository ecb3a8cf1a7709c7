#!/usr/bin/env bash
# Installs what is missing, builds the editor, imports the demo catalogue and starts the editor
# on it. The demo is imported into build/demo so the repository stays clean.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target kvistbo

mkdir -p build/demo
cp examples/demo.tds examples/demo.tdx build/demo/
build/kvistbo --import build/demo/demo.tds --force
exec build/kvistbo build/demo/demo.tdb "$@"
