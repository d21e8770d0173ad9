#!/usr/bin/env python3
"""Writes the strip bitmaps of the program's resources, one NNN.bmp per bitmap resource, into a folder.

    make_strips.py OUTPUT_FOLDER      draws every strip
    make_strips.py --list             prints the resource numbers, image counts and sizes
"""

import os
import sys

# Run from the build, so no byte-code files are left in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from stripgen import DrawingError, bmp_bytes  # noqa: E402
from art import catalog_icons, file_bars, frame_bars, launcher_bars, tree_icons, viewer_bars  # noqa: E402

MODULES = [frame_bars, file_bars, viewer_bars, launcher_bars, tree_icons, catalog_icons]


def all_strips():
    strips = [strip for module in MODULES for strip in module.STRIPS]
    seen = set()
    for strip in strips:
        if strip.resource in seen:
            raise DrawingError("bitmap %d is drawn twice" % strip.resource)
        seen.add(strip.resource)
    return sorted(strips, key=lambda s: s.resource)


def write_if_changed(path, data):
    # An unchanged picture keeps its file time, so the resources are not compiled again for nothing.
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return
    except OSError:
        pass
    with open(path + ".tmp", "wb") as f:
        f.write(data)
    os.replace(path + ".tmp", path)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    try:
        strips = all_strips()
        if argv[1] == "--list":
            for s in strips:
                print("%d %d %dx%d %s" % (s.resource, len(s.pictures), s.width * len(s.pictures), s.height, s.name))
            return 0
        os.makedirs(argv[1], exist_ok=True)
        for s in strips:
            write_if_changed(os.path.join(argv[1], "%d.bmp" % s.resource), bmp_bytes(s.render()))
    except DrawingError as error:
        sys.stderr.write("make_strips: %s\n" % error)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
