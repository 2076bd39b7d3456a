#!/usr/bin/env python3
"""Checks one output frame as a receiver got it (a PNG saved by ndi-monitor).

    check_frame.py PNG startup|text|empty|text-bgrx [--banner res/art/banner.bmp]
    check_frame.py PNG same --like OTHER_PNG

The frame went through the NDI codec, which is lossy: flat areas keep their
alpha almost everywhere exactly, and alpha and colour come back within a few
steps elsewhere, also next to sharp edges. The checks allow for that and nothing more:

- empty: every pixel transparent black.
- startup: the banner centred over transparent black, blended by the
  output's rule (over alpha 0: alpha kept, colour scaled by alpha);
  everything else transparent.
- text: the box at its place to the pixel, black at alpha 175 where the text
  does not touch it, the line opaque, light and centred in it; everything
  outside the box transparent.
- text-bgrx: the same frame sent without alpha: black but for the line.
- same: the picture another receiver got of the same frame: every channel,
  alpha included, within the codec's error of the other's.
Prints what it measured; exit status 1 with the reasons when a check fails.
"""
import argparse
import os
import struct
import sys
import zlib

# Inclusive columns and rows of the text box at each output size.
TEXT_BOX = {(1280, 720): (91, 552, 1187, 671), (1920, 1080): (137, 828, 1781, 1007)}
BOX_ALPHA = 175
SPLASH_SIZE = (720, 276)

COLOUR_TOLERANCE = 8  # codec error per channel, alpha included
RING = 3  # pixels around the text whose colour may ring further
NEAR = 8  # transparent pixels this close to the box may carry a trace of alpha
BLOCK = 8  # the codec's transform block: an edge rings only inside the blocks it crosses


