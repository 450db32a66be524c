# Sourced by tests/e2e/run: the checks, on top of scripts/lib/drive.sh (the display, Wine, the
# program and its driver, the page server, history files). Counts in passed and failed.

. "$root/scripts/lib/drive.sh"

passed=0
failed=0
ok() { echo "ok   $1"; passed=$((passed + 1)); }
bad() {
    echo "FAIL $1"
    shift
    for line in "$@"; do printf '       %s\n' "$line"; done
    failed=$((failed + 1))
}
# check NAME ACTUAL EXPECTED
check() {
    if [ "$2" == "$3" ]; then ok "$1"; else bad "$1" "expected: $3" "actual:   $2"; fi
}
# contains NAME TEXT PART
contains() {
    if [[ $2 == *"$3"* ]]; then ok "$1"; else bad "$1" "wanted in it: $3" "actual: $2"; fi
}
# ended NAME: the program ended within 15 s with exit code 0.
ended() {
    finish
    if [ -z "$program_rc" ]; then bad "$1" "the program did not end"; else
        check "$1" "exit code $program_rc" "exit code 0"; fi
}
settle() { sleep 2.5; } # two ticks of the one-second timer
# captured NAME URL: URL copied from an X11 program and shown by the program; NAME fails otherwise.
captured() {
    copy_x11 "$2"
    drv await 1000 "$2" 15000 >/dev/null || bad "$1"
}

# ---- real read-only and full folders (root ignores file modes, so only a mount refuses it) ----
mounted=()
notrun=()
# not_run WHAT: a part this machine cannot run; named in the closing lines, never passed.
not_run() { echo "skip $1"; notrun+=("$1"); }
can_mount() {
    local probe
    probe=$(mktemp -d) || return 1
    if mount -t tmpfs -o size=64k tmpfs "$probe" 2>/dev/null; then
        umount "$probe"
        rmdir "$probe"
        return 0
    fi
    rmdir "$probe"
    return 1
}
# mount_readonly FROM ON: FROM's files seen at ON, read-only.
mount_readonly() { mount --bind -o ro "$1" "$2" && mounted+=("$2"); }
# mount_full ON KB: a file system of KB kilobytes at ON, filled to the last byte.
mount_full() {
    mount -t tmpfs -o size="$2k" tmpfs "$1" || return 1
    mounted+=("$1")
    cat /dev/zero >"$1/filler" 2>/dev/null
    return 0
}
unmount_all() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}"
    done
    mounted=()
}
