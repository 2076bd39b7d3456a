#!/usr/bin/env python3
"""Reads pixels of a screenshot region for the visual end-to-end test.

Regions are screen rectangles "left top right bottom" (right and bottom
exclusive), as visual-probe prints them. Uses ImageMagick's `convert` to decode.

  visual_check.py share SHOT L T R B R G B TOL     fraction of pixels within TOL
                                                  (per channel) of the colour
  visual_check.py bright SHOT L T R B LEVEL        fraction with every channel >= LEVEL
  visual_check.py rmse SHOT L T R B EXPECTED       root-mean-square difference (0-255)
                                                  from EXPECTED scaled to the region
  visual_check.py crop SHOT L T R B OUT            saves the region as OUT
Fractions and differences are printed with three decimals.
"""
import math
import subprocess
import sys


def region_pixels(image, left, top, right, bottom, resize=False):
    width, height = right - left, bottom - top
    if width <= 0 or height <= 0:
        sys.exit(f"visual_check: empty region {left} {top} {right} {bottom}")
    if resize:
        ops = ["-resize", f"{width}x{height}!"]
    else:
        ops = ["-crop", f"{width}x{height}+{left}+{top}", "+repage"]
    raw = subprocess.run(
        ["convert", image, "-alpha", "off", *ops, "-depth", "8", "rgb:-"],
        check=True, capture_output=True).stdout
    if len(raw) != width * height * 3:
        sys.exit(f"visual_check: region {left} {top} {right} {bottom} lies outside {image}")
    return [raw[i:i + 3] for i in range(0, len(raw), 3)]


def share(pixels, colour, tolerance):
    near = sum(1 for p in pixels if all(abs(p[c] - colour[c]) <= tolerance for c in range(3)))
    return near / len(pixels)


def bright(pixels, level):
    return sum(1 for p in pixels if min(p) >= level) / len(pixels)


def rmse(pixels, expected):
    total = sum((p[c] - e[c]) ** 2 for p, e in zip(pixels, expected) for c in range(3))
    return math.sqrt(total / (3 * len(pixels)))


def main(argv):
    if len(argv) < 7:
        sys.exit(__doc__)
    command, shot = argv[1], argv[2]
    box = [int(v) for v in argv[3:7]]
    rest = argv[7:]
    if command == "crop":
        left, top, right, bottom = box
        subprocess.run(["convert", shot, "-crop", f"{right - left}x{bottom - top}+{left}+{top}",
                        "+repage", rest[0]], check=True)
        return
    pixels = region_pixels(shot, *box)
    if command == "share":
        value = share(pixels, [int(v) for v in rest[0:3]], int(rest[3]))
    elif command == "bright":
        value = bright(pixels, int(rest[0]))
    elif command == "rmse":
        value = rmse(pixels, region_pixels(rest[0], *box, resize=True))
    else:
        sys.exit(__doc__)
    print(f"{value:.3f}")


if __name__ == "__main__":
    main(sys.argv)
