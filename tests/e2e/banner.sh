#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real program shows a partner card at the bottom left of its window; a click beside the card
# opens nothing, a click on the card opens that partner's page in the browser. The browser is a
# stand-in xdg-open that writes down the address it was given.
set -euo pipefail
source "$(dirname "$0")/../e2e-common.bash"

mkdir -p "$workdir/bin"
cat >"$workdir/bin/xdg-open" <<EOF
#!/bin/sh
echo "\$1" >>"$workdir/opened"
EOF
chmod +x "$workdir/bin/xdg-open"
export PATH="$workdir/bin:$PATH"

start_parcelo
screenshot "$workdir/shot.png"

# Finds the card by its ground colour in the bottom-left quarter of the window, and prints the
# partner's name, the card's centre and a point in the margin just below it, relative to the window.
read -r x y w h < <(geometry)
read -r partner card_x card_y below_x below_y < <(
    convert "$workdir/shot.png" -crop "$((w / 2))x$((h / 2))+${x}+$((y + h / 2))" +repage -depth 8 rgb:- |
        python3 -c '
import sys
w, h, top = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])
data = sys.stdin.buffer.read()
grounds = {"booking": (0xE4, 0xEB, 0xFA), "expedia": (0xFF, 0xF1, 0xC7),
           "tripadvisor": (0xDD, 0xF2, 0xE7), "walgreens": (0xFA, 0xDC, 0xDC)}
best = None
for name, colour in grounds.items():
    colour = bytes(colour)
    points = [(i % w, i // w) for i in range(w * h) if data[i * 3:i * 3 + 3] == colour]
    if len(points) > 5000 and (best is None or len(points) > len(best[1])):
        best = (name, points)
if best is None:
    sys.exit("no partner card found")
xs = [p[0] for p in best[1]]
ys = [p[1] for p in best[1]]
cx, cy = (min(xs) + max(xs)) // 2, top + (min(ys) + max(ys)) // 2
print(best[0], cx, cy, cx, top + max(ys) + 10)
' "$((w / 2))" "$((h / 2))" "$((h / 2))"
) || fail "no partner card in the bottom-left quarter"

click_at "$below_x" "$below_y"
click_at "$card_x" "$card_y"
for _ in $(seq 50); do
    [ -s "$workdir/opened" ] && break
    sleep 0.1
done
[ -s "$workdir/opened" ] || fail "a click on the $partner card opened nothing"
# Clicks are handled in order, so by now the margin click would have been written down too.
sleep 0.3
opened=$(cat "$workdir/opened")
[ "$opened" = "https://www.$partner.com/" ] || fail "the $partner card opened: $opened"
echo "banner: the $partner card opened $opened"
