"""The folder tree's pictures: item images (143) and state images (144), 16 x 16 each."""

from stripgen import Picture, Strip, dither, dots, ellipse, line, rect
from art.parts import drive_box, folder, open_folder


def hard_disk():
    return drive_box(0, 5, 16, 9) + [line(2, 11, 8, 11, "grey"), rect(10, 10, 11, 11, fill="lime")]


def floppy_drive():
    return [rect(4, 1, 11, 8, fill="navy", line="black"), rect(6, 1, 9, 3, fill="silver", line="black")] + \
        drive_box(0, 6, 16, 9) + [rect(2, 11, 10, 11, fill="black"), rect(11, 11, 12, 12, fill="lime")]


def cd_rom():
    return drive_box(0, 7, 16, 8) + [
        rect(2, 12, 8, 12, fill="black"),
        ellipse(2, 1, 13, 8, fill="silver", line="black"), line(4, 3, 5, 2, "cyan"), line(10, 7, 11, 6, "magenta"),
        rect(7, 4, 8, 5, fill="paper"), dots("grey", (6, 4), (9, 5)),
    ]


def highlighted(items):
    return items + [dither(0, 0, 15, 15, "blue")]


def item_images():
    return Strip(143, "folder tree items", 16, 16, [
        Picture("closed folder (yellow)", folder(1, 2, 14, 12)),
        Picture("open folder (red)", open_folder(0, 2, 16, 12)),
        Picture("hard disk", hard_disk()),
        Picture("floppy drive", floppy_drive()),
        Picture("CD-ROM drive", cd_rom()),
        Picture("hard disk, highlighted", highlighted(hard_disk())),
        Picture("floppy drive, highlighted", highlighted(floppy_drive())),
        Picture("CD-ROM drive, highlighted", highlighted(cd_rom())),
    ])


def box(minus):
    items = [rect(3, 3, 11, 11, fill="paper", line="grey"), line(5, 7, 9, 7, "black")]
    if not minus:
        items.append(line(7, 5, 7, 9, "black"))
    return items


def state_images():
    # State 0 means "no state picture" to the tree control; state 1 is a folder without subfolders.
    return Strip(144, "folder tree states", 16, 16, [
        Picture("none", []),
        Picture("blank", []),
        Picture("plus sign", box(False)),
        Picture("minus sign", box(True)),
    ])


STRIPS = [item_images(), state_images()]
