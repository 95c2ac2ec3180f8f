# SPDX-License-Identifier: MIT
# Shared steps of the end-to-end scripts: they run in an Xvfb of their own, with the program's path as $1,
# under a window manager (openbox) as a user's desktop has one.

parcelo=$1
builddir=$2
workdir=$(mktemp -d)
# The renamed copies go to a cache of the test's own.
export XDG_CACHE_HOME=$workdir/cache
pid=
trap 'cleanup' EXIT

wm=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    [ -n "$wm" ] && kill "$wm" 2>/dev/null || true
    rm -rf "$workdir"
}

# Starts openbox once and waits until it manages the screen: windows mapped before that would
# keep the placement and stacking of a bare X server.
start_window_manager() {
    [ -n "$wm" ] && return 0
    openbox --sm-disable >"$workdir/wm.log" 2>&1 &
    wm=$!
    tries=100 retry eval "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'" || fail "openbox did not start"
}

# Reports a failure, keeping a screenshot of the moment in the build folder.
fail() {
    echo "FAIL: $*" >&2
    [ -s "$workdir/log" ] && sed 's/^/  program: /' "$workdir/log" >&2
    import -window root "$builddir/e2e-failure-$(basename "$0" .sh).png" 2>/dev/null || true
    exit 1
}

# Starts the program from an unrelated folder and sets $pid and $window.
start_parcelo() {
    start_window_manager
    (cd "$workdir" && exec "$parcelo" "$@" >"$workdir/log" 2>&1) &
    pid=$!
    window=$(find_window '^Parcelo$') || fail "no window titled Parcelo appeared"
    sleep 0.5
}

# Window geometry as "x y width height" of the client area on the root window (of $1, or the
# program's main window).
geometry() {
    xwininfo -id "${1:-$window}" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
        /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}'
}

# Clicks at a point given relative to the window's top-left corner.
click_at() {
    read -r x y _ _ < <(geometry)
    xdotool mousemove $((x + $1)) $((y + $2)) click 1
}

