#!/usr/bin/env python3
"""Packs the release zip; run by the release-zip target.

    pack_release_zip.py --zip OUT.zip --folder NAME --strip STRIP
                        --program cuewire.exe=BUILT_EXE FILE_IN_ZIP=SOURCE...

Every entry goes into one folder NAME inside the zip, in the order given. The
program is stripped of its debugging information on the way.

The same inputs give the same bytes: entries carry fixed permissions and one
fixed date (SOURCE_DATE_EPOCH when set, the reproducible-builds convention),
and no access or change times. strip writes the current time into the
program's PE header, so the header gets that same fixed date back (and its
checksum is computed again).
"""
import argparse
import os
import struct
import subprocess
import sys
import tempfile
import time
import zipfile

DEFAULT_EPOCH = 946684800  # 2000-01-01 00:00:00 UTC


def release_epoch():
    value = os.environ.get("SOURCE_DATE_EPOCH")
    # Zip dates cannot go before 1980.
    return max(int(value), 315532800) if value else DEFAULT_EPOCH


def pe_checksum(data, checksum_offset):
    """The PE image checksum: 16-bit one's-complement style sum plus length."""
    total = 0
    padded = data + (b"\0" if len(data) % 2 else b"")
    for i in range(0, len(padded), 2):
        if checksum_offset <= i < checksum_offset + 4:
            continue
        total += padded[i] | (padded[i + 1] << 8)
        total = (total & 0xFFFF) + (total >> 16)
    total = (total & 0xFFFF) + (total >> 16)
    return (total + len(data)) & 0xFFFFFFFF


def set_pe_timestamp(path, epoch):
    with open(path, "rb") as f:
        data = bytearray(f.read())
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[:2] != b"MZ" or data[pe:pe + 4] != b"PE\0\0":
        sys.exit(f"release zip: {path} is not a PE file")
    struct.pack_into("<I", data, pe + 8, epoch)  # COFF header: TimeDateStamp
    checksum_offset = pe + 24 + 64  # optional header: CheckSum
    if struct.unpack_from("<I", data, checksum_offset)[0] != 0:
        struct.pack_into("<I", data, checksum_offset, 0)
        struct.pack_into("<I", data, checksum_offset, pe_checksum(bytes(data), checksum_offset))
    with open(path, "wb") as f:
        f.write(data)


def add_entry(archive, name, data, mode, epoch):
    info = zipfile.ZipInfo(name, date_time=time.gmtime(epoch)[:6])
    info.create_system = 3  # Unix, so that the permissions below mean something
    info.external_attr = (0o100000 | mode) << 16
    info.compress_type = zipfile.ZIP_DEFLATED
    archive.writestr(info, data, compresslevel=9)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--zip", required=True)
    parser.add_argument("--folder", required=True)
    parser.add_argument("--strip", required=True)
    parser.add_argument("--program", required=True, help="NAME=BUILT_EXE")
    parser.add_argument("files", nargs="*", help="NAME=SOURCE")
    args = parser.parse_args()

    epoch = release_epoch()
    program_name, program_source = args.program.split("=", 1)
    files = [entry.split("=", 1) for entry in args.files]
    for _, source in [(program_name, program_source)] + files:
        if not os.path.isfile(source):
            sys.exit(f"release zip: missing {source}")

    with tempfile.TemporaryDirectory() as scratch:
        program = os.path.join(scratch, program_name)
        subprocess.run([args.strip, "--strip-all", "-o", program, program_source], check=True)
        set_pe_timestamp(program, epoch)

        partial = args.zip + ".partial"
        with zipfile.ZipFile(partial, "w") as archive:
            with open(program, "rb") as f:
                add_entry(archive, f"{args.folder}/{program_name}", f.read(), 0o755, epoch)
            for name, source in files:
                with open(source, "rb") as f:
                    add_entry(archive, f"{args.folder}/{name}", f.read(), 0o644, epoch)
        os.replace(partial, args.zip)


if __name__ == "__main__":
    main()