def read_png(path):
    """Returns (width, height, rows) with rows as bytes of RGBA pixels."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG file")
    pos, idat, header = 8, [], None
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos : pos + 4])
        kind = data[pos + 4 : pos + 8]
        body = data[pos + 8 : pos + 8 + length]
        if zlib.crc32(kind + body) != struct.unpack(">I", data[pos + 8 + length : pos + 12 + length])[0]:
            raise ValueError("bad CRC in chunk %r" % kind)
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat.append(body)
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if (depth, colour, interlace) != (8, 6, 0):
        raise ValueError("expected 8-bit RGBA, not interlaced")
    raw = zlib.decompress(b"".join(idat))
    stride = width * 4
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1 : start + 1 + stride])
        unfilter(kind, line, previous)
        rows.append(bytes(line))
        previous = line
    return width, height, rows


def unfilter(kind, line, previous):
    for i in range(len(line)):
        left = line[i - 4] if i >= 4 else 0
        up = previous[i]
        up_left = previous[i - 4] if i >= 4 else 0
        if kind == 1:
            line[i] = (line[i] + left) & 0xFF
        elif kind == 2:
            line[i] = (line[i] + up) & 0xFF
        elif kind == 3:
            line[i] = (line[i] + (left + up) // 2) & 0xFF
        elif kind == 4:
            p = left + up - up_left
            pa, pb, pc = abs(p - left), abs(p - up), abs(p - up_left)
            line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else up_left)) & 0xFF
        elif kind != 0:
            raise ValueError("unknown filter %d" % kind)


def read_banner(path):
    """The 32-bit banner bitmap as rows of (b, g, r, a) tuples, top-down."""
    with open(path, "rb") as f:
        data = f.read()
    offset = struct.unpack("<I", data[10:14])[0]
    width, height, _, bits = struct.unpack("<iiHH", data[18:30])
    if bits != 32:
        raise ValueError("banner is not 32-bit")
    rows = []
    for y in range(abs(height)):
        source_row = abs(height) - 1 - y if height > 0 else y
        start = offset + source_row * width * 4
        row = data[start : start + width * 4]
        rows.append([tuple(row[i : i + 4]) for i in range(0, len(row), 4)])
    return width, abs(height), rows


class Check:
    def __init__(self):
        self.problems = []

    def expect(self, condition, message):
        if not condition:
            self.problems.append(message)


def transparent_outside(rows, width, height, keep, check, what, near=0):
    """Every pixel outside the rectangle `keep` (x0, y0, x1, y1 inclusive) is
    transparent black: alpha exactly 0, except for a trace of the codec's
    ringing within `near` pixels of the rectangle."""
    x0, y0, x1, y1 = keep
    bad, worst = 0, 0
    for y in range(height):
        row = rows[y]
        spans = [(0, width)] if y < y0 or y > y1 else [(0, max(x0, 0)), (min(x1 + 1, width), width)]
        for a, b in spans:
            segment = row[a * 4 : b * 4]
            if segment.count(0) == len(segment):
                continue
            for x in range(a, b):
                r, g, bl, al = row[x * 4 : x * 4 + 4]
                distance = max(x0 - x, x - x1, y0 - y, y - y1)
                allowed = COLOUR_TOLERANCE if distance <= near else 0
                if al > allowed or max(r, g, bl) > COLOUR_TOLERANCE:
                    bad += 1
                    worst = max(worst, al)
    print("%s: %d pixels not transparent outside (worst alpha %d)" % (what, bad, worst))
    check.expect(bad == 0, "%d pixels outside %s are not transparent black" % (bad, what))


def check_empty(rows, width, height, check):
    transparent_outside(rows, width, height, (0, 0, -1, -1), check, "the empty frame")


def check_startup(rows, width, height, check, banner_path):
    bw, bh, banner = read_banner(banner_path)
    check.expect((bw, bh) == SPLASH_SIZE, "banner is %dx%d" % (bw, bh))
    left, top = (width - bw) // 2, (height - bh) // 2
    transparent_outside(rows, width, height, (left, top, left + bw - 1, top + bh - 1), check, "the banner")
    off, worst, total_alpha = 0, 0, 0
    for y in range(bh):
        row = rows[top + y]
        for x in range(bw):
            b, g, r, a = banner[y][x]
            # The output's blend over transparent black keeps alpha and scales colour.
            expected = (r * a // 255, g * a // 255, b * a // 255, a)
            got = row[(left + x) * 4 : (left + x) * 4 + 4]
            diff = max(abs(got[i] - expected[i]) for i in range(4))
            total_alpha += got[3]
            worst = max(worst, diff)
            off += diff > COLOUR_TOLERANCE
    share = off / float(bw * bh)
    print("banner: %d of %d pixels off by more than %d (%.3f%%), worst %d, mean alpha %.1f"
          % (off, bw * bh, COLOUR_TOLERANCE, 100 * share, worst, total_alpha / float(bw * bh)))
    check.expect(total_alpha > 0, "the banner is missing")
    # Only the ringing of its sharp details may differ more.
    check.expect(share <= 0.01, "%.2f%% of the banner's pixels differ" % (100 * share))


def check_text(rows, width, height, check):
    box = TEXT_BOX.get((width, height))
    if box is None:
        check.expect(False, "no text box known for %dx%d" % (width, height))
        return
    x0, y0, x1, y1 = box
    transparent_outside(rows, width, height, box, check, "the box", NEAR)

    def alpha(x, y):
        return rows[y][x * 4 + 3]

    def edge(inside, outside):
        return abs(inside - BOX_ALPHA) <= COLOUR_TOLERANCE and outside <= COLOUR_TOLERANCE

    # The box's edges, to the pixel, where the text does not reach: its top
    # and bottom bands, and its left and right ends.
    edge_faults = []
    for y in (y0, y0 + 2, y0 + 5, y1 - 5, y1 - 2, y1):
        for inside, outside in ((x0, x0 - 1), (x1, x1 + 1)):
            if not edge(alpha(inside, y), alpha(outside, y)):
                edge_faults.append("row %d at columns %d/%d: %d/%d"
                                   % (y, inside, outside, alpha(inside, y), alpha(outside, y)))
    for x in (x0, x0 + 3, x0 + 10, x1 - 10, x1 - 3, x1):
        for inside, outside in ((y0, y0 - 1), (y1, y1 + 1)):
            if not edge(alpha(x, inside), alpha(x, outside)):
                edge_faults.append("column %d at rows %d/%d: %d/%d"
                                   % (x, inside, outside, alpha(x, inside), alpha(x, outside)))
    print("box edges: %d faults" % len(edge_faults))
    check.expect(not edge_faults, "box edges not at %s: %s" % (box, "; ".join(edge_faults[:6])))

    # Classify the box's pixels: flat box black, opaque text, or in between.
    text, between, flat = [], [], []
    for y in range(y0, y1 + 1):
        row = rows[y]
        for x in range(x0, x1 + 1):
            r, g, b, a = row[x * 4 : x * 4 + 4]
            if a >= 255 - COLOUR_TOLERANCE:
                text.append((x, y, r, g, b))
            elif abs(a - BOX_ALPHA) <= COLOUR_TOLERANCE and max(r, g, b) <= COLOUR_TOLERANCE:
                flat.append((x, y, a))
            else:
                between.append((x, y))
    check.expect(len(text) > 0, "no opaque text pixels in the box")
    if not text:
        return
    # Anything neither box nor text must be ringing next to the text, in a
    # block the text crosses, or at the box edge.
    text_at = set((x, y) for x, y, _, _, _ in text)
    text_blocks = set((x // BLOCK, y // BLOCK) for x, y in text_at)
    stray = []
    for x, y in between:
        near_edge = min(x - x0, x1 - x, y - y0, y1 - y) < RING
        near_text = (x // BLOCK, y // BLOCK) in text_blocks or any(
            (x + dx, y + dy) in text_at for dx in range(-RING, RING + 1) for dy in range(-RING, RING + 1))
        if not (near_edge or near_text):
            stray.append((x, y))
    # Flat areas keep their alpha: judged on the blocks no text crosses, as a
    # line across the whole box leaves few blocks untouched by its ringing.
    clear = [a for x, y, a in flat if (x // BLOCK, y // BLOCK) not in text_blocks]
    exact = sum(1 for a in clear if a == BOX_ALPHA)
    print("box: %d ringing, %d stray, %d box black (%d in blocks without text, %d of those with alpha exactly 175)"
          % (len(between), len(stray), len(flat), len(clear), exact))
    check.expect(not stray, "%d box pixels are neither box black nor text, e.g. %s" % (len(stray), stray[:5]))
    check.expect(exact * 10 >= len(clear) * 9,
                 "only %d of %d box pixels away from the text have alpha 175" % (exact, len(clear)))
    check_line(text, box, check)


def check_line(text, box, check):
    """The drawn line: white with grey edges, centred in the box, as high as
    the font's cell allows."""
    x0, y0, x1, y1 = box
    light = sum(1 for _, _, r, g, b in text if min(r, g, b) >= 200)
    grey = sum(1 for _, _, r, g, b in text if max(r, g, b) - min(r, g, b) <= 24)
    brightest = max(min(r, g, b) for _, _, r, g, b in text)
    xs = [t[0] for t in text]
    ys = [t[1] for t in text]
    centre_x = (min(xs) + max(xs)) / 2.0
    centre_y = (min(ys) + max(ys)) / 2.0
    box_centre_x, box_centre_y = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    print("text: %d pixels (%d light, %d grey, brightest %d); ink %d..%d x %d..%d, centre off by %.1f, %.1f"
          % (len(text), light, grey, brightest, min(xs), max(xs), min(ys), max(ys),
             centre_x - box_centre_x, centre_y - box_centre_y))
    box_height = y1 - y0 + 1
    check.expect(len(text) >= (x1 - x0) * box_height // 200, "too little text: %d pixels" % len(text))
    check.expect(brightest >= 240, "the text is not white (brightest %d)" % brightest)
    check.expect(light * 4 >= len(text), "the text is not light: %d of %d pixels" % (light, len(text)))
    check.expect(grey * 20 >= len(text) * 19, "the text is not grey: %d of %d" % (grey, len(text)))
    check.expect(abs(centre_x - box_centre_x) <= max(8, (x1 - x0) // 100), "text not centred across")
    check.expect(abs(centre_y - box_centre_y) <= box_height * 0.15, "text not centred down")
    # The line's height follows the font's cell, 7/10 of the box, or as little
    # as half of it for a line shrunk to fit the box's width.
    ink_height = max(ys) - min(ys) + 1
    cell = box_height * 7 // 10
    check.expect(cell // 2 * 0.4 <= ink_height <= cell,
                 "text %d pixels high in a %d-pixel box" % (ink_height, box_height))


def check_text_without_alpha(rows, width, height, check):
    """BGRX: receivers disregard alpha, so box and background are both black
    and only the line shows."""
    box = TEXT_BOX.get((width, height))
    if box is None:
        check.expect(False, "no text box known for %dx%d" % (width, height))
        return
    x0, y0, x1, y1 = box
    text, outside = [], 0
    for y in range(height):
        row = rows[y]
        for x in range(width):
            r, g, b, a = row[x * 4 : x * 4 + 4]
            if max(r, g, b) <= COLOUR_TOLERANCE:
                continue
            if x0 <= x <= x1 and y0 <= y <= y1:
                text.append((x, y, r, g, b))
            else:
                outside += 1
    print("without alpha: %d lit pixels outside the box" % outside)
    check.expect(outside == 0, "%d pixels outside the box are not black" % outside)
    check.expect(len(text) > 0, "no text in the box")
    if text:
        check_line(text, box, check)


def check_same(rows, width, height, check, other_path):
    """Two receptions of what should be one picture: the codec may move each
    channel by a few steps, and no more."""
    other_width, other_height, other = read_png(other_path)
    check.expect((width, height) == (other_width, other_height),
                 "%dx%d against %dx%d" % (width, height, other_width, other_height))
    if (width, height) != (other_width, other_height):
        return
    alpha_off, colour_off, worst_alpha, worst_colour = 0, 0, 0, 0
    for y in range(height):
        row, other_row = rows[y], other[y]
        if row == other_row:
            continue
        for x in range(0, width * 4, 4):
            a, b = row[x : x + 4], other_row[x : x + 4]
            if a == b:
                continue
            alpha = abs(a[3] - b[3])
            colour = max(abs(a[i] - b[i]) for i in range(3))
            worst_alpha, worst_colour = max(worst_alpha, alpha), max(worst_colour, colour)
            alpha_off += alpha > COLOUR_TOLERANCE
            colour_off += colour > COLOUR_TOLERANCE
    print("against %s: %d pixels with alpha off by more than %d (worst %d), %d with colour off (worst %d)"
          % (os.path.basename(other_path), alpha_off, COLOUR_TOLERANCE, worst_alpha, colour_off, worst_colour))
    check.expect(alpha_off == 0 and colour_off == 0,
                 "%d pixels differ in alpha and %d in colour beyond the codec's error" % (alpha_off, colour_off))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("png")
    parser.add_argument("kind", choices=["startup", "text", "empty", "text-bgrx", "same"])
    parser.add_argument("--like", help="with same: the PNG to compare with")
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--banner", default=os.path.join(here, "..", "..", "res", "art", "banner.bmp"))
    args = parser.parse_args()

    width, height, rows = read_png(args.png)
    print("%s: %dx%d, expected %s" % (os.path.basename(args.png), width, height, args.kind))
    check = Check()
    if args.kind == "same":
        if not args.like:
            parser.error("same needs --like OTHER_PNG")
        check_same(rows, width, height, check, args.like)
    elif args.kind == "empty":
        check_empty(rows, width, height, check)
    elif args.kind == "startup":
        check_startup(rows, width, height, check, args.banner)
    elif args.kind == "text-bgrx":
        check_text_without_alpha(rows, width, height, check)
    else:
        check_text(rows, width, height, check)
    for problem in check.problems:
        print("FAIL: " + problem)
    return 1 if check.problems else 0


if __name__ == "__main__":
    sys.exit(main())
