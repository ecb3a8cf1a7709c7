#!/usr/bin/env bash
# Takes the user guide's screenshots anew from the demo catalogue under a virtual display:
# tools/help-screenshots.sh [OUTDIR]   (default docs/help)
#   huvudfonster.png  a group opened to its manufacturers, two articles edited (✎, tree locked)
#   sokning.png       the find bar (Ctrl+F) with the hits for "nordel"
# Each picture is the window alone, 1000×620, reduced to 256 colours to stay small.
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/help}"

scripts/install-deps.sh xvfb xauth imagemagick xdotool
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target kvistbo

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/demo" "$work/config" "$out"
cp examples/demo.tds examples/demo.tdx "$work/demo/"
# A fresh user: no stored window, colours or columns from whoever runs this.
export XDG_CONFIG_HOME="$work/config"
build/kvistbo --import "$work/demo/demo.tds" --force

xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    set -euo pipefail
    work=$0
    build/kvistbo "$work/demo/demo.tdb" &
    pid=$!
    trap "kill $pid 2>/dev/null || true" EXIT
    for _ in $(seq 50); do
        win=$(xdotool search --name Ravelund 2>/dev/null | head -1) && [ -n "$win" ] && break
        sleep 0.2
    done
    sleep "${SCREENSHOT_DELAY:-2}"
    # Without a window manager the window sits where it is put, so the clicks below hit.
    xdotool windowmove "$win" 0 0 windowsize "$win" 1000 620
    sleep 0.5
    xdotool windowfocus --sync "$win"
    shot() { import -window "$win" "$work/$1"; }

    # Kontaktorer (the fifth tree row): show it, open it to its manufacturers.
    xdotool mousemove --window "$win" 98 140 click 1 sleep 0.5 click --repeat 2 1 sleep 0.5
    xdotool mousemove --window "$win" 98 140 click 1 sleep 0.8
    # Edit ARTNR of the second and the fourth article.
    edit() {
        xdotool mousemove --window "$win" 775 "$1" click --repeat 2 1 sleep 0.4 key ctrl+a
        xdotool type --delay 30 "$2"
        xdotool key Return
        sleep 0.4
    }
    edit 123 NK-12-230A-2
    edit 161 SC-K32-230A-2
    xdotool mousemove --window "$win" 900 450
    sleep 0.5
    shot huvudfonster.png
    # Back to what is stored, so the find below asks nothing.
    xdotool key ctrl+z
    sleep 0.5

    # The find bar: Ctrl+F over the grid, a text, Enter.
    xdotool mousemove --window "$win" 500 300 click 1 sleep 0.3 key ctrl+f sleep 0.5
    xdotool type --delay 40 nordel
    xdotool key Return
    sleep 1
    shot sokning.png
' "$work"

for name in huvudfonster.png sokning.png; do
    if command -v pngquant >/dev/null; then
        pngquant --force --quality 70-95 --output "$out/$name" "$work/$name"
    else
        convert "$work/$name" -colors 256 -strip "PNG8:$out/$name"
    fi
    echo "$out/$name: $(stat -c %s "$out/$name") byte"
done
