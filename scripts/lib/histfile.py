#!/usr/bin/env python3
"""Writes history files in the program's own record format, for the end-to-end tests, the
benchmarks and the screenshots.

  histfile.py compose OUT      stdin: one entry per line, "kind<TAB>title<TAB>content" in UTF-8,
                               with \\r, \\n, \\t and \\\\ escaped; written in code page 932
  histfile.py garbage OUT SEED SIZE   SIZE bytes of seeded random garbage
"""
import random
import sys


def unescape(text):
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            out.append({"r": "\r", "n": "\n", "t": "\t"}.get(text[i + 1], text[i + 1]))
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


def compose(entries):
    data = b""
    for position, (kind, title, content) in enumerate(entries):
        data += b"__ContentsNomber.%d\r\n" % position
        data += kind.encode("ascii") + b"\r\n"
        data += title.encode("cp932") + b"\r\n"
        data += content.encode("cp932") + b"\r\n"
        data += b"__ContensEnd\r\n"
    return data


def main():
    if sys.argv[1] == "compose":
        entries = []
        for line in sys.stdin.read().split("\n"):
            if line:
                kind, title, content = line.split("\t")
                entries.append((kind, unescape(title), unescape(content)))
        data = compose(entries)
    elif sys.argv[1] == "garbage":
        generator = random.Random(int(sys.argv[3]))
        data = bytes(generator.randrange(256) for _ in range(int(sys.argv[4])))
    else:
        sys.exit("histfile.py: unknown command")
    with open(sys.argv[2], "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
