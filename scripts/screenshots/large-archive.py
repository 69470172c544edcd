#!/usr/bin/env python3
"""Writes an uncompressed backup archive of one database with many small
records, so that restoring it takes long enough to photograph the progress
window:  large-archive.py FILE [RECORDS]"""

import struct
import sys


def database_header(name, records, size, next_block):
    info = struct.pack("<I", 0x0001 | 0x0002 | 0x0008)  # name, type, modified
    info += name.encode("utf-16-le").ljust(64, b"\0")
    info += struct.pack("<IHHI", 0, records, 0, size)
    info += bytes(8)  # last modified
    info += bytes(32)  # no sort orders
    stored = struct.pack("<8H", 2026, 12, 3, 9, 14, 30, 0, 0)
    return struct.pack("<I", 144) + info + stored + struct.pack("<I", next_block)


def main():
    path = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 60000
    number = (1 << 16) | 3  # property 1, a 32-bit integer
    body = bytearray()
    for i in range(count):
        image = struct.pack("<IHHi4x", number, 0, 0, i)
        body += struct.pack("<HHIII", 1, 0, i + 1, 16, len(image)) + image
    first = 24
    block_end = first + 144 + len(body)
    archive = struct.pack("<IIIIII", 0x54533031, 24, 1, 0, 0, first)
    archive += database_header("Readings", count, 16 * count, block_end) + body
    with open(path, "wb") as out:
        out.write(archive)


main()
