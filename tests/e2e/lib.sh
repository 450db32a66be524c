# Shared by tests/e2e/run, scripts/bench and scripts/screenshots (sourced, not run): an X display,
# the loopback page server, the outside driver and the program's start and end, every wait bounded.
# Expects $root; sets DISPLAY and WINEPREFIX when they are not set.

exe=$root/dist/win64/clipwren.exe
driver=$root/build/win64/bin/clipwren_driver.exe
here=$root/tests/e2e
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}

work=$(mktemp -d "${TMPDIR:-/tmp}/clipwren-e2e.XXXXXX")
xvfb_pid=""
server_pid=""
xclip_pid=""
program_pid=""
program_rc=""

e2e_cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    [ -n "$xclip_pid" ] && kill "$xclip_pid" 2>/dev/null
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
    if [ -n "$xvfb_pid" ]; then
        /usr/lib/wine/wineserver -k >/dev/null 2>&1
        kill "$xvfb_pid" 2>/dev/null
    fi
    rm -rf "$work"
}

# A display of our own when there is none: the clipboard is shared by everything on a display.
e2e_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    local n
    for n in $(seq 161 199); do
        { [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; } && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
        if kill -0 "$xvfb_pid" 2>/dev/null; then
            export DISPLAY=":$n"
            return 0
        fi
        xvfb_pid=""
    done
    echo "e2e: no X display could be started" >&2
    return 1
}

# Sets port (the page server) and closed (a loopback port nobody listens on).
e2e_pages() {
    python3 "$here/pageserver.py" --port-file "$work/port" >/dev/null 2>&1 &
    server_pid=$!
    for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
    port=$(cat "$work/port" 2>/dev/null)
    closed=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    [ -n "$port" ]
}
page() { echo "http://127.0.0.1:$port/$1/"; }
dead() { echo "http://127.0.0.1:$closed/$1/"; }

drv() { timeout --foreground 90 "$root/scripts/wine-exec" "$driver" "$@"; }

# The X11 clipboard owner keeps serving until another program takes the clipboard.
copy_x11() {
    [ -n "$xclip_pid" ] && kill "$xclip_pid" 2>/dev/null
    printf '%s' "$1" | xclip -selection clipboard -quiet >/dev/null 2>&1 &
    xclip_pid=$!
    sleep 0.2
}
copy_win() { drv clip-set "$1" >/dev/null; }

# start DIR: the program in DIR, its window found within 20 s; the clipboard is emptied first so
# that the first tick takes nothing left by an earlier run.
start() {
    program_rc=""
    [ -n "$xclip_pid" ] && kill "$xclip_pid" 2>/dev/null
    xclip_pid=""
    drv clip-clear
    (cd "$1" && exec "$root/scripts/wine-exec" "$exe" </dev/null >/dev/null 2>&1) &
    program_pid=$!
    drv wait 20000 >/dev/null
}

# finish: waits at most 15 s for the program to end; sets program_rc ("" when it did not end,
# and then it is killed).
finish() {
    local n
    for n in $(seq 150); do
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$program_pid" 2>/dev/null; then
        kill "$program_pid" 2>/dev/null
        program_rc=""
    else
        wait "$program_pid"
        program_rc=$?
    fi
    program_pid=""
}

# The X window of the program's main window (or of a window with this title).
x_window() { xwininfo -root -tree 2>/dev/null | awk -v t="\"${1:-Clipwren}\"" 'index($0, t) { print $1; exit }'; }