# Finds "Compress" on screen as the tallest block of long runs of its button colour in the lower
# half of the window, and prints its centre relative to the window, then the centre of "Cancel",
# which sits just to its left, then the centre of "Browse for files", found by its underline.
locate_buttons() {
    read -r x y w h < <(geometry)
    local top=$((h / 2))
    convert "$workdir/locate.png" -crop "${w}x$((h - top))+${x}+$((y + top))" +repage -depth 8 rgb:- |
        python3 -c '
import collections, sys
w, h, top = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])
data = sys.stdin.buffer.read()
blue = bytes((0x52, 0x72, 0xBA))
runs = collections.defaultdict(list)
for row in range(h):
    line = data[row * w * 3:(row + 1) * w * 3]
    col = 0
    while col < w:
        if line[col * 3:col * 3 + 3] != blue:
            col += 1
            continue
        start = col
        while col < w and line[col * 3:col * 3 + 3] == blue:
            col += 1
        if col - start >= 60:
            runs[start // 4].append((row, start, col))
if not runs:
    sys.exit("no Compress button found")
rows = max(runs.values(), key=len)
left = min(r[1] for r in rows)
right = max(r[2] for r in rows)
cy = top + (rows[0][0] + rows[-1][0]) // 2
thin = [v for v in runs.values() if len(v) <= 3 and v[0][0] < rows[0][0]]
underline = max(thin, key=lambda v: v[0][0])[0] if thin else (0, 0, 0)
print((left + right) // 2, cy, left - 40, cy, (underline[1] + underline[2]) // 2, top + underline[0] - 8)
' "$w" "$((h - top))" "$top"
}

# Sets compress_x/_y, cancel_x/_y and browse_x/_y from a fresh screenshot.
find_buttons() {
    # A button under the pointer shows its hover colour.
    xdotool mousemove 1279 1023
    sleep 0.2
    screenshot "$workdir/locate.png"
    read -r compress_x compress_y cancel_x cancel_y browse_x browse_y < <(locate_buttons) || fail "buttons not found"
}

# Waits up to ten seconds for a visible window whose title matches, and prints its id.
find_window() {
    local title=$1 id
    tries=100 retry eval 'id=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n 1) && [ -n "$id" ]' &&
        echo "$id"
}

# Picks one file in the program's open dialog by typing its full path.
pick_file() {
    click_at "$browse_x" "$browse_y"
    find_window 'Select one or more files to open' >/dev/null || fail "the open dialog did not appear"
    sleep 0.3
    xdotool type --delay 5 "$1"
    confirm_dialog 'Select one or more files to open'
}

# Runs a command until it succeeds, every tenth of a second, up to $tries times (default 30).
retry() {
    for _ in $(seq "${tries:-30}"); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# Puts a stand-in xdg-open first on $PATH, which only writes down in $workdir/opened what it was asked to open.
stand_in_opener() {
    mkdir -p "$workdir/bin"
    printf '#!/bin/sh\necho "$@" >>"%s/opened"\n' "$workdir" >"$workdir/bin/xdg-open"
    chmod +x "$workdir/bin/xdg-open"
    export PATH=$workdir/bin:$PATH
}

# Presses Return in the dialog titled $1 until it closes: the first may only take the completer's suggestion.
confirm_dialog() {
    for _ in 1 2 3; do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        xdotool key Return
        sleep 0.5
    done
    fail "the dialog \"$1\" did not close"
}

# Waits for the program to end and sets $status to its exit status.
wait_exit() {
    tries=100 retry eval '! kill -0 "$pid" 2>/dev/null' || fail "the program is still running"
    status=0
    wait "$pid" || status=$?
    pid=
}

screenshot() {
    import -window root "$1"
}

# Waits up to $2 seconds (default 20) for a line of the program's log that matches the extended
# regular expression $1, counting only lines after the first $3 (default 0), and prints it. Dialogs
# write "parcelo.ui: shown CLASS title=\"...\" text=\"...\" informative=\"...\" buttons=\"Ok|Open\""
# and "parcelo.ui: hidden CLASS ..." as they show and hide.
wait_log() {
    local pattern=$1 skip=${3:-0} line
    tries=$((${2:-20} * 10)) retry eval 'line=$(tail -n +$((skip + 1)) "$workdir/log" | grep -E -m 1 -- "$pattern")' &&
        echo "$line"
}

# The number of lines in the program's log so far, to wait only for what comes after.
log_lines() {
    wc -l <"$workdir/log"
}

# Waits until the window manager gives the keyboard to a window other than the main one (titled $1
# when given): before that, keys typed for a new dialog may reach the main window.
wait_dialog_focus() {
    local active
    for _ in $(seq 100); do
        active=$(xdotool getactivewindow 2>/dev/null) || true
        if [ -n "$active" ] && [ "$active" != "$window" ]; then
            [ -z "${1:-}" ] || [ "$(xdotool getwindowname "$active" 2>/dev/null)" = "$1" ] && return 0
        fi
        sleep 0.1
    done
    fail "the dialog did not get the keyboard"
}

# Runs the Python code $1 on the program's window as it is shown now. The code finds the window's
# width and height in w and h, its pixels as rows of 8-bit RGB in data, one pixel as px(column,
# row), and the further arguments from sys.argv[3] on.
scan_window() {
    local code=$1 x y w h
    shift
    screenshot "$workdir/scan.png"
    read -r x y w h < <(geometry)
    convert "$workdir/scan.png" -crop "${w}x${h}+${x}+${y}" +repage -depth 8 rgb:- |
        python3 -c "import sys
w, h = int(sys.argv[1]), int(sys.argv[2])
data = sys.stdin.buffer.read()
px = lambda c, r: data[(r * w + c) * 3:(r * w + c) * 3 + 3]
$code" "$w" "$h" "$@"
}
