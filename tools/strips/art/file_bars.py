"""The strips of a file list view: file tools (134), navigation (141), display modes (162) and drives (140)."""

from stripgen import Picture, Strip, dots, ellipse, line, polygon, rect
from art.parts import (check, cross, drive_box, folder, landscape, page, pencil, spark, triangle_left,
                       triangle_right, triangle_up, turning_arrow, waste_bin)

BUTTON = (3, 1, 26, 18)
# A drive picture is drawn 12 pixels right of its 40-pixel cell's left edge at the cell's top, right of the drive
# letter; the cell's frame leaves x 0..24 and y 3..19 of it visible.
DRIVE = (0, 3, 24, 19)


def file_tools():
    picture = landscape(4, 4, 19, 14)
    return Strip(134, "file tools bar", 30, 20, [
        Picture("curved arrow", turning_arrow(15, 10, 6, 120, 30)),
        Picture("waste bin", waste_bin(8, 1)),
        Picture("picture with a spark", picture + spark(19, 1)),
        Picture("crossed-out picture", picture + cross(7, 3, 24, 18)),
        Picture("triangle in a frame", [
            rect(5, 2, 24, 17, fill="silver", line="black"), rect(7, 4, 22, 15, fill="paper", line="grey"),
            polygon([(9, 13), (14, 6), (15, 6), (20, 13)], fill="blue", line="navy"),
        ]),
        Picture("folder and file, two marks", folder(3, 2, 11, 9) + page(17, 1, 9, 11) + check(6, 12) +
                check(18, 13)),
        Picture("folder and file, one mark", folder(3, 2, 11, 9) + page(17, 1, 9, 11) + check(18, 13)),
        Picture("folder with a spark", folder(5, 5, 17, 13) + spark(19, 1)),
        Picture("arrow in a green box", [
            rect(6, 2, 23, 17, fill="green", line="black"), line(7, 3, 22, 3, "lime"), line(7, 3, 7, 16, "lime"),
            polygon([(14, 5), (20, 5), (20, 11)], fill="paper", line="black"),
            polygon([(9, 14), (15, 8), (17, 10), (11, 16)], fill="paper", line="black"),
        ]),
        Picture("pen (light)", pencil(7, 2, "yellow", "olive")),
        Picture("pen (red)", pencil(7, 2, "red", "maroon")),
    ], content=BUTTON)


def navigation():
    return Strip(141, "navigation bar", 30, 20, [
        Picture("double up-triangle", triangle_up(14, 2, 6) + triangle_up(14, 10, 6)),
        Picture("up-triangle", triangle_up(14, 5, 8)),
        Picture("bar and left triangle", [rect(7, 3, 9, 16, fill="blue", line="navy")] + triangle_left(12, 9, 6)),
        Picture("double left triangle", triangle_left(6, 9, 6) + triangle_left(14, 9, 6)),
        Picture("left triangle", triangle_left(10, 9, 7)),
        Picture("right triangle", triangle_right(19, 9, 7)),
        Picture("double right triangle", triangle_right(15, 9, 6) + triangle_right(23, 9, 6)),
        Picture("right triangle and bar", triangle_right(17, 9, 6) + [rect(20, 3, 22, 16, fill="blue", line="navy")]),
    ], content=BUTTON)


def text_list(columns):
    """A list of file names as lines; columns 1 to 3 show names, then sizes, then dates."""
    items = [rect(4, 2, 25, 17, fill="paper", line="black"), rect(5, 3, 24, 4, fill="silver")]
    spans = {1: [(7, 22)], 2: [(7, 14), (17, 22)], 3: [(7, 11), (14, 17), (20, 23)]}[columns]
    for row in range(7, 17, 3):
        items.append(dots("yellow" if row == 7 else "magenta", (5, row), (5, row - 1)))
        for x0, x1 in spans:
            items.append(line(x0, row, x1, row, "navy"))
    for x0, _ in spans[1:]:
        items.append(line(x0 - 2, 3, x0 - 2, 4, "grey"))
    return items


def display_modes():
    return Strip(162, "display-mode bar", 30, 20, [
        Picture("small landscape", landscape(10, 6, 10, 8)),
        Picture("middle landscape", landscape(7, 4, 16, 12)),
        Picture("large landscape", landscape(4, 1, 22, 18)),
        Picture("list, one column", text_list(1)),
        Picture("list, two columns", text_list(2)),
        Picture("list, three columns", text_list(3)),
    ], content=BUTTON)


def drives():
    unit = drive_box(1, 9, 22, 10)
    led = [rect(17, 15, 18, 16, fill="lime", line="green")]
    return Strip(140, "drive bar", 30, 20, [
        Picture("removable drive", [
            rect(6, 3, 15, 11, fill="navy", line="black"), rect(8, 3, 12, 6, fill="silver", line="black"),
            *unit, rect(4, 14, 16, 14, fill="black"), *led,
        ]),
        Picture("hard disk", [
            *drive_box(1, 7, 22, 12), line(3, 15, 12, 15, "grey"), rect(16, 14, 18, 15, fill="lime", line="green"),
        ]),
        Picture("CD-ROM", [
            *unit, rect(3, 15, 14, 16, fill="grey", line="black"), *led,
            ellipse(4, 3, 20, 11, fill="silver", line="black"), ellipse(10, 6, 14, 8, fill="paper", line="grey"),
            line(6, 5, 8, 4, "cyan"), line(7, 6, 9, 5, "cyan"), line(15, 9, 17, 8, "magenta"),
            line(16, 10, 18, 9, "magenta"),
        ]),
    ], content=DRIVE)


STRIPS = [file_tools(), navigation(), display_modes(), drives()]
