# Sourced, not run: an X display and a Wine environment for the scripts and the end-to-end tests,
# and their teardown. Expects $root (the checkout). Every wait is bounded.
#
#   cw_display own|reuse [--session]
#       own: a private Xvfb, since the X11 clipboard is shared by everything on a display, unless
#       CLIPWREN_USE_DISPLAY is set (to a display such as :5, or to anything else to keep
#       DISPLAY). reuse: DISPLAY when it is set, else a private Xvfb.
#       --session: the Xvfb in a session of its own, out of reach of the terminal's Ctrl-C.
#   cw_wine [--fresh] [--session] PREFIX
#       Exports WINEPREFIX=PREFIX, creates the prefix with scripts/wine-prefix (--fresh: anew),
#       starts its wineserver in the Japanese locale to stay up until cw_cleanup, and starts
#       Wine's service processes (--session: in a session of their own).
#   cw_cleanup
#       Runs the functions named in cw_exit_hooks, then stops the wineserver (when cw_wine
#       started it or the programs ran on a private display) and the private Xvfb.
#   cw_runs_32bit
#       True when this kernel runs 32-bit programs (some refuse them with "Exec format error"),
#       asked of a tiny 32-bit program rather than guessed from the machine's name.

cw_xvfb_pid=""
cw_wine_prefix=""
cw_exit_hooks=()

cw_display() {
    local mode=$1 session=()
    [ "${2:-}" = --session ] && session=(setsid)
    if [ "$mode" = own ] && [ -n "${CLIPWREN_USE_DISPLAY:-}" ]; then
        if [[ $CLIPWREN_USE_DISPLAY == *:* ]]; then export DISPLAY=$CLIPWREN_USE_DISPLAY; fi
        if [ -n "${DISPLAY:-}" ]; then return 0; fi
        return 1
    fi
    [ "$mode" = reuse ] && [ -n "${DISPLAY:-}" ] && return 0
    local n pid
    for n in $(seq 91 199); do
        { [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; } && continue
        "${session[@]}" Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        pid=$!
        # Ours once its socket is there and the lock file names it: when two runs pick the same
        # number at once, the one that lost the lock exits.
        for _ in $(seq 100); do
            kill -0 "$pid" 2>/dev/null || break
            if [ -e "/tmp/.X11-unix/X$n" ] && [ "$(tr -d ' \n' <"/tmp/.X$n-lock" 2>/dev/null)" = "$pid" ]; then
                cw_xvfb_pid=$pid
                export DISPLAY=":$n"
                return 0
            fi
            sleep 0.1
        done
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    return 1
}

cw_wine() {
    local fresh="" session=()
    while [ $# -gt 1 ]; do
        case $1 in
        --fresh) fresh=1 ;;
        --session) session=(setsid) ;;
        *) break ;;
        esac
        shift
    done
    export WINEPREFIX=$1
    if [ -n "$fresh" ] && [ -d "$WINEPREFIX" ]; then
        /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
        rm -rf "$WINEPREFIX" "$WINEPREFIX.lock"
    fi
    "$root/scripts/wine-prefix" "$WINEPREFIX" || return 1
    cw_wine_prefix=$WINEPREFIX
    # A server that stays up: each program would otherwise wait for a new one and its services.
    # It detaches itself; one that is already up for this prefix is kept.
    LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all /usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1 || true
    # Wine's service processes start with the first program and live as long as the server;
    # started here, away from any pipe, so that nothing reading a pipe (ctest, a command
    # substitution) waits for them to close it.
    "${session[@]}" "$root/scripts/wine-exec" cmd /c exit </dev/null >/dev/null 2>&1 || true
    return 0
}

cw_cleanup() {
    local hook prefix=${cw_wine_prefix:-}
    for hook in "${cw_exit_hooks[@]}"; do "$hook"; done
    if [ -z "$prefix" ] && [ -n "$cw_xvfb_pid" ]; then prefix=${WINEPREFIX:-}; fi
    if [ -n "$prefix" ]; then WINEPREFIX=$prefix /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true; fi
    if [ -n "$cw_xvfb_pid" ]; then kill "$cw_xvfb_pid" 2>/dev/null || true; fi
    cw_wine_prefix=""
    cw_xvfb_pid=""
    cw_exit_hooks=()
    return 0
}

cw_runs_32bit() {
    local probe rc=0
    probe=$(mktemp)
    # An i386 ELF of one segment whose code is exit(42): xor eax,eax; inc eax; xor ebx,ebx;
    # mov bl,42; int 0x80. Only a kernel that ran it answers 42.
    python3 - "$probe" <<'PY'
import struct, sys
code = bytes.fromhex("31c04031dbb32acd80")
base, size = 0x08048000, 52 + 32 + len(code)
header = struct.pack("<16sHHIIIIIHHHHHH", b"\x7fELF\x01\x01\x01", 2, 3, 1, base + 84, 52, 0, 0,
                     52, 32, 1, 0, 0, 0)
segment = struct.pack("<8I", 1, 0, base, base, size, size, 5, 0x1000)
with open(sys.argv[1], "wb") as f:
    f.write(header + segment + code)
PY
    chmod +x "$probe"
    "$probe" 2>/dev/null || rc=$?
    rm -f "$probe"
    [ "$rc" = 42 ]
}
