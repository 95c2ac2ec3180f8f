#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a command in an Xvfb of its own: with-xvfb.sh WxHxD command... The display number is drawn
# at random from a wide range rather than taken as the lowest free one: a server that is still
# shutting down removes its socket after another run has taken its number, which left that run
# unable to connect. The command starts only once the server answers; -noreset keeps the server
# from resetting when that first client leaves, which refused the program's own connection.
set -euo pipefail
screen=$1
shift
server=
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true' EXIT
for _ in $(seq 1 20); do
    display=$((1000 + (RANDOM * 32768 + RANDOM) % 30000))
    Xvfb ":$display" -screen 0 "$screen" -nolisten tcp -noreset 2>/dev/null &
    server=$!
    for _ in $(seq 1 300); do
        kill -0 "$server" 2>/dev/null || break
        if xdpyinfo -display ":$display" >/dev/null 2>&1 && kill -0 "$server" 2>/dev/null; then
            DISPLAY=:$display "$@"
            exit
        fi
        sleep 0.1
    done
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
done
echo "with-xvfb: no Xvfb could be started" >&2
exit 1
