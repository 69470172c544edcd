#!/usr/bin/env python3
"""Writes the sample and broken files under tests/data from the format
tables, independently of the code under test. Compressed streams come from
`compress -b 16` (ncompress) with its 3-byte header removed. Run from the
repository root; the files are committed, so this is only needed to change
them."""
import os
import struct
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
KEY = 0xE5A7


def lzw(data):
    out = subprocess.run(["compress", "-b", "16", "-c"], input=data, stdout=subprocess.PIPE,
                         check=True).stdout
    assert out[:3] == b"\x1f\x9d\x90"
    return out[3:]


def text(s, units):
    raw = s.encode("utf-16-le")
    assert len(raw) < units * 2
    return raw + b"\0" * (units * 2 - len(raw))


def stored_password(p):
    return b"".join(struct.pack("<H", ord(c) ^ KEY) for c in p) + b"\0" * (40 - 2 * len(p))


def record_image(number, name):
    # An I4 property and a text property, then the text at offset 32.
    t = name.encode("utf-16-le") + b"\0\0"
    return (struct.pack("<IHH", (1 << 16) | 3, 0, 0) + struct.pack("<iI", number, 0) +
            struct.pack("<IHH", (2 << 16) | 31, 0, 0) + struct.pack("<II", 32, 0) + t)


def database_header(name, records, size, next_block):
    info = struct.pack("<I", 0) + text(name, 32) + struct.pack("<IHHI", 7, records, 1, size)
    info += struct.pack("<II", 0x89ABCDEF, 0x01DC0000)
    info += struct.pack("<II", (2 << 16) | 31, 2) + b"\0" * 24
    stored = struct.pack("<8H", 2026, 12, 2, 8, 6, 18, 51, 0)
    return struct.pack("<I", 144) + info + stored + struct.pack("<I", next_block)


def blob_image(size):
    # A BLOB property and an I4 (archive() writes records of two), then the
    # blob's bytes (zeros) at offset 32.
    return (struct.pack("<IHHII", (1 << 16) | 65, 0, 0, size, 32) +
            struct.pack("<IHHiI", (2 << 16) | 3, 0, 0, 7, 0) + b"\0" * size)


def archive(databases, compressed, password=None):
    first = 64 if password else 24
    out = bytearray(struct.pack("<6I", 0x54533031, 24, len(databases), 1 if compressed else 0,
                                0x10 if password else 0, first))
    if password:
        out += stored_password(password)
    for name, images, size in databases:
        start = len(out)
        body = bytearray()
        for i, image in enumerate(images, 1):
            stored = lzw(image) if compressed else image
            body += struct.pack("<HHIII", 2, 0, i, 16, len(stored)) + stored
        if compressed:
            packed = lzw(database_header(name, len(images), size, 0))
            end = start + 8 + len(packed) + len(body)
            out += struct.pack("<II", end, len(packed)) + packed + body
        else:
            end = start + 144 + len(body)
            out += database_header(name, len(images), size, end) + body
    return bytes(out)


def script(archive_name, password, names, compressed):
    head = struct.pack("<4I", 588, 288, compressed, 0) + text(archive_name, 260)
    head += stored_password(password) if password else b"\0" * 40
    head += struct.pack("<I", len(names)) + b"\0" * 8
    return head + b"".join(text(n, 36) for n in names)


def rbk_text(s):
    raw = s.encode("utf-16-le") + b"\0\0"
    return struct.pack("<I", len(raw)) + raw


def rbk(keys, password=None):
    head = struct.pack("<II", 0x52573031, 84)
    head += stored_password(password) if password else b"\0" * 40
    head += struct.pack("<IIIII", 7, 84, 0x12345678, 0x01DC0000, len(keys)) + b"\0" * 16
    body = b""
    for root, path, values in keys:
        body += struct.pack("<II", len(values), root) + rbk_text(path) + rbk_text("")
        for name, kind, data in values:
            body += rbk_text(name) + struct.pack("<II", kind, len(data)) + data
    return head + body


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


contacts = [record_image(i, "contact %d" % i) for i in range(1, 4)]
databases = [("Contacts", contacts, 1536), ("\\Calendar", [], 1023)]
write("Sample.bkp", archive(databases, False, "pass"))
write("SampleCompressed.bkp", archive(databases, True))
plain = archive([("Contacts", contacts, 1536)], False)
write("TruncatedRecord.bkp", plain[:-5])
write("Sample.abk", script("\\My Documents\\all.bkp", "pass", ["Contacts", "\\Calendar"], 1))
keys = [(0x80000001, "Software\\Corvane\\Tessaly",
         [("", 1, "on\0".encode("utf-16-le")), ("Count", 4, struct.pack("<I", 4)),
          ("Empty", 3, b"")]),
        (0x80000002, "Drivers\\Display", [("Depth", 4, struct.pack("<I", 16))])]
write("Sample.rbk", rbk(keys, "pass"))
zero = rbk([(0x80000002, "Drivers\\Display", [])])
write("ZeroValueKey.rbk", zero)

# A compressed record that decodes to 1 MB, far more than the largest record
# (128 KB): a bomb of 2 KB.
write("RecordBomb.bkp", archive([("Bomb", [blob_image(1 << 20)], 1 << 20)], True))
# A compressed database header that decodes to 1 MB instead of 144 bytes.
bomb_header = lzw(b"\0" * (1 << 20))
write("HeaderBomb.bkp", struct.pack("<6I", 0x54533031, 24, 1, 1, 0, 24) +
      struct.pack("<II", 32 + len(bomb_header), len(bomb_header)) + bomb_header)
# Sample.bkp with its database count zeroed: its blocks are still there.
zeroed = bytearray(archive(databases, False, "pass"))
zeroed[8:12] = b"\0\0\0\0"
write("ZeroedCount.bkp", bytes(zeroed))
# A stream that decodes to 200 MB of zeros (from 34 KB): more than a program
# that keeps the whole output should hold.
write("Zeros200M.lzw", lzw(b"\0" * (200 << 20)))
