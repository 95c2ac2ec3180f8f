# SPDX-License-Identifier: MIT
# Shared steps of the end-to-end scripts: they run under xvfb-run, with the program's path as $1.

parcelo=$1
builddir=$2
# Where the buttons sit in the 980 x 660 window, relative to its top-left corner.
cancel_x=784
cancel_y=463
workdir=$(mktemp -d)
pid=
trap 'cleanup' EXIT

cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$workdir"
}

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Starts the program from an unrelated folder and sets $pid and $window.
start_parcelo() {
    (cd "$workdir" && exec "$parcelo" "$@" >"$workdir/log" 2>&1) &
    pid=$!
    window=
    for _ in $(seq 100); do
        window=$(xdotool search --onlyvisible --name '^Parcelo$' 2>/dev/null | head -n 1) || true
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || fail "no window titled Parcelo appeared"
    sleep 0.5
}

# Window geometry as "x y width height" of the client area on the root window.
geometry() {
    xwininfo -id "$window" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
        /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}'
}

# Clicks at a point given relative to the window's top-left corner.
click_at() {
    read -r x y _ _ < <(geometry)
    xdotool mousemove $((x + $1)) $((y + $2)) click 1
}

# Waits for the program to end and prints its exit status.
wait_exit() {
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "the program is still running"
    local status=0
    wait "$pid" || status=$?
    pid=
    echo "$status"
}

screenshot() {
    import -window root "$1"
}
