#!/usr/bin/env python3
"""Builds the skin pack embedded in QuelmTask.exe from the skin folder.

Pack layout, little-endian: u32 entry count; per entry a u32 name length in bytes, the name in
UTF-16LE (lower case, backslash separators, no terminator), a u32 offset counted from the pack's
first byte and a u32 size; then the files' bytes back to back, in directory order.

Packed are the layouts, menus, images and style table under the skin folder: files whose
extension is in PACKED_EXTENSIONS, outside the folders named in SKIPPED_TOP (artwork sources,
build tools, files installed beside the executable) and not hidden. Editor backups and other
stray files are left out. An image that src/render.sh rendered from an SVG (listed in
src/rendered.txt) is left out once its SVG is gone, so a deleted drawing never ships stale.
Uses only the minimal Python standard library.
"""
import os
import struct
import sys

SKIPPED_TOP = {"src", "tools", "sound", "CMakeLists.txt"}
PACKED_EXTENSIONS = {".png", ".xml", ".json"}
RENDERED_LIST = os.path.join("src", "rendered.txt")
SVG_ROOT = os.path.join("src", "svg")
# Lower-cases "A"-"Z" only, exactly as the program folds a request.
ASCII_LOWER = str.maketrans("ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz")


def orphaned_renders(root):
    """Skin-relative paths of rendered images whose SVG source no longer exists."""
    try:
        with open(os.path.join(root, RENDERED_LIST), encoding="utf-8") as f:
            rendered = [line.strip() for line in f if line.strip()]
    except OSError:
        return set()
    orphans = set()
    for rel in rendered:
        svg = os.path.join(root, SVG_ROOT, os.path.splitext(rel)[0] + ".svg")
        if not os.path.exists(svg):
            orphans.add(os.path.normpath(rel))
    return orphans


def collect(root):
    orphans = orphaned_renders(root)
    files = {}
    for folder, dirs, names in os.walk(root):
        rel_folder = os.path.relpath(folder, root)
        if rel_folder == ".":
            dirs[:] = [d for d in dirs if d not in SKIPPED_TOP and not d.startswith(".")]
        else:
            dirs[:] = [d for d in dirs if not d.startswith(".")]
        for name in names:
            if name.startswith(".") or (rel_folder == "." and name in SKIPPED_TOP):
                continue
            if os.path.splitext(name)[1].lower() not in PACKED_EXTENSIONS:
                continue
            rel = os.path.normpath(os.path.join(rel_folder, name))
            if rel in orphans:
                print("pack.py: %s left out: its SVG source is gone" % rel, file=sys.stderr)
                continue
            key = rel.replace(os.sep, "\\").replace("/", "\\").translate(ASCII_LOWER)
            if key in files:
                sys.exit("pack.py: two files fold to the same name: %s" % key)
            files[key] = os.path.join(folder, name)
    return files


def build(root):
    files = collect(root)
    names = sorted(files)
    directory_size = 4 + sum(4 + len(n.encode("utf-16-le")) + 8 for n in names)
    head = [struct.pack("<I", len(names))]
    body = []
    offset = directory_size
    for name in names:
        with open(files[name], "rb") as f:
            data = f.read()
        encoded = name.encode("utf-16-le")
        record = struct.pack("<I", len(encoded)) + encoded
        head.append(record + struct.pack("<II", offset, len(data)))
        body.append(data)
        offset += len(data)
    if offset > 0xFFFFFFFF:
        sys.exit("pack.py: the pack exceeds 4 GiB")
    return b"".join(head + body)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: pack.py SKIN_FOLDER OUTPUT")
    pack = build(sys.argv[1])
    out = sys.argv[2]
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    # Rewrite only on change, so that an unchanged skin does not relink the program.
    try:
        with open(out, "rb") as f:
            if f.read() == pack:
                return
    except OSError:
        pass
    tmp = out + ".tmp"
    with open(tmp, "wb") as f:
        f.write(pack)
    os.replace(tmp, out)


if __name__ == "__main__":
    main()
