#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real program shows a partner card at the bottom left of its window; a click beside the card
# opens nothing, a click on the card opens that partner's page in the browser. The browser is a
# stand-in xdg-open that writes down the address it was given.
set -euo pipefail
source "$(dirname "$0")/../e2e-common.bash"

stand_in_opener
start_parcelo

# Finds the card by its ground colour in the bottom-left quarter of the window, and prints the
# partner's name, the card's centre and a point in the margin just below it, relative to the window.
read -r partner card_x card_y below_x below_y < <(scan_window '
grounds = {"booking": b"\xE4\xEB\xFA", "expedia": b"\xFF\xF1\xC7", "tripadvisor": b"\xDD\xF2\xE7", "walgreens": b"\xFA\xDC\xDC"}
quarter = [(c, r) for r in range(h // 2, h) for c in range(w // 2)]
cards = {name: [p for p in quarter if px(*p) == ground] for name, ground in grounds.items()}
name, points = max(cards.items(), key=lambda card: len(card[1]))
if len(points) <= 5000:
    sys.exit("no partner card found")
xs, ys = [p[0] for p in points], [p[1] for p in points]
print(name, (min(xs) + max(xs)) // 2, (min(ys) + max(ys)) // 2, (min(xs) + max(xs)) // 2, max(ys) + 10)
') || fail "no partner card in the bottom-left quarter"

click_at "$below_x" "$below_y"
click_at "$card_x" "$card_y"
tries=50 retry test -s "$workdir/opened" || fail "a click on the $partner card opened nothing"
# Clicks are handled in order, so by now the margin click would have been written down too.
sleep 0.3
opened=$(cat "$workdir/opened")
[ "$opened" = "https://www.$partner.com/" ] || fail "the $partner card opened: $opened"
echo "banner: the $partner card opened $opened"
