#!/usr/bin/env python3
"""The publisher's code-signing key, and the check of a program signed with it.

Usage: signing_key.py check (--pkcs12 FILE | --cert FILE --key FILE) [--password-file FILE]
                            [--not-reproducible]
       signing_key.py verify <signed.exe> <unsigned.exe> (--pkcs12 FILE | --cert FILE)
                             [--password-file FILE] [--ca FILE]

check: the key opens with the password (a PKCS#12 file with or without OpenSSL's legacy
provider) and signs the same bytes every time, as only RSA with PKCS#1 v1.5 padding does;
--not-reproducible lets any other key through.
verify: the signature, and its time stamp if any, verifies against the certificates that came
with the key (the PKCS#12 file's or the certificate file's), the --ca file and the system's
certificate bundle; and removing the signature gives back the unsigned program byte for byte.
"""
import argparse
import os
import ssl
import subprocess
import sys
import tempfile

from sign_program import tlv

# The algorithm of a key's SubjectPublicKeyInfo (DER of the OID).
RSA = bytes.fromhex('06092a864886f70d010101')
KEY_KINDS = {
    bytes.fromhex('06092a864886f70d01010a'): 'an RSA-PSS key, which signs with a random salt',
    bytes.fromhex('06072a8648ce3d0201'): 'an EC key: ECDSA signs with a random number',
    bytes.fromhex('06072a8648ce380401'): 'a DSA key, which signs with a random number',
}


class SigningError(Exception):
    pass


def openssl(arguments, data=None):
    """(exit code, output, error text) of an openssl command."""
    result = subprocess.run(['openssl'] + arguments, input=data, capture_output=True)
    return result.returncode, result.stdout, result.stderr.decode('utf-8', 'replace')


def passin(password_file):
    return 'file:' + password_file if password_file else 'pass:'


def read_pkcs12(path, password_file, *options):
    """`openssl pkcs12`'s output for the file.

    OpenSSL 3 encrypts a PKCS#12 file with AES, which any build reads; older files (Windows'
    own exports too) use RC2 or RC4, which only the legacy provider has, and some OpenSSL
    builds come without it. So the file is tried without the provider first."""
    command = ['pkcs12', '-in', path, '-passin', passin(password_file)] + list(options)
    code, output, modern = openssl(command)
    if code == 0:
        return output
    code, output, legacy = openssl(command + ['-legacy'])
    if code == 0:
        return output
    if 'mac verify' in modern.lower():  # the MAC is checked first, by the default provider
        raise SigningError('%s does not open with the password in %s' % (path, password_file))
    if 'unsupported' in modern and 'provider legacy' in legacy:
        raise SigningError(
            "%s is encrypted with an old algorithm (RC2 or RC4) that needs OpenSSL's legacy "
            "provider, and this OpenSSL has none (openssl list -providers -provider legacy): "
            "install it, or export the file again with AES (openssl pkcs12 -export without "
            "-legacy)" % path)
    raise SigningError('%s is not a PKCS#12 file that opens with the password in %s:\n%s'
                    % (path, password_file, (modern or legacy).strip()))


def public_key(args):
    """The signing key's public half (DER SubjectPublicKeyInfo)."""
    if args.pkcs12:  # the key only passes through pipes
        key = read_pkcs12(args.pkcs12, args.password_file, '-nocerts', '-nodes')
        code, output, error = openssl(['pkey', '-pubout', '-outform', 'DER'], key)
    else:
        code, output, error = openssl(['pkey', '-in', args.key, '-passin',
                                       passin(args.password_file), '-pubout', '-outform', 'DER'])
    if code != 0:
        raise SigningError('%s is no private key%s:\n%s' % (
            args.pkcs12 or args.key,
            ' for the password in %s' % args.password_file if args.password_file else '',
            error.strip()))
    return output


def check(args):
    spki = public_key(args)  # SEQUENCE { SEQUENCE { OID, parameters }, BIT STRING }
    identifier = tlv(spki, tlv(spki)[1])[1]
    algorithm = spki[identifier:tlv(spki, identifier)[2]]
    if args.not_reproducible or algorithm == RSA:
        return
    kind = next((text for oid, text in KEY_KINDS.items() if algorithm == oid),
                'not an RSA key')
    raise SigningError(
        '%s is %s, so the signature, and with it the signed program, differs from run to run '
        'and nobody can build the same release again: sign with an RSA key, or say '
        '--not-reproducible' % (args.pkcs12 or args.key, kind))


def certificates(args):
    """The certificates that came with the key (PEM): the chain its holder was given."""
    if args.pkcs12:
        return read_pkcs12(args.pkcs12, args.password_file, '-nokeys')
    code, output, error = openssl(['storeutl', '-certs', args.cert])  # PEM, DER or PKCS#7
    if code != 0:
        raise SigningError('%s holds no certificates:\n%s' % (args.cert, error.strip()))
    return output


def run(command):
    result = subprocess.run(command, capture_output=True)
    return result.returncode, (result.stdout + result.stderr).decode('utf-8', 'replace')


def verify(args):
    trusted = certificates(args)
    for extra in (args.ca, ssl.get_default_verify_paths().cafile):
        if extra and os.path.isfile(extra):
            with open(extra, 'rb') as f:
                trusted += b'\n' + f.read()
    with tempfile.TemporaryDirectory() as work:
        store = os.path.join(work, 'trusted.pem')
        with open(store, 'wb') as f:
            f.write(trusted)
        code, output = run(['osslsigncode', 'verify', '-CAfile', store, '-TSA-CAfile', store,
                            '-in', args.signed])
        if code != 0:
            lines = [l.strip() for l in output.splitlines()
                     if any(w in l.lower() for w in ('error', 'mismatch', 'failed'))]
            raise SigningError('the signature of %s does not verify against the signing '
                            "certificate's chain:\n  %s" % (args.signed, '\n  '.join(lines or [output])))
        stripped = os.path.join(work, 'stripped.exe')
        code, output = run(['osslsigncode', 'remove-signature', '-in', args.signed,
                            '-out', stripped])
        if code != 0:
            raise SigningError('removing the signature of %s failed:\n%s' % (args.signed, output))
        with open(stripped, 'rb') as f, open(args.unsigned, 'rb') as g:
            if f.read() != g.read():
                raise SigningError('%s without its signature is not %s byte for byte: signing '
                                'changed the program' % (args.signed, args.unsigned))


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('command', choices=('check', 'verify'))
    parser.add_argument('signed', nargs='?')
    parser.add_argument('unsigned', nargs='?')
    parser.add_argument('--pkcs12')
    parser.add_argument('--cert')
    parser.add_argument('--key')
    parser.add_argument('--password-file')
    parser.add_argument('--ca')
    parser.add_argument('--not-reproducible', action='store_true')
    args = parser.parse_args(argv)
    if args.command == 'verify' and not (args.signed and args.unsigned):
        parser.error('verify takes the signed and the unsigned program')
    if bool(args.pkcs12) == bool(args.cert or args.key) or (
            args.command == 'check' and bool(args.cert) != bool(args.key)):
        parser.error('give --pkcs12, or --cert with --key')
    try:
        check(args) if args.command == 'check' else verify(args)
    except (SigningError, OSError) as error:
        print('signing_key: %s' % error, file=sys.stderr)
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
