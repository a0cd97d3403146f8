#!/usr/bin/env python3
"""Publishes a plug-in version for the assistant's update server, signed with the publisher's key.

  publish.py key KEY.pem
      Makes a new ECDSA P-256 key pair. The private key goes to KEY.pem (readable by its owner
      only; keep it out of every repository). Prints the public key as 128 hex digits, X then Y:
      build the assistant with -DUPDATE_PUBLIC_KEY=<those digits>.

  publish.py public-key KEY.pem
      Prints the public key of an existing private key, as above.

  publish.py publish PLUGIN_FOLDER VERSION KEY.pem SERVER_TREE
      PLUGIN_FOLDER holds "Brindo.rb" and the folder "Brindo". Writes into SERVER_TREE:
        index/tools/getVersion   VERSION, in GBK
        update/翎图匠.rbz         the plug-in as a zip archive
        update/翎图匠.rbz.sig     ECDSA P-256 over SHA-256 of the archive: 64 bytes, r then s
        update/翎图匠.rbz.release the release record: "key=value" lines (LF) binding the
                                 version, the archive's size and SHA-256 and the time of
                                 publication (SOURCE_DATE_EPOCH when set, else now; UTC)
        update/翎图匠.rbz.release.sig  its signature, as the archive's
      VERSION is dotted decimal numbers (1.0.9): the assistant refuses to install a version older
      than the one it installed before, by the record's version.
      The archive is deterministic (entries in a fixed order, fixed times and attributes), so
      the same folder always gives the same bytes. Its names are GBK without the UTF-8 flag,
      as the assistant reads them, and every folder has an entry before its contents.

Keys and signatures are made by the openssl command; the rest uses only Python's library.
"""
import argparse
import hashlib
import os
import re
import subprocess
import sys
import tempfile
import time
import zipfile

ARCHIVE_NAME = "翎图匠.rbz"
VERSION_PATH = ("index", "tools", "getVersion")
FIXED_TIME = (1980, 1, 1, 0, 0, 0)  # the earliest a zip entry can carry
# SubjectPublicKeyInfo of a P-256 key up to its point: id-ecPublicKey, prime256v1, a bit string
# holding 0x04 (uncompressed) followed by X and Y.
P256_SPKI_PREFIX = bytes.fromhex("3059301306072a8648ce3d020106082a8648ce3d030107034200")


class PublishError(Exception):
    pass


def openssl(*args, data=None):
    try:
        done = subprocess.run(["openssl", *args], input=data, capture_output=True, check=False)
    except FileNotFoundError:
        raise PublishError("the openssl command is missing (scripts/setup.sh installs it)")
    if done.returncode != 0:
        raise PublishError("openssl %s failed: %s" % (args[0], done.stderr.decode(errors="replace")))
    return done.stdout


def public_key_hex(key_file):
    spki = openssl("pkey", "-in", key_file, "-pubout", "-outform", "DER")
    if len(spki) != len(P256_SPKI_PREFIX) + 65 or not spki.startswith(P256_SPKI_PREFIX + b"\x04"):
        raise PublishError("%s is not an ECDSA P-256 key" % key_file)
    return spki[len(P256_SPKI_PREFIX) + 1:].hex()


def der_length(data, at):
    first = data[at]
    if first < 0x80:
        return first, at + 1
    count = first & 0x7F
    return int.from_bytes(data[at + 1:at + 1 + count], "big"), at + 1 + count


def raw_signature(der):
    """r || s, 32 bytes each, from the DER form openssl writes: SEQUENCE { INTEGER r, INTEGER s }."""
    if not der or der[0] != 0x30:
        raise PublishError("openssl wrote no ECDSA signature")
    _, at = der_length(der, 1)
    parts = []
    for _ in range(2):
        if der[at] != 0x02:
            raise PublishError("openssl wrote no ECDSA signature")
        length, at = der_length(der, at + 1)
        value = int.from_bytes(der[at:at + length], "big")
        at += length
        if value >> 256:
            raise PublishError("the signature is not a P-256 one")
        parts.append(value.to_bytes(32, "big"))
    return b"".join(parts)


class GbkEntry(zipfile.ZipInfo):
    """An entry whose name is stored in GBK with no UTF-8 flag, as the assistant reads it."""

    def _encodeFilenameFlags(self):
        return self.filename.encode("gbk"), self.flag_bits & ~0x800


def entry(name, folder):
    try:
        name.encode("gbk")
    except UnicodeEncodeError:
        raise PublishError("%s: the name has characters GBK cannot write" % name)
    info = GbkEntry(name, date_time=FIXED_TIME)
    info.create_system = 0  # attributes are Windows ones
    if folder:
        info.external_attr = 0x10  # FILE_ATTRIBUTE_DIRECTORY
    else:
        info.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE
        info.compress_type = zipfile.ZIP_DEFLATED
    return info


