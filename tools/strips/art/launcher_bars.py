"""The launcher's strips: page bar (155), page editing bar (156) and the extension menu's bar (157)."""

from stripgen import Picture, Strip, ellipse, line, polygon, rect, dots
from art.parts import (double_arrow_across, folder, landscape, pencil, spark, triangle_left, triangle_right,
                       waste_bin)

BUTTON = (3, 1, 26, 18)
BIN = waste_bin(8, 1)


def page_bar():
    return Strip(155, "page bar", 30, 20, [
        Picture("horizontal double arrow", double_arrow_across(4, 25, 9)),
        Picture("left triangle", triangle_left(10, 9, 7)),
        Picture("right triangle", triangle_right(19, 9, 7)),
        Picture("waste bin", BIN),
    ], content=BUTTON)


def page_editing_bar():
    return Strip(156, "page editing bar", 30, 20, [
        Picture("folder with a spark", folder(5, 5, 17, 13) + spark(19, 1)),
        Picture("pen", pencil(7, 2, "yellow", "olive")),
        Picture("waste bin", BIN),
    ], content=BUTTON)


def rocket():
    return [
        polygon([(11, 14), (8, 17), (11, 17)], fill="red", line="black"),
        polygon([(18, 14), (21, 17), (18, 17)], fill="red", line="black"),
        polygon([(13, 15), (16, 15), (15, 18), (14, 18)], fill="yellow", line="red"),
        polygon([(11, 6), (14, 1), (15, 1), (18, 6)], fill="red", line="black"),
        rect(11, 6, 18, 15, fill="silver", line="black"),
        line(12, 7, 12, 14, "paper"),
        ellipse(13, 8, 16, 11, fill="cyan", line="navy"),
    ]


def screen():
    return [
        rect(4, 1, 25, 14, fill="silver", line="black"),
        *landscape(6, 3, 18, 10),
        rect(12, 15, 17, 16, fill="grey", line="black"),
        rect(8, 16, 21, 18, fill="silver", line="black"),
        dots("lime", (22, 13)),
    ]


def extension_menu_bar():
    return Strip(157, "extension menu bar", 30, 20, [
        Picture("rocket", rocket()),
        Picture("screen", screen()),
        Picture("waste bin", BIN),
    ], content=BUTTON)


STRIPS = [page_bar(), page_editing_bar(), extension_menu_bar()]
