#!/usr/bin/env python3
"""Prints where a Windows shortcut (.lnk) points, as two lines:

    target=<the target's local path>
    workdir=<the working folder, empty when the shortcut has none>

Reads the binary Shell Link format: the header's flags, the optional item ID
list (skipped), the LinkInfo block with the local base path and its common
suffix, then the counted strings up to the working folder.
"""
import struct
import sys

HAS_ID_LIST, HAS_LINK_INFO, HAS_NAME, HAS_RELATIVE_PATH, HAS_WORKING_DIR = 1, 2, 4, 8, 16
IS_UNICODE = 0x80


def c_string(data, at, wide):
    if wide:
        end = at
        while data[end:end + 2] != b"\0\0":
            end += 2
        return data[at:end].decode("utf-16-le")
    return data[at:data.index(b"\0", at)].decode("latin-1")


def parse(data):
    if len(data) < 0x4C or struct.unpack_from("<I", data, 0)[0] != 0x4C:
        raise ValueError("not a shell link")
    flags = struct.unpack_from("<I", data, 0x14)[0]
    at = 0x4C
    if flags & HAS_ID_LIST:
        at += 2 + struct.unpack_from("<H", data, at)[0]
    target = ""
    if flags & HAS_LINK_INFO:
        size, header, info_flags, _, base, _, suffix = struct.unpack_from("<7I", data, at)
        if info_flags & 1:  # VolumeIDAndLocalBasePath
            if header >= 0x24:
                base_wide, suffix_wide = struct.unpack_from("<2I", data, at + 28)
                target = c_string(data, at + base_wide, True) + c_string(data, at + suffix_wide, True)
            else:
                target = c_string(data, at + base, False) + c_string(data, at + suffix, False)
        at += size
    wide = bool(flags & IS_UNICODE)
    strings = {}
    for flag in (HAS_NAME, HAS_RELATIVE_PATH, HAS_WORKING_DIR):
        if flags & flag:
            count = struct.unpack_from("<H", data, at)[0]
            at += 2
            length = count * (2 if wide else 1)
            raw = data[at:at + length]
            # Some writers count the terminating NUL as well.
            strings[flag] = (raw.decode("utf-16-le") if wide else raw.decode("latin-1")).rstrip("\0")
            at += length
    if not target:
        raise ValueError("the shortcut names no local target")
    return target, strings.get(HAS_WORKING_DIR, "")


def main():
    with open(sys.argv[1], "rb") as f:
        try:
            target, workdir = parse(f.read())
        except (ValueError, struct.error, IndexError) as problem:
            sys.exit(f"lnk_target: {sys.argv[1]}: {problem}")
    print(f"target={target}")
    print(f"workdir={workdir}")


if __name__ == "__main__":
    main()
