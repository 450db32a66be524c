#!/usr/bin/env bash
# Regenerates the converter's corpus: titles.txt (UTF-8, one title a line) and the extras in each
# input encoding, with the Shift_JIS bytes nkf makes when told the input encoding. Output lines
# are "input-hex expected-hex". Needs nkf and iconv; the tests only read the results.
set -euo pipefail
cd "$(dirname "$0")"
hexline() { xxd -p | tr -d '\n'; }
emit() { # encoder decoder-option file...
    local encode=$1 option=$2
    shift 2
    cat "$@" | while IFS= read -r title; do
        input=$(printf '%s' "$title" | $encode | hexline)
        expected=$(printf '%s' "$input" | xxd -r -p | nkf "$option" -s -x -m0 | hexline)
        printf '%s %s\n' "$input" "$expected"
    done
}
emit cat -W titles.txt utf8-extra.txt >utf8.txt
emit "nkf -W -e -x -m0" -E titles.txt >eucjp.txt
emit "iconv -f UTF-8 -t EUC-JP-MS" -E eucjp-ms-extra.txt >>eucjp.txt
emit "nkf -W -j -x -m0" -J titles.txt >iso2022jp.txt
emit "nkf -W -s -x -m0" -S titles.txt >sjis.txt
wc -l utf8.txt eucjp.txt iso2022jp.txt sjis.txt
