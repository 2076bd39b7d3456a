#!/usr/bin/env python3
"""Lines in the world's scripts, and checks on the frames a receiver got of them.

    scripts_check.py write DIR            writes each line as DIR/<name>.u16
                                          (UTF-16LE, no byte-order mark) and
                                          prints the names, one a line
    scripts_check.py differ PNG PNG       the two frames' text boxes hold
                                          different lines: enough of the box's
                                          pixels differ beyond the codec's error
    scripts_check.py inside PNG           the line stays inside its box: no
                                          light pixel on the box's first or last
                                          column, and its ink narrower than the box
    scripts_check.py capitals PNG         prints the ink's rows and columns, to
                                          compare capital heights between builds

A line's "boxes" twin is as many missing-glyph characters (U+E000, a private
use code point no font draws) as the line has code units.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_frame import TEXT_BOX, read_png  # noqa: E402

SCRIPTS = [
    ("latin", "Ti\u1ebfng Vi\u1ec7t c\u00f3 d\u1ea5u"),
    ("cyrillic", "\u041f\u0440\u0438\u0432\u0435\u0442 \u043c\u0438\u0440"),
    ("greek", "\u0395\u03bb\u03bb\u03ac\u03b4\u03b1"),
    ("chinese", "\u4f60\u597d\u4e16\u754c"),
    ("japanese", "\u3053\u3093\u306b\u3061\u306f\u4e16\u754c"),
    ("korean", "\uc548\ub155\ud558\uc138\uc694"),
    ("arabic", "\u0645\u0631\u062d\u0628\u0627"),
    ("hebrew", "\u05e9\u05dc\u05d5\u05dd"),
    ("devanagari", "\u0928\u092e\u0938\u094d\u0924\u0947"),
    ("thai", "\u0e2a\u0e27\u0e31\u0e2a\u0e14\u0e35"),
    ("mixed", "Caf\u00e9 \u6771\u4eac \u0645\u0631\u062d\u0628\u0627 2026"),
]
OTHERS = [
    # The Arabic word's letters in their isolated presentation forms.
    ("arabic-isolated", "\ufee1\ufead\ufea1\ufe8f\ufe8d"),
    ("ampersand", "Q&A"),
    ("no-ampersand", "QA"),
    ("capitals37", "WELCOME TO THE ANNUAL GENERAL MEETING"),
    ("capitals-latin", "HEIGHT OF CAPITALS"),
]
LIGHT = 128       # a pixel at least this bright is ink, whatever the codec did
DIFFERENT = 48    # a grey level this far apart is no codec error
ENOUGH = 200      # pixels that must differ for two lines to be different lines


def cases():
    lines = list(SCRIPTS) + list(OTHERS)
    lines += [(name + "-boxes", "\ue000" * (len(text.encode("utf-16-le")) // 2))
              for name, text in SCRIPTS]
    return lines


def box_greys(path):
    """The box's grey levels, row by row; opaque pixels only (the rest is box black)."""
    width, height, rows = read_png(path)
    box = TEXT_BOX.get((width, height))
    if box is None:
        sys.exit("FAIL: no text box known for %dx%d" % (width, height))
    x0, y0, x1, y1 = box
    greys = []
    for y in range(y0, y1 + 1):
        row = rows[y]
        greys.append([min(row[x * 4: x * 4 + 3]) if row[x * 4 + 3] >= 248 else 0
                      for x in range(x0, x1 + 1)])
    return greys


def differ(a, b):
    ga, gb = box_greys(a), box_greys(b)
    count = sum(1 for ra, rb in zip(ga, gb) for pa, pb in zip(ra, rb) if abs(pa - pb) >= DIFFERENT)
    print("%s / %s: %d box pixels differ" % (os.path.basename(a), os.path.basename(b), count))
    return count >= ENOUGH


def ink(greys):
    xs = [x for row in greys for x, p in enumerate(row) if p >= LIGHT]
    ys = [y for y, row in enumerate(greys) if any(p >= LIGHT for p in row)]
    return (min(xs), max(xs), min(ys), max(ys)) if xs else None


def inside(path):
    greys = box_greys(path)
    width = len(greys[0])
    found = ink(greys)
    if not found:
        print("FAIL: no ink")
        return False
    left, right, top, bottom = found
    edges = sum(1 for row in greys if row[0] >= LIGHT or row[-1] >= LIGHT)
    print("%s: ink columns %d..%d of 0..%d (%d wide), rows with ink on an edge column: %d"
          % (os.path.basename(path), left, right, width - 1, right - left + 1, edges))
    return edges == 0 and right - left + 1 < width


def capitals(path):
    found = ink(box_greys(path))
    if not found:
        print("FAIL: no ink")
        return False
    left, right, top, bottom = found
    print("%s: capitals %d pixels high (box rows %d..%d), columns %d..%d"
          % (os.path.basename(path), bottom - top + 1, top, bottom, left, right))
    return True


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "write":
        for name, text in cases():
            with open(os.path.join(sys.argv[2], name + ".u16"), "wb") as out:
                out.write(text.encode("utf-16-le"))
            print(name)
        return 0
    if len(sys.argv) == 4 and sys.argv[1] == "differ":
        return 0 if differ(sys.argv[2], sys.argv[3]) else 1
    if len(sys.argv) == 3 and sys.argv[1] == "inside":
        return 0 if inside(sys.argv[2]) else 1
    if len(sys.argv) == 3 and sys.argv[1] == "capitals":
        return 0 if capitals(sys.argv[2]) else 1
    sys.exit(__doc__)


if __name__ == "__main__":
    sys.exit(main())
