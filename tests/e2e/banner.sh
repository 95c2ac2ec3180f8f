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
w, h, top = map(int, sys.argv[1:])
data = sys.stdin.buffer.read()
grounds = {"booking": b"\xE4\xEB\xFA", "expedia": b"\xFF\xF1\xC7", "tripadvisor": b"\xDD\xF2\xE7", "walgreens": b"\xFA\xDC\xDC"}
cards = {name: [(i % w, i // w) for i in range(w * h) if data[i * 3:i * 3 + 3] == ground] for name, ground in grounds.items()}
name, points = max(cards.items(), key=lambda card: len(card[1]))
if len(points) <= 5000:
    sys.exit("no partner card found")
xs, ys = [p[0] for p in points], [p[1] for p in points]
cx, cy = (min(xs) + max(xs)) // 2, top + (min(ys) + max(ys)) // 2
print(name, cx, cy, cx, top + max(ys) + 10)
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
