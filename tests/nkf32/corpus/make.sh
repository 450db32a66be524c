#!/usr/bin/env bash
# Regenerates the converter's corpus: titles.txt (UTF-8, one title a line) and the extras in each
# input encoding, with the Shift_JIS bytes nkf makes when told the input encoding. Output lines
# are "input-hex expected-hex". guessed.txt has every input again with the bytes nkf makes when
# it recognises the encoding itself. Needs nkf, iconv and perl; the tests only read the results.
set -euo pipefail
cd "$(dirname "$0")"
hexline() { xxd -p | tr -d '\n'; }
# ISO-2022-JP with its half-width katakana between shift-out and shift-in instead of after
# ESC ( I, and no ESC ( B where the set is ASCII already.
jis_shift_out() {
    nkf -W -j -x -m0 | perl -0777 -ne '
        my ($g0, $out) = ("(B", "");
        for my $part (split /(?=\e)/) {
            if ($part =~ s/^\e\(I//) { $out .= "\x0e$part\x0f"; next; }
            if ($part =~ s/^\e(\(B|\$B)//) { $out .= "\e$1" if $1 ne $g0; $g0 = $1; }
            $out .= $part;
        }
        print $out;'
}
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
emit "iconv -f UTF-8 -t EUC-JP" -E eucjp-0212-extra.txt >>eucjp.txt
emit "nkf -W -j -x -m0" -J titles.txt >iso2022jp.txt
emit jis_shift_out -J iso2022jp-so-extra.txt >>iso2022jp.txt
emit "nkf -W -s -x -m0" -S titles.txt >sjis.txt
cut -d' ' -f1 utf8.txt eucjp.txt iso2022jp.txt sjis.txt | while read -r input; do
    printf '%s %s\n' "$input" "$(printf '%s' "$input" | xxd -r -p | nkf -s -x -m0 | hexline)"
done >guessed.txt
wc -l utf8.txt eucjp.txt iso2022jp.txt sjis.txt guessed.txt
