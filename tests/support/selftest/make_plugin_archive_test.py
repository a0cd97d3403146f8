#!/usr/bin/env python3
"""The sample plug-in archive is one the extraction can take: every folder entry comes before
the entries inside it, names are plain ASCII, and the large variant reaches its size."""
import io
import os
import sys
import tempfile
import unittest
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
import make_plugin_archive  # noqa: E402


def build(size_mb=0):
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, 'plugin.rbz')
        make_plugin_archive.write_archive(path, size_mb)
        with open(path, 'rb') as f:
            return f.read()


class SamplePluginArchiveTest(unittest.TestCase):
    def test_folders_come_before_their_contents(self):
        names = zipfile.ZipFile(io.BytesIO(build())).namelist()
        self.assertEqual(names[0], 'Brindo.rb')
        seen = set()
        for name in names:
            parent = name.rstrip('/').rpartition('/')[0]
            if parent:
                self.assertIn(parent + '/', seen, name)
            seen.add(name)
        self.assertIn('Brindo/lib/tools.rb', names)
        self.assertTrue(all(name.isascii() for name in names))

    def test_content_is_deterministic_and_readable(self):
        data = build()
        self.assertEqual(data, build())
        archive = zipfile.ZipFile(io.BytesIO(data))
        self.assertIsNone(archive.testzip())
        self.assertIn(b'\x00', archive.read('Brindo/icons/brindo.ico'))

    def test_large_archive_reaches_its_size_with_mixed_data(self):
        archive = zipfile.ZipFile(io.BytesIO(build(size_mb=3)))
        bulk = [info for info in archive.infolist() if info.filename.startswith('Brindo/data/')
                and not info.is_dir()]
        self.assertEqual(sum(info.file_size for info in bulk), 3 * 1024 * 1024)
        ratios = [info.compress_size / info.file_size for info in bulk]
        self.assertLess(min(ratios), 0.2)    # text that compresses well
        self.assertGreater(max(ratios), 0.9)  # bytes that do not


if __name__ == '__main__':
    unittest.main()
