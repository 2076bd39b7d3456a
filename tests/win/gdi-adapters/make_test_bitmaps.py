#!/usr/bin/env python3
"""Writes the two small bitmaps the GDI adapter tests load as resources.

alpha32.bmp: 3 x 2 pixels, 32 bits, each pixel with its own alpha.
rgb24.bmp:   3 x 2 pixels, 24 bits (rows padded to 4 bytes), no alpha.
The expected values in ResourceBitmapsTest.cpp are these rows, top row first.
"""
import struct
import sys
from pathlib import Path

# Top-down rows of 0xAARRGGBB words.
ALPHA32 = [[0xFF102030, 0x80405060, 0x00708090],
           [0x40A0B0C0, 0xC0D0E0F0, 0xFFFFFFFF]]
RGB24 = [[0x112233, 0x445566, 0x778899],
         [0xAABBCC, 0xDDEEFF, 0x010203]]


def bmp(rows, bits):
    height, width = len(rows), len(rows[0])
    body = b""
    for row in reversed(rows):  # BMP rows run bottom-up
        line = b"".join(struct.pack("<I", p) if bits == 32 else struct.pack("<I", p)[:3]
                        for p in row)
        body += line + b"\0" * (-len(line) % 4)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(body), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(body), 0, 0, 14 + len(info))
    return header + info + body


out = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent)
(out / "alpha32.bmp").write_bytes(bmp(ALPHA32, 32))
(out / "rgb24.bmp").write_bytes(bmp(RGB24, 24))
