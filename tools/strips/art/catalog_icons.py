"""The attribute icons of the file lists (149): 12 images of 20 x 18, small ones first, then large ones."""

from stripgen import Picture, Strip
from art.parts import folder, page

# A small icon is drawn 2 pixels up and left of a 14 x 14 icon rectangle, so only x, y 2..15 show; a large one
# sits at the rectangle's corner inside its 1-pixel frame.
SMALL = (2, 2, 15, 15)
LARGE = (1, 1, 16, 16)

KINDS = [("ordinary file", "magenta", "purple"), ("read-only file", "cyan", "teal"),
         ("system file", "maroon", "red"), ("hidden file", "green", "lime")]


def catalog_icons():
    small = [Picture("folder, small", folder(2, 3, 14, 11), SMALL)]
    small += [Picture(kind + ", small", page(4, 2, 10, 14, fill, lines), SMALL) for kind, fill, lines in KINDS]
    large = [Picture("folder, large", folder(1, 3, 16, 13), LARGE)]
    large += [Picture(kind + ", large", page(2, 1, 13, 16, fill, lines), LARGE) for kind, fill, lines in KINDS]
    blank = [Picture("blank", []), Picture("blank", [])]
    return Strip(149, "attribute icons", 20, 18, small + large + blank)


STRIPS = [catalog_icons()]
