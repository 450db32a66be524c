#!/usr/bin/env python3
"""Generates nkf32/SjisTables.cpp, the character tables of the conversion to code page 932.

Sources: Python's cp932 codec (Microsoft's table) for JIS X 0208 rows and Unicode, glibc's
iconv EUC-JP-MS for the three-byte EUC-JP codes (JIS X 0212 and the IBM extension rows).
Run it once after changing a rule here and commit the output; the build does not need it.
Usage: gen_tables.py OUTPUT.cpp
       gen_tables.py --check   (compares the Unicode table with `nkf -W -s -x -m0`)
"""
import subprocess
import sys

# Characters whose JIS form Microsoft's table decodes differently; Japanese users expect the
# JIS character they see, so both Unicode forms go to the one Shift_JIS code.
CORRECTIONS = {
    0x301C: 0x8160,  # WAVE DASH (cp932 uses U+FF5E)
    0x2212: 0x817C,  # MINUS SIGN (U+FF0D)
    0x2016: 0x8161,  # DOUBLE VERTICAL LINE (U+2225)
    0x2014: 0x815C,  # EM DASH (U+2015)
    0x00A2: 0x8191,  # CENT SIGN (U+FFE0)
    0x00A3: 0x8192,  # POUND SIGN (U+FFE1)
    0x00AC: 0x81CA,  # NOT SIGN (U+FFE2)
    0x00A5: 0x818F,  # YEN SIGN: the full-width yen, since byte 5C is a backslash to most fonts
    0x203E: 0x8150,  # OVERLINE: the full-width macron
    0x00AF: 0x8150,  # MACRON
    0x00B8: 0x8143,  # CEDILLA: the full-width comma, its closest form
    0x00A6: 0xFA55,  # BROKEN BAR (U+FFE4)
}


def trails():
    return list(range(0x40, 0x7F)) + list(range(0x80, 0xFD))


def jis_to_sjis(row, cell):
    """Row and cell 1..94 (row up to 120 for the user-defined area) to a Shift_JIS code."""
    lead = (row + 1) // 2 + (0x80 if row <= 62 else 0xC0)
    if row % 2:
        trail = cell + 0x3F + (1 if cell >= 64 else 0)
    else:
        trail = cell + 0x9E
    return lead << 8 | trail


def decode(code):
    try:
        return bytes([code >> 8, code & 0xFF]).decode("cp932")
    except UnicodeDecodeError:
        return None


def is_private(ch):
    return 0xE000 <= ord(ch) <= 0xF8FF


def rank(code):
    """Which of a character's duplicate codes Windows writes: JIS rows first, then NEC's
    row 13, then the IBM extension, and NEC's selection of the IBM kanji last."""
    lead = code >> 8
    if lead == 0x87:
        return 1
    if 0xFA <= lead <= 0xFC:
        return 2
    if 0xED <= lead <= 0xEE:
        return 3
    return 0


