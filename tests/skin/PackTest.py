#!/usr/bin/env python3
"""Packs a made-up skin folder and checks which files the pack names."""
import importlib.util
import os
import sys
import tempfile
import unittest

found = importlib.util.spec_from_file_location("pack", sys.argv.pop(1))
pack = importlib.util.module_from_spec(found)
found.loader.exec_module(pack)


def write(root, rel, data=b"x"):
    path = os.path.join(root, *rel.split("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


class PackTest(unittest.TestCase):
    def test_only_skin_files_with_a_live_source_are_packed(self):
        with tempfile.TemporaryDirectory() as root:
            for rel in ["img/a.png", "img/Hand.PNG", "xml/main.xml", "cssData.json",
                        # editor backups and strays
                        "img/a.png~", "xml/main.xml.bak", "xml/#main.xml#", "notes.txt",
                        "xml/.main.xml.swp",
                        # rendered once; its drawing was deleted since
                        "img/gone.png",
                        "src/svg/img/a.svg", "tools/x.xml", "sound/s.wav"]:
                write(root, rel)
            write(root, "src/rendered.txt", b"img/a.png\nimg/gone.png\n")
            names = sorted(pack.collect(root))
        self.assertEqual(names, ["cssdata.json", "img\\a.png", "img\\hand.png",
                                 "xml\\main.xml"])


if __name__ == "__main__":
    unittest.main()
