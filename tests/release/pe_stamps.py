#!/usr/bin/env python3
"""Prints every time stamp a PE file carries, one line each: "<where> <value>".

The COFF header, the export directory, each resource directory table and each debug directory
entry hold a 32-bit TimeDateStamp; a reproducible build leaves all of them 0. Exits 2 on a file
that is not a PE image, so a truncated or wrong file never reads as "no stamps".
"""
import struct
import sys


class NotPe(Exception):
    pass


def u16(data, at):
    if at < 0 or at + 2 > len(data):
        raise NotPe(f"read past the end at {at:#x}")
    return struct.unpack_from("<H", data, at)[0]


def u32(data, at):
    if at < 0 or at + 4 > len(data):
        raise NotPe(f"read past the end at {at:#x}")
    return struct.unpack_from("<I", data, at)[0]


def stamps(data):
    """Yields (where, value) for every time stamp of the image in data."""
    if data[:2] != b"MZ":
        raise NotPe("no MZ header")
    pe = u32(data, 0x3C)
    if data[pe:pe + 4] != b"PE\0\0":
        raise NotPe("no PE signature")
    coff = pe + 4
    sections = u16(data, coff + 2)
    yield "coff", u32(data, coff + 4)
    optional_size = u16(data, coff + 16)
    optional = coff + 20
    magic = u16(data, optional)
    if magic == 0x10B:
        directories = optional + 96
    elif magic == 0x20B:
        directories = optional + 112
    else:
        raise NotPe(f"unknown optional header magic {magic:#x}")
    directory_count = u32(data, directories - 4)
    table = optional + optional_size

    section_list = []
    for i in range(sections):
        s = table + 40 * i
        virtual_size, virtual_address, raw_size, raw_offset = struct.unpack_from("<IIII", data, s + 8)
        section_list.append((virtual_address, max(virtual_size, raw_size), raw_offset))

    def offset(rva):
        for virtual_address, size, raw_offset in section_list:
            if virtual_address <= rva < virtual_address + size:
                return raw_offset + rva - virtual_address
        raise NotPe(f"address {rva:#x} lies in no section")

    def directory(index):
        if index >= directory_count:
            return 0, 0
        return struct.unpack_from("<II", data, directories + 8 * index)

    rva, _ = directory(0)
    if rva:
        yield "export", u32(data, offset(rva) + 4)

    rva, _ = directory(2)
    if rva:
        root = offset(rva)
        pending, seen = [root], set()
        while pending:
            table_at = pending.pop()
            if table_at in seen:
                raise NotPe("resource directory loops")
            seen.add(table_at)
            yield f"resource@{table_at - root:#x}", u32(data, table_at + 4)
            entries = u16(data, table_at + 12) + u16(data, table_at + 14)
            for e in range(entries):
                target = u32(data, table_at + 16 + 8 * e + 4)
                if target & 0x80000000:
                    pending.append(root + (target & 0x7FFFFFFF))

    rva, size = directory(6)
    if rva:
        first = offset(rva)
        for e in range(size // 28):
            yield f"debug[{e}]", u32(data, first + 28 * e + 4)


def main():
    if len(sys.argv) != 2:
        print("usage: pe_stamps.py FILE", file=sys.stderr)
        return 2
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    try:
        found = list(stamps(data))
    except NotPe as e:
        print(f"{sys.argv[1]}: not a PE image: {e}", file=sys.stderr)
        return 2
    for where, value in found:
        print(where, value)
    return 0


if __name__ == "__main__":
    sys.exit(main())
