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
