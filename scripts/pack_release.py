#!/usr/bin/env python3
"""Packs the release archive so that the same files always give the same bytes.

Usage: pack_release.py <archive.zip> <epoch seconds> <file>=<name in archive>...

Entries keep the order given, all carry the given time (the release commit's, see
scripts/release.sh) and fixed attributes, and are deflated at a fixed level. Text files
(.txt) are written as Windows expects them: UTF-8 with a byte order mark and CRLF lines.
"""
import sys
import time
import zipfile


def entry(name, when):
    info = zipfile.ZipInfo(name, date_time=when)
    info.create_system = 3  # made on Unix: the attributes below are Unix permissions
    info.external_attr = 0o100644 << 16
    info.compress_type = zipfile.ZIP_DEFLATED
    return info


def content(path, name):
    with open(path, 'rb') as f:
        data = f.read()
    if name.endswith('.txt'):
        text = data.decode('utf-8').lstrip('\ufeff').replace('\r\n', '\n')
        data = b'\xef\xbb\xbf' + text.replace('\n', '\r\n').encode('utf-8')
    return data


def main(argv):
    if len(argv) < 4:
        sys.exit(__doc__)
    archive, epoch, files = argv[1], int(argv[2]), argv[3:]
    # Zip times are local times without a zone, from 1980 on; UTC keeps them independent of
    # the machine's zone.
    when = time.gmtime(max(epoch, 315532800))[:6]
    with zipfile.ZipFile(archive, 'w') as zf:
        for item in files:
            path, _, name = item.rpartition('=')
            if not path or not name:
                sys.exit('pack_release: expected <file>=<name>, got %r' % item)
            zf.writestr(entry(name, when), content(path, name), compresslevel=9)


if __name__ == '__main__':
    main(sys.argv)