def plugin_entries(plugin_folder):
    """(name in the archive, file path or None for a folder), folders before their contents."""
    loader = os.path.join(plugin_folder, "Brindo.rb")
    root = os.path.join(plugin_folder, "Brindo")
    if not os.path.isfile(loader) or not os.path.isdir(root):
        raise PublishError("%s must hold Brindo.rb and the folder Brindo" % plugin_folder)
    entries = [("Brindo.rb", loader)]

    def walk(folder, prefix):
        entries.append((prefix, None))
        with os.scandir(folder) as listing:
            children = sorted(listing, key=lambda child: child.name)
        for child in children:
            if child.is_symlink():
                raise PublishError("%s: links are not published" % child.path)
            if child.is_dir():
                walk(child.path, prefix + child.name + "/")
            elif child.is_file():
                entries.append((prefix + child.name, child.path))
            else:
                raise PublishError("%s: neither a file nor a folder" % child.path)

    walk(root, "Brindo/")
    return entries


def write_archive(plugin_folder, path):
    with zipfile.ZipFile(path, "w") as archive:
        for name, source in plugin_entries(plugin_folder):
            if source is None:
                archive.writestr(entry(name, True), b"")
            else:
                with open(source, "rb") as f:
                    archive.writestr(entry(name, False), f.read())


def write_atomically(path, data):
    """Readers of a served tree see the old file or the new one, never half of one."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    part = path + ".part"
    with open(part, "wb") as f:
        f.write(data)
    os.replace(part, path)


def publish(plugin_folder, version, key_file, tree):
    try:
        version_bytes = version.encode("gbk")
    except UnicodeEncodeError:
        raise PublishError("the version text has characters GBK cannot write")
    if not re.fullmatch(r"[0-9]+(\.[0-9]+)*", version):
        raise PublishError("the version must be dotted decimal numbers, such as 1.0.9")
    public_key_hex(key_file)  # a P-256 key, or stop before anything is written
    with tempfile.TemporaryDirectory() as work:
        archive_path = os.path.join(work, "plugin.rbz")
        write_archive(plugin_folder, archive_path)
        with open(archive_path, "rb") as f:
            archive = f.read()
    signature = sign(key_file, archive)
    record = release_record(version, archive)
    update = os.path.join(tree, "update", ARCHIVE_NAME)
    # The signatures go last: until they are replaced, the old ones refuse the new archive and
    # record, and a client that comes in between is told so and simply tries again.
    write_atomically(update, archive)
    write_atomically(update + ".release", record)
    write_atomically(os.path.join(tree, *VERSION_PATH), version_bytes)
    write_atomically(update + ".sig", signature)
    write_atomically(update + ".release.sig", sign(key_file, record))
    print("published %s: %d bytes, %s" % (version, len(archive), update))


def sign(key_file, data):
    return raw_signature(openssl("dgst", "-sha256", "-sign", key_file, "-binary", data=data))


def release_record(version, archive):
    """What the assistant verifies before it downloads the archive (src/install/release_record.h)."""
    when = int(os.environ.get("SOURCE_DATE_EPOCH") or time.time())
    published = time.strftime("%Y-%m-%dT%H:%M:%SZ", time.gmtime(when))
    return ("version=%s\nsize=%d\nsha256=%s\npublished=%s\n" % (
        version, len(archive), hashlib.sha256(archive).hexdigest(), published)).encode("ascii")


def make_key(key_file):
    if os.path.exists(key_file):
        raise PublishError("%s exists; a new key would orphan every build made for it" % key_file)
    folder = os.path.dirname(os.path.abspath(key_file))
    tracked = subprocess.run(["git", "-C", folder, "rev-parse", "--is-inside-work-tree"],
                             capture_output=True).returncode == 0
    if tracked and subprocess.run(["git", "-C", folder, "check-ignore", "-q",
                                   os.path.abspath(key_file)]).returncode != 0:
        raise PublishError("%s would sit in a git work tree without being ignored: keep the "
                           "private key out of repositories" % key_file)
    old_mask = os.umask(0o077)
    try:
        openssl("genpkey", "-algorithm", "EC", "-pkeyopt", "ec_paramgen_curve:P-256",
                "-out", key_file)
    finally:
        os.umask(old_mask)
    print(public_key_hex(key_file))


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    commands = parser.add_subparsers(dest="command", required=True)
    key = commands.add_parser("key", help="make a key pair")
    key.add_argument("key_file")
    public = commands.add_parser("public-key", help="print the public key of a private key")
    public.add_argument("key_file")
    release = commands.add_parser("publish", help="write a signed server tree")
    release.add_argument("plugin_folder")
    release.add_argument("version")
    release.add_argument("key_file")
    release.add_argument("server_tree")
    args = parser.parse_args(argv)
    try:
        if args.command == "key":
            make_key(args.key_file)
        elif args.command == "public-key":
            print(public_key_hex(args.key_file))
        else:
            publish(args.plugin_folder, args.version, args.key_file, args.server_tree)
    except (PublishError, OSError) as error:
        print("publish: %s" % error, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
