#!/usr/bin/env python3
"""Signs a Windows program with Authenticode (SHA-256) through osslsigncode.

Usage: sign_program.py <unsigned.exe> <signed.exe> --name NAME --url URL --time EPOCH
                       (--pkcs12 FILE | --cert FILE --key FILE) [--password-file FILE]
                       [--timestamp-url URL]

The signature carries the program's name and the publisher's URL and, without a time stamp,
is the same from one run to the next (the signing time is EPOCH; an RSA key signs
deterministically). --timestamp-url asks that RFC 3161 time-stamp authority to countersign.

osslsigncode writes the program's name as an ASCII string, which Windows cannot show in
Chinese: the name is rewritten as a Unicode string and the signed attributes signed again
with the same key (openssl), before the signature goes into the program.
"""
import argparse
import os
import subprocess
import sys
import tempfile

import pe_image

OPUS_INFO = bytes.fromhex('060a2b06010401823702010c')  # OID 1.3.6.1.4.1.311.2.1.12


class SignError(Exception):
    pass


def tlv(data, pos=0):
    """(tag, start of the content, end) of the DER element at pos."""
    tag, size, pos = data[pos], data[pos + 1], pos + 2
    if size & 0x80:
        count = size & 0x7F
        size, pos = int.from_bytes(data[pos:pos + count], 'big'), pos + count
    return tag, pos, pos + size


def content(element):
    _, start, end = tlv(element)
    return element[start:end]


def children(element):
    data, pos, found = content(element), 0, []
    while pos < len(data):
        end = tlv(data, pos)[2]
        found.append(data[pos:end])
        pos = end
    return found


def der(tag, body):
    size = len(body)
    if size < 0x80:
        return bytes([tag, size]) + body
    digits = size.to_bytes((size.bit_length() + 7) // 8, 'big')
    return bytes([tag, 0x80 | len(digits)]) + digits + body


def run(command, data=None):
    result = subprocess.run(command, input=data, capture_output=True)
    if result.returncode != 0:
        output = (result.stdout + result.stderr).decode('utf-8', 'replace').strip()
        raise SignError('%s failed:\n%s' % (command[0], output))
    return result.stdout


def key_options(args):
    secret = ['-readpass', args.password_file] if args.password_file else []
    if args.pkcs12:
        return ['-pkcs12', args.pkcs12] + secret
    return ['-certs', args.cert, '-key', args.key] + secret


def sign_attributes(args, attributes):
    """The signature of the signed attributes (DER SET OF), by the signer's key."""
    command = ['openssl', 'dgst', '-sha256', '-sign', args.pkcs12 or args.key,
               '-passin', 'file:' + args.password_file if args.password_file else 'pass:']
    if args.pkcs12:
        command += ['-keyform', 'P12']
        try:  # OpenSSL 3 encrypts with AES, which builds without the legacy provider read too
            return run(command, attributes)
        except SignError:  # older files (Windows' exports too) with RC2 or RC4
            command += ['-provider', 'legacy', '-provider', 'default']
    return run(command, attributes)


def with_unicode_name(args, signature):
    """The signature with SpcSpOpusInfo's program name as a BMPString, signed again."""
    outer = children(signature)  # contentType, [0] EXPLICIT SignedData
    signed_data = children(children(outer[1])[0])
    signer = children(signed_data[-1])[0]
    fields = children(signer)
    attributes_at = next(i for i, f in enumerate(fields) if f[0] == 0xA0)
    digest_at = next(i for i, f in enumerate(fields) if f[0] == 0x04 and i > attributes_at)
    name = der(0xA0, der(0x80, args.name.encode('utf-16-be')))  # [0] SpcString unicode
    link = der(0xA1, der(0x80, args.url.encode('ascii')))  # [1] SpcLink url
    opus = der(0x30, OPUS_INFO + der(0x31, der(0x30, name + link)))
    attributes = [opus if children(a)[0] == OPUS_INFO else a for a in children(fields[attributes_at])]
    if opus not in attributes:
        raise SignError('osslsigncode wrote no SpcSpOpusInfo attribute')
    body = b''.join(sorted(attributes))  # DER orders a SET OF by the encodings
    fields[attributes_at] = der(0xA0, body)
    fields[digest_at] = der(0x04, sign_attributes(args, der(0x31, body)))
    signed_data[-1] = der(0x31, der(0x30, b''.join(fields)))
    return der(0x30, outer[0] + der(0xA0, der(0x30, b''.join(signed_data))))


def sign(args):
    with open(args.unsigned, 'rb') as f:
        unsigned = f.read()
    if pe_image.finished(unsigned) != unsigned:
        raise SignError('%s is not padded to 8 bytes with its checksum: removing the signature '
                        'would not give it back (scripts/pe_image.py)' % args.unsigned)
    with tempfile.TemporaryDirectory() as work:
        first = os.path.join(work, 'first.exe')
        run(['osslsigncode', 'sign'] + key_options(args) +
            ['-h', 'sha256', '-i', args.url, '-time', str(args.time),
             '-in', args.unsigned, '-out', first])
        with open(first, 'rb') as f:
            signature = pe_image.signature(f.read())
        signature = signature[:tlv(signature)[2]]
        signed = pe_image.with_signature(unsigned, with_unicode_name(args, signature))
        if args.timestamp_url:
            named = os.path.join(work, 'named.exe')
            with open(named, 'wb') as f:
                f.write(signed)
            stamped = os.path.join(work, 'stamped.exe')
            run(['osslsigncode', 'add', '-ts', args.timestamp_url, '-h', 'sha256',
                 '-in', named, '-out', stamped])
            with open(stamped, 'rb') as f:
                signed = f.read()
    with open(args.signed, 'wb') as f:
        f.write(signed)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('unsigned')
    parser.add_argument('signed')
    parser.add_argument('--name', required=True)
    parser.add_argument('--url', required=True)
    parser.add_argument('--time', required=True, type=int)
    parser.add_argument('--pkcs12')
    parser.add_argument('--cert')
    parser.add_argument('--key')
    parser.add_argument('--password-file')
    parser.add_argument('--timestamp-url')
    args = parser.parse_args(argv)
    if bool(args.pkcs12) == bool(args.cert or args.key) or bool(args.cert) != bool(args.key):
        parser.error('give --pkcs12, or --cert with --key')
    try:
        sign(args)
    except (SignError, ValueError, OSError) as error:
        print('sign_program: %s' % error, file=sys.stderr)
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
