# Sourced, not run: the program under Wine driven and read from outside by clipwren_driver.exe,
# the loopback page server and history files, for scripts/bench, scripts/screenshots and the
# end-to-end tests. Sources display-wine.sh and hooks its own teardown into cw_cleanup. Every
# wait is bounded. Expects $root.

. "$root/scripts/lib/display-wine.sh"

cw_lib=$root/scripts/lib
# The build driven: CLIPWREN_ARCH=win32 or win64 (the default). The driver reads the list's rows
# through the program's memory, so it is always the one built for the program's architecture.
arch=${CLIPWREN_ARCH:-win64}
exe=$root/dist/$arch/clipwren.exe
driver=$root/build/$arch/bin/clipwren_driver.exe
work=$(mktemp -d "${TMPDIR:-/tmp}/clipwren-drive.XXXXXX")
server_pid=""
xclip_pid=""
program_pid=""
program_rc=""

drive_cleanup() {
    local pid
    for pid in "$program_pid" "$xclip_pid" "$server_pid"; do
        if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    done
    rm -rf "$work"
}
cw_exit_hooks+=(drive_cleanup)

# histfile compose OUT | histfile garbage OUT SEED SIZE (see histfile.py)
histfile() { python3 "$cw_lib/histfile.py" "$@"; }

# Sets port (the page server) and closed (a loopback port nobody listens on).
page_server() {
    python3 "$cw_lib/pageserver.py" --port-file "$work/port" >/dev/null 2>&1 &
    server_pid=$!
    for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
    port=$(cat "$work/port" 2>/dev/null)
    closed=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    [ -n "$port" ]
}
page() { echo "http://127.0.0.1:$port/$1/"; }
dead() { echo "http://127.0.0.1:$closed/$1/"; }
# The titles the page server's pages carry, one "name<TAB>title" per line.
page_titles() { python3 "$cw_lib/pageserver.py" --titles; }

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
    # CLIPWREN_PROGRAM_LANG=en_US.UTF-8 runs the program alone on a system that is not Japanese
    # (code page 1252); the driver stays Japanese.
    (cd "$1" && CLIPWREN_WINE_LANG=${CLIPWREN_PROGRAM_LANG:-ja_JP.UTF-8} exec "$root/scripts/wine-exec" "$exe" \
        </dev/null >/dev/null 2>"${program_log:-/dev/null}") &
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
