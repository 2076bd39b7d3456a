"""The program as it is shipped: stripped of its debugging information, with
a PE header that depends on the release date only. strip writes the current
time into the header, so the header gets the fixed date back (and its checksum
is computed again)."""
import struct
import subprocess


class NotAProgram(Exception):
    pass


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
    pe = struct.unpack_from("<I", data, 0x3C)[0] if len(data) >= 0x40 else 0
    if data[:2] != b"MZ" or data[pe:pe + 4] != b"PE\0\0":
        raise NotAProgram(f"{path} is not a PE file")
    struct.pack_into("<I", data, pe + 8, epoch & 0xFFFFFFFF)  # COFF header: TimeDateStamp
    checksum_offset = pe + 24 + 64  # optional header: CheckSum
    if struct.unpack_from("<I", data, checksum_offset)[0] != 0:
        struct.pack_into("<I", data, checksum_offset, 0)
        struct.pack_into("<I", data, checksum_offset, pe_checksum(bytes(data), checksum_offset))
    with open(path, "wb") as f:
        f.write(data)


def prepare_program(strip, source, destination, epoch):
    subprocess.run([strip, "--strip-all", "-o", destination, source], check=True)
    set_pe_timestamp(destination, epoch)
