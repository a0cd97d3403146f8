#!/usr/bin/env python3
"""The parts of a Windows program's file (PE image) that signing touches.

Usage: pe_image.py <program.exe>   pads the file to 8 bytes and writes its PE checksum

Authenticode signing pads a program to an 8-byte boundary, appends the signature and
rewrites the checksum; removing the signature gives back the original bytes only if the
original already had both. The build runs this on every program it links.
"""
import struct
import sys

SECURITY_DIRECTORY = 4  # the certificate table: a file offset and a size, not an address


def _header_offsets(data):
    """(offset of the checksum field, offset of the security directory entry)."""
    if data[:2] != b'MZ':
        raise ValueError('not a Windows program (no MZ header)')
    pe = struct.unpack_from('<I', data, 0x3C)[0]
    if data[pe:pe + 4] != b'PE\0\0':
        raise ValueError('not a Windows program (no PE header)')
    optional = pe + 24
    magic = struct.unpack_from('<H', data, optional)[0]
    if magic not in (0x10B, 0x20B):  # PE32, PE32+
        raise ValueError('not a Windows program (unknown optional header)')
    directories = optional + (96 if magic == 0x10B else 112)
    return optional + 64, directories + 8 * SECURITY_DIRECTORY


def checksum(data):
    """The PE checksum: the file's 16-bit words summed with end-around carry (the checksum field
    counting as zero), plus the file's size."""
    field, _ = _header_offsets(data)
    words = bytes(data[:field]) + bytes(4) + bytes(data[field + 4:]) + bytes(len(data) % 2)
    total = sum(struct.unpack('<%dH' % (len(words) // 2), words))
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return total + len(data)


def finished(data):
    """The program padded with zeros to 8 bytes, carrying its correct checksum."""
    data = bytearray(data) + b'\0' * (-len(data) % 8)
    field, _ = _header_offsets(data)
    struct.pack_into('<I', data, field, checksum(data))
    return bytes(data)


def certificate_table(data):
    """(offset, size) of the certificate table; (0, 0) for an unsigned program."""
    _, entry = _header_offsets(data)
    return struct.unpack_from('<II', data, entry)


def with_signature(unsigned, signature):
    """The program with one PKCS#7 signature (DER) as its certificate table."""
    data = bytearray(finished(unsigned))
    if certificate_table(data) != (0, 0):
        raise ValueError('the program is signed already')
    entry = signature + b'\0' * (-len(signature) % 8)
    table = struct.pack('<IHH', 8 + len(entry), 0x0200, 0x0002) + entry  # WIN_CERT_TYPE_PKCS_SIGNED_DATA
    _, directory = _header_offsets(data)
    struct.pack_into('<II', data, directory, len(data), len(table))
    data += table
    field, _ = _header_offsets(data)
    struct.pack_into('<I', data, field, checksum(data))
    return bytes(data)


def signature(signed):
    """The PKCS#7 signature (DER) of a signed program."""
    offset, size = certificate_table(signed)
    if size < 8:
        raise ValueError('the program carries no signature')
    return bytes(signed[offset + 8:offset + size])


def main(argv):
    if len(argv) != 2:
        sys.exit(__doc__)
    with open(argv[1], 'rb') as f:
        data = f.read()
    result = finished(data)
    if result != data:
        with open(argv[1], 'wb') as f:
            f.write(result)


if __name__ == '__main__':
    main(sys.argv)
