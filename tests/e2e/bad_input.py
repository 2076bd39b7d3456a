#!/usr/bin/env python3
"""The awkward texts of the bad-input test, and what the link should say about each.

    bad_input.py write DIR           writes every case's text as DIR/<name>.u16
                                     (UTF-16LE, no byte-order mark) and prints
                                     "<name> <code units>" per case
    bad_input.py units FILE          the file's code units as win-probe prints a
                                     control's: "<count>" then four hex digits each
    bad_input.py save-units FILE     reads a line in that form and writes its
                                     code units to FILE
    bad_input.py same-ink PNG PNG    the two frames' text boxes hold the same
                                     line: as many opaque pixels within 5 %, the
                                     ink's ends within 4 pixels
    bad_input.py link LOG FILE       LOG holds the link monitor's lines for one
                                     text going live and coming off; checks them
                                     against the code units in FILE

The link check wants exactly: 8 with the marker, one 9 per code unit carrying
that unit, 10 with the marker, then 11 with 0. It prints what it counted and
exits 1 with the first difference.
"""
import os
import sys

MARKER = 0x1122334455667788


def long_text(units):
    """Words and spaces, cut to exactly `units` code units."""
    words = "Breaking news from the studio floor tonight at nine "
    return (words * (units // len(words) + 1))[:units]


# Each case: a name and its text. Python strings hold lone surrogates as they are.
CASES = [
    ("plain37", "The quick brown fox jumps over the la"),
    ("long20000", long_text(20000)),
    # Outside the basic plane: a clapperboard and a grinning face, two units each.
    ("emoji", "Go \U0001F3AC live \U0001F600!"),
    # Accents as separate combining marks, one base letter carrying two.
    ("combining", "Ame\u0301lie Zoe\u0308 man\u0303ana a\u0323\u0302"),
    ("arabic", "\u0645\u0631\u062d\u0628\u0627 \u0628\u0627\u0644\u0639\u0627\u0644\u0645"),
    ("hebrew", "\u05e9\u05dc\u05d5\u05dd \u05e2\u05d5\u05dc\u05dd"),
    # Tab, CR LF, other C0 controls and DEL between letters.
    ("controls", "A\tB\r\nC\x01D\x07E\x1bF\x1fG\x7fH"),
    # The same line as it should look: one space for each control character.
    ("spaced", "A B  C D E F G H"),
    # A high surrogate with no low one after it, and a low one with no high one.
    ("lone", "X\ud800Y Z\udfff"),
]


def encode(text):
    return text.encode("utf-16-le", "surrogatepass")


def units_of(data):
    return [int.from_bytes(data[i : i + 2], "little") for i in range(0, len(data), 2)]


def write(directory):
    for name, text in CASES:
        data = encode(text)
        with open("%s/%s.u16" % (directory, name), "wb") as f:
            f.write(data)
        print(name, len(data) // 2)


def print_units(path):
    with open(path, "rb") as f:
        units = units_of(f.read())
    print(" ".join([str(len(units))] + ["%04x" % u for u in units]))


def save_units(path):
    words = sys.stdin.read().split()
    units = [int(w, 16) for w in words[1:]]
    if len(units) != int(words[0]):
        print("FAIL: %s code units announced, %d given" % (words[0], len(units)))
        return 1
    with open(path, "wb") as f:
        f.write(b"".join(u.to_bytes(2, "little") for u in units))
    return 0


def ink(path):
    """The opaque pixels inside the text box: their count and first and last columns."""
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    import check_frame

    width, height, rows = check_frame.read_png(path)
    x0, y0, x1, y1 = check_frame.TEXT_BOX[(width, height)]
    columns = [x for y in range(y0, y1 + 1) for x in range(x0, x1 + 1) if rows[y][x * 4 + 3] >= 247]
    return len(columns), min(columns, default=-1), max(columns, default=-1)


def same_ink(first, second):
    a, b = ink(first), ink(second)
    print("ink: %d pixels in columns %d..%d, beside %d pixels in columns %d..%d" % (a + b))
    if abs(a[0] - b[0]) * 20 > max(a[0], b[0]) or abs(a[1] - b[1]) > 4 or abs(a[2] - b[2]) > 4:
        print("FAIL: the two boxes do not hold the same line")
        return 1
    return 0


def read_messages(path):
    messages = []
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            parts = line.split()
            if len(parts) == 4 and parts[0] == "code" and parts[2] == "value":
                messages.append((int(parts[1]), int(parts[3])))
    return messages


def check_link(log, path):
    with open(path, "rb") as f:
        units = units_of(f.read())
    expected = [(8, MARKER)] + [(9, u) for u in units] + [(10, MARKER), (11, 0)]
    got = read_messages(log)
    counts = {code: sum(1 for c, _ in got if c == code) for code in (8, 9, 10, 11)}
    print("link: %d messages: %d x 8, %d x 9, %d x 10, %d x 11 (expected 1, %d, 1, 1)"
          % (len(got), counts[8], counts[9], counts[10], counts[11], len(units)))
    if got == expected:
        print("link: every code unit arrived, in order")
        return 0
    for i, (want, have) in enumerate(zip(expected, got)):
        if want != have:
            print("FAIL: message %d is code %d value %#x, expected code %d value %#x"
                  % (i, have[0], have[1], want[0], want[1]))
            return 1
    print("FAIL: %d messages, expected %d" % (len(got), len(expected)))
    return 1


def main(argv):
    if len(argv) == 3 and argv[1] == "write":
        write(argv[2])
        return 0
    if len(argv) == 3 and argv[1] == "units":
        print_units(argv[2])
        return 0
    if len(argv) == 3 and argv[1] == "save-units":
        return save_units(argv[2])
    if len(argv) == 4 and argv[1] == "same-ink":
        return same_ink(argv[2], argv[3])
    if len(argv) == 4 and argv[1] == "link":
        return check_link(argv[2], argv[3])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
