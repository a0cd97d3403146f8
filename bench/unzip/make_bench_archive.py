#!/usr/bin/env python3
"""Writes the benchmark archive: about 60 MB (about 94 MB extracted) in about 2,000 files, half
of them text that deflates well and half random bytes that do not, in a plug-in-like tree.
The content is fixed by a seed, so every run measures the same archive.
Usage: make_bench_archive.py <output.zip>"""
import random
import sys
import zipfile

FILES = 2000
TARGET_BYTES = 94 * 1024 * 1024  # extracted; the archive comes to about 60 MB


def text_pool(rng, size):
    words = ["def", "end", "module", "class", "self", "Sketchup", "model", "entities",
             "face", "edge", "point", "vector", "transform", "layer", "material", "=", "+",
             "(", ")", "if", "else", "return", "0.5", "1", "nil", "true"]
    lines = []
    total = 0
    while total < size:
        line = "  " * rng.randrange(4) + " ".join(rng.choice(words) for _ in range(rng.randrange(3, 12)))
        lines.append(line)
        total += len(line) + 1
    return ("\n".join(lines)).encode()


def main():
    rng = random.Random(20240101)
    mean = TARGET_BYTES // FILES
    pool = text_pool(rng, 4 * 1024 * 1024)
    with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED, compresslevel=6) as archive:
        made = set()
        for i in range(FILES):
            folder = f"Brindo/part{i % 12:02d}/group{i % 40:02d}/"
            parts = folder.split("/")[:-1]
            for depth in range(1, len(parts) + 1):
                name = "/".join(parts[:depth]) + "/"
                if name not in made:
                    made.add(name)
                    archive.writestr(zipfile.ZipInfo(name), b"")
            size = max(64, int(rng.expovariate(1 / mean)))
            if i % 2:
                archive.writestr(folder + f"asset{i:04d}.bin", rng.randbytes(size),
                                 compress_type=zipfile.ZIP_STORED if i % 4 == 1 else zipfile.ZIP_DEFLATED)
            else:
                start = rng.randrange(len(pool) - size) if size < len(pool) else 0
                archive.writestr(folder + f"code{i:04d}.rb", pool[start:start + size])


if __name__ == "__main__":
    main()