def unicode_map():
    table = {}
    for lead in list(range(0x81, 0xA0)) + list(range(0xE0, 0xF0)) + [0xFA, 0xFB, 0xFC]:
        for trail in trails():
            ch = decode(lead << 8 | trail)
            if ch is None or is_private(ch) or len(ch) != 1:
                continue
            code = lead << 8 | trail
            if ord(ch) not in table or rank(code) < rank(table[ord(ch)]):
                table[ord(ch)] = code
    # The user-defined area, as Windows maps it; other systems' gaiji have no shared meaning,
    # but a private character copied on Windows comes back where it was.
    for cp in range(0xE000, 0xE758):
        n = cp - 0xE000
        table[cp] = (0xF0 + n // 188) << 8 | trails()[n % 188]
    for cp in range(0xFF61, 0xFFA0):
        table[cp] = cp - 0xFF61 + 0xA1
    table.update(CORRECTIONS)
    return table


def jis0208_table(canonical):
    out = []
    for row in range(1, 95):
        for cell in range(1, 95):
            code = jis_to_sjis(row, cell)
            ch = decode(code)
            if ch is None or is_private(ch):
                out.append(0)
            elif 89 <= row <= 92:
                # NEC's selection of the IBM kanji: the same characters at their IBM codes,
                # as Windows itself writes them.
                out.append(canonical[ord(ch)])
            else:
                out.append(code)
    return out


def jis0212_table(umap):
    codes = [(row, cell) for row in range(1, 95) for cell in range(1, 95)]
    data = b"".join(bytes([0x8F, 0xA0 + r, 0xA0 + c]) + b"\n" for r, c in codes)
    text = subprocess.run(["iconv", "-c", "-f", "EUC-JP-MS", "-t", "UTF-8"], input=data,
                          capture_output=True, check=False).stdout.decode("utf-8")
    lines = text.split("\n")
    out = []
    for (row, cell), line in zip(codes, lines):
        if len(line) != 1 or is_private(line):
            out.append(0)
        else:
            out.append(umap.get(ord(line), 0))
    return out


def emit_array(name, values, per_line=12):
    lines = [f"const std::uint16_t {name}[{len(values)}] = {{"]
    for i in range(0, len(values), per_line):
        lines.append("    " + ", ".join(f"0x{v:04X}" for v in values[i:i + per_line]) + ",")
    lines.append("};")
    return "\n".join(lines)


def generate(path):
    umap = unicode_map()
    pages = sorted({cp >> 8 for cp in umap})
    index = [0] * 256
    page_values = []
    for n, page in enumerate(pages):
        index[page] = n + 1
        page_values.extend(umap.get(page << 8 | low, 0) for low in range(256))
    j208 = jis0208_table(umap)
    j212 = jis0212_table(umap)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("// Character tables of the conversion to code page 932 (generated by tools/gen_tables.py).\n")
        f.write('#include "SjisTables.h"\n\n')
        f.write("namespace nkf {\n\n")
        f.write("const std::uint8_t kUnicodePageIndex[256] = {\n")
        for i in range(0, 256, 16):
            f.write("    " + ", ".join(str(v) for v in index[i:i + 16]) + ",\n")
        f.write("};\n\n")
        f.write(emit_array("kUnicodePages", page_values) + "\n\n")
        f.write(emit_array("kJis0208ToSjis", j208) + "\n\n")
        pairs = [((n // 94 + 0x21) << 8 | (n % 94 + 0x21), v) for n, v in enumerate(j212) if v]
        f.write(f"const std::size_t kJis0212Count = {len(pairs)};\n")
        f.write(f"const std::uint16_t kJis0212ToSjis[{len(pairs)}][2] = {{\n")
        for i in range(0, len(pairs), 6):
            f.write("    " + " ".join(f"{{0x{k:04X}, 0x{v:04X}}}," for k, v in pairs[i:i + 6]) + "\n")
        f.write("};\n\n")
        f.write("}  // namespace nkf\n")
    print(f"{len(pages)} Unicode pages, {len(umap)} characters, "
          f"{sum(1 for v in j208 if v)} JIS X 0208 codes, {sum(1 for v in j212 if v)} three-byte codes")


def check():
    """Lists the BMP characters on which our table and nkf's -s output differ."""
    umap = unicode_map()
    cps = [cp for cp in range(0x80, 0x10000) if not 0xD800 <= cp <= 0xDFFF]
    data = "".join(chr(cp) + "\n" for cp in cps).encode("utf-8")
    out = subprocess.run(["nkf", "-W", "-s", "-x", "-m0"], input=data, capture_output=True).stdout
    lines = out.split(b"\n")
    diffs = 0
    for cp, got in zip(cps, lines):
        ours = umap.get(cp, 0)
        ours_b = b"" if ours == 0 else (bytes([ours]) if ours < 0x100 else ours.to_bytes(2, "big"))
        if ours_b != got:
            diffs += 1
            print(f"U+{cp:04X}: ours {ours_b.hex() or '-'} nkf {got.hex() or '-'}")
    print(f"{diffs} Unicode differences")
    # EUC-JP, two and three bytes: nkf converts unassigned codes arithmetically, we leave them out.
    umap_ = umap
    for name, table, prefix in (("EUC-JP", jis0208_table(umap_), b""),
                                ("three-byte EUC-JP", jis0212_table(umap_), b"\x8f")):
        codes = [(r, c) for r in range(1, 95) for c in range(1, 95)]
        data = b"".join(prefix + bytes([0xA0 + r, 0xA0 + c]) + b"\n" for r, c in codes)
        out = subprocess.run(["nkf", "-E", "-s", "-x", "-m0"], input=data, capture_output=True).stdout
        diffs = 0
        for (r, c), ours, got in zip(codes, table, out.split(b"\n")):
            ours_b = b"" if ours == 0 else ours.to_bytes(2, "big")
            if ours_b != got:
                diffs += 1
                if ours != 0:
                    print(f"{name} {r}-{c}: ours {ours_b.hex()} nkf {got.hex() or '-'}")
        print(f"{diffs} {name} differences (codes we leave out not listed)")


if __name__ == "__main__":
    if len(sys.argv) == 2 and sys.argv[1] == "--check":
        check()
    elif len(sys.argv) == 2:
        generate(sys.argv[1])
    else:
        sys.exit(__doc__)
