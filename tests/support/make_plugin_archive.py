#!/usr/bin/env python3
"""Writes a sample plug-in archive (.rbz, a zip file): "Brindo.rb" plus a "Brindo/" folder
with a few files (text, a small binary, a sub-folder).

Folder entries come before the entries inside them, as the extraction expects. Names are
ASCII, so they read the same in any code page. The content is deterministic: the same
arguments give the same archive.

usage: make_plugin_archive.py OUTPUT [--size-mb N] [--folder]
  --folder      write the plug-in as the folder a publisher starts from (scripts/publish.py),
                with one more file whose name is Chinese, instead of an archive
  --size-mb N   add files under "Brindo/data/" until the content reaches about N MiB, a mix
                of compressible text and incompressible bytes (for benchmarks)
"""
import argparse
import os
import random
import sys
import zipfile

LOADER = b"""# Brindo plug-in: sample loader written for tests
module Brindo
  VERSION = '1.0.9'
  ROOT = File.join(File.dirname(__FILE__), 'Brindo')
  load File.join(ROOT, 'main.rb')
end
"""

MAIN = b"""# Brindo plug-in: sample entry point
module Brindo
  load File.join(ROOT, 'lib', 'tools.rb')
end
"""

TOOLS = b"""# Brindo plug-in: sample helpers
module Brindo
  module Tools
    def self.greeting
      "Brindo #{VERSION}"
    end
  end
end
"""

README = "翎图匠插件 1.0.9\r\nBrindo plug-in for SketchUp.\r\n".encode("utf-8")


def folder(archive, name):
    info = zipfile.ZipInfo(name, date_time=(2024, 1, 1, 0, 0, 0))
    info.external_attr = 0o40755 << 16 | 0x10  # a directory, for Unix and Windows readers
    archive.writestr(info, b"")


def file(archive, name, data):
    info = zipfile.ZipInfo(name, date_time=(2024, 1, 1, 0, 0, 0))
    info.compress_type = zipfile.ZIP_DEFLATED
    info.external_attr = 0o644 << 16
    archive.writestr(info, data)


def icon_bytes():
    # A small binary with every byte value, zeros included.
    return bytes(range(256)) * 3 + bytes([0, 0, 0xFF, 0xD8])


def bulk_files(size_mb):
    rng = random.Random(20240101)
    target = size_mb * 1024 * 1024
    written, index = 0, 0
    while written < target:
        chunk = min(1024 * 1024, target - written)
        if index % 2 == 0:
            line = b"Brindo model data line %08d with some repeated text\n"
            data = b"".join(line % i for i in range(chunk // len(line % 0) + 1))[:chunk]
        else:
            data = rng.randbytes(chunk)
        yield "Brindo/data/part%03d.bin" % index, data
        written += chunk
        index += 1


def write_archive(path, size_mb=0):
    with zipfile.ZipFile(path, "w") as archive:
        write_entries(archive, size_mb)


def write_entries(archive, size_mb):
    file(archive, "Brindo.rb", LOADER)
    folder(archive, "Brindo/")
    file(archive, "Brindo/main.rb", MAIN)
    file(archive, "Brindo/readme.txt", README)
    folder(archive, "Brindo/icons/")
    file(archive, "Brindo/icons/brindo.ico", icon_bytes())
    folder(archive, "Brindo/lib/")
    file(archive, "Brindo/lib/tools.rb", TOOLS)
    if size_mb > 0:
        folder(archive, "Brindo/data/")
        for name, data in bulk_files(size_mb):
            file(archive, name, data)


def write_folder(path, size_mb=0):
    """The same plug-in as files: OUTPUT/Brindo.rb and OUTPUT/Brindo/..."""
    class Folder:
        def writestr(self, info, data):
            target = os.path.join(path, *info.filename.rstrip("/").split("/"))
            if info.is_dir():
                os.makedirs(target, exist_ok=True)
            else:
                with open(target, "wb") as f:
                    f.write(data)

    os.makedirs(path, exist_ok=True)
    write_entries(Folder(), size_mb)
    with open(os.path.join(path, "Brindo", "说明.txt"), "wb") as f:
        f.write(README)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output")
    parser.add_argument("--size-mb", type=int, default=0)
    parser.add_argument("--folder", action="store_true")
    args = parser.parse_args(argv)
    if args.size_mb < 0:
        parser.error("--size-mb must not be negative")
    (write_folder if args.folder else write_archive)(args.output, args.size_mb)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
