#!/usr/bin/env bash
# Remakes docs/screenshot.png: the real program in its own Xvfb, with a few files listed.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${PARCELO_SCREENSHOT_XVFB:-}" ]; then
    bash scripts/setup.sh
    bash scripts/build.sh build
    PARCELO_SCREENSHOT_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0"
fi

out=$PWD/docs/screenshot.png
source tests/e2e-common.bash "$PWD/build/parcelo" "$PWD/build"
mkdir -p "$workdir/Holiday"
for name in itinerary.pdf beach.jpg packing-list.docx tickets.txt budget_summary_2026.xlsx; do
    head -c $((40000 + RANDOM * 20)) /dev/urandom >"$workdir/Holiday/$name"
done
start_parcelo
for name in itinerary.pdf beach.jpg packing-list.docx tickets.txt budget_summary_2026.xlsx; do
    find_buttons
    pick_file "$workdir/Holiday/$name"
done
xdotool mousemove 1279 1023
sleep 0.5
mkdir -p docs
import -window "$window" "$out"
echo "wrote $out"
