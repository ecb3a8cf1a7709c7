#!/usr/bin/env bash
# Starts the editor on the demo catalogue under a virtual display and saves screenshots of the
# whole screen, to see what a user sees: tools/screenshot.sh [OUT.png]
# Besides OUT.png (a group expanded to its manufacturers, its articles in the grid) it saves
# OUT-options.png with the Options dialog open (Verktyg > Alternativ).
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-build/screenshot.png}"

scripts/install-deps.sh xvfb xauth imagemagick xdotool
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target kvistbo
mkdir -p build/demo
cp examples/demo.tds examples/demo.tdx build/demo/
build/kvistbo --import build/demo/demo.tds --force

xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    build/kvistbo build/demo/demo.tdb &
    pid=$!
    sleep "${SCREENSHOT_DELAY:-3}"
    # Pick the second group and open it: a click shows its articles, a double-click expands it.
    # The window opens centred on the screen, so the clicks are relative to it.
    win=$(xdotool search --name Ravelund | head -1)
    xdotool mousemove --window "$win" 60 112 click 1 sleep 0.5 click --repeat 2 1 sleep 0.5 \
        mousemove --window "$win" 60 132 click 1
    sleep 1
    import -window root "$0"
    xdotool search --name Ravelund windowfocus --sync 2>/dev/null || true
    xdotool key alt+k t
    sleep 1
    import -window root "${0%.png}-options.png"
    kill $pid
' "$out"
echo "$out"
