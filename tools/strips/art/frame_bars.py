"""The main frame's two strips: the main bar (138) and the layout bar (148)."""

from stripgen import Picture, Strip, line, pixmap, polygon, rect, shift, ellipse, dots
from art.parts import cross, floppy, window, triangle_left

# Button pictures are drawn 2 pixels below the top of a 30 x 24 cell whose frame runs 2 pixels inside it, so
# x 3..26 and y 1..18 of a picture stay visible inside the button's frame.
BUTTON = (3, 1, 26, 18)

LETTERS = {
    "D": ["XXX.", "X..X", "X..X", "X..X", "X..X", "X..X", "XXX."],
    "O": [".XX.", "X..X", "X..X", "X..X", "X..X", "X..X", ".XX."],
    "S": [".XXX", "X...", "X...", ".XX.", "...X", "...X", "XXX."],
    }

BIG_LETTERS = {
    "A": ["..XX..", ".XXXX.", "XX..XX", "XX..XX", "XXXXXX", "XX..XX", "XX..XX", "XX..XX", "XX..XX"],
    "B": ["XXXXX.", "XX..XX", "XX..XX", "XXXXX.", "XX..XX", "XX..XX", "XX..XX", "XX..XX", "XXXXX."],
    "C": [".XXXX.", "XX..XX", "XX....", "XX....", "XX....", "XX....", "XX....", "XX..XX", ".XXXX."],
}


def letters(x, y, text, colour, font=LETTERS, gap=1):
    items = []
    for ch in text:
        glyph = font[ch]
        items.append(pixmap(x, y, glyph, {"X": colour}))
        x += len(glyph[0]) + gap
    return items


def balloon(x0, y0, x1, y1, tail_x, words=0):
    """A speech balloon over the box with its tail pointing down to the lower left of tail_x."""
    b = y1
    items = [
        polygon([(tail_x, b - 2), (tail_x + 4, b - 2), (tail_x - 2, b + 3)], fill="paper", line="black"),
        ellipse(x0, y0, x1, b, fill="paper", line="black"),
        rect(tail_x + 1, b - 2, tail_x + 3, b - 1, fill="paper"),
    ]
    cy = (y0 + b) // 2
    for i in range(words):
        row = cy - (words - 1) + 2 * i
        items.append(line(x0 + 4, row, x1 - 4, row, "grey"))
    return items


def main_bar():
    small = balloon(9, 3, 21, 12, 11, words=1)
    large = balloon(4, 1, 25, 14, 8, words=3)
    return Strip(138, "main bar", 30, 20, [
        Picture("box with the letters DOS", [
            rect(4, 2, 25, 17, fill="black", line="grey"),
            rect(5, 3, 24, 4, fill="navy"),
            *letters(8, 8, "DOS", "silver"),
        ]),
        Picture("small speech balloon", small),
        Picture("large speech balloon", large),
        Picture("crossed-out balloon", large + cross(6, 2, 23, 17)),
        Picture("the letters ABC", [
            *letters(5, 5, "A", "red", BIG_LETTERS),
            *letters(12, 5, "B", "green", BIG_LETTERS),
            *letters(19, 5, "C", "blue", BIG_LETTERS),
            line(5, 15, 24, 15, "black"),
        ]),
        Picture("arrow into a floppy disk", [
            *floppy(10, 4, 15),
            polygon([(6, 1), (9, 1), (9, 6), (12, 6), (7, 11), (2 + 1, 6), (6, 6)], fill="red", line="maroon"),
        ]),
    ], content=BUTTON)


# The layout bar: a window seen from the front, with its view pane (a picture) on the left of its two filers.

def client_panes(view, filers=(True, True), tree=4):
    """Inside a window at (4, 1)-(25, 18): view pane view pixels wide, then the filers stacked on the right."""
    items = window(4, 1, 25, 18)
    x0, x1, y0, y1 = 5, 24, 4, 17
    if view:
        vx = x0 + view - 1
        items += [rect(x0, y0, vx, y1, fill="teal", line="black"),
                  polygon([(x0 + 1, y1 - 1), (x0 + 1, y1 - 3), ((x0 + vx) // 2, y1 - 6), (vx - 1, y1 - 2),
                           (vx - 1, y1 - 1)], fill="green"),
                  dots("yellow", (vx - 2, y0 + 2), (vx - 3, y0 + 2), (vx - 2, y0 + 3), (vx - 3, y0 + 3))]
        x0 = vx + 2
    if x0 <= x1:
        half = (y0 + y1) // 2
        for shown, (fy0, fy1) in zip(filers, ((y0, half), (half + 1, y1))):
            if shown:
                items += filer(x0, fy0, x1, fy1, tree if x1 - x0 > 8 else 2)
    return items


def filer(x0, y0, x1, y1, tree):
    """One filer: a folder tree column beside a file list with lines of names."""
    items = [rect(x0, y0, x1, y1, fill="paper", line="black")]
    if tree:
        tx = x0 + tree
        items.append(line(tx, y0 + 1, tx, y1 - 1, "grey"))
        for ty in range(y0 + 2, y1, 2):
            items.append(dots("olive" if tree < 3 else "yellow", (x0 + 2, ty)))
            if tree > 3:
                items.append(line(x0 + 3, ty, tx - 2, ty, "navy"))
        list_x = tx + 2
    else:
        list_x = x0 + 2
    for ly in range(y0 + 2, y1, 2):
        if list_x <= x1 - 2:
            items.append(line(list_x, ly, x1 - 2, ly, "blue"))
    return items


def filer_slots(shown):
    """The two filers of the frame, stacked, each with its own title; a hidden one is only a dotted outline."""
    items = []
    for i, (y0, y1) in enumerate(((1, 9), (10, 18))):
        if shown[i]:
            items += [rect(4, y0, 25, y1, fill="silver", line="black"), rect(5, y0 + 1, 24, y0 + 2, fill="navy")]
            items += filer(5, y0 + 3, 24, y1 - 1, 4)
        else:
            items.append(dots("grey", *[(x, y) for x in range(4, 26) for y in (y0, y1) if x % 2 == 0],
                              *[(x, y) for y in range(y0, y1 + 1) for x in (4, 25) if y % 2 == 0]))
    return items


def tree_filer(tree):
    return window(4, 1, 25, 18) + filer(5, 4, 24, 17, tree)


def launcher_dialog(x, y):
    """The launcher window: a small dialog with its strip and three registered programs."""
    items = [rect(x, y, x + 11, y + 15, fill="silver", line="black"), rect(x + 1, y + 1, x + 10, y + 2, fill="navy"),
             rect(x + 1, y + 4, x + 10, y + 14, fill="paper", line="grey")]
    for i, colour in enumerate(("red", "green", "blue")):
        row = y + 6 + 3 * i
        items += [rect(x + 2, row, x + 3, row + 1, fill=colour), line(x + 5, row + 1, x + 9, row + 1, "black")]
    return items


def layout_bar():
    return Strip(148, "layout bar", 30, 20, [
        Picture("window with the two filers only", client_panes(0)),
        Picture("view pane beside the filers, 1:1", client_panes(10)),
        Picture("view pane beside the filers, 2:1", client_panes(14)),
        Picture("view pane only", client_panes(20)),
        Picture("first filer only", filer_slots((True, False))),
        Picture("second filer only", filer_slots((False, True))),
        Picture("both filers", filer_slots((True, True))),
        Picture("filer without its folder tree", tree_filer(0)),
        Picture("filer with a narrow folder tree", tree_filer(4)),
        Picture("filer with a wide folder tree", tree_filer(9)),
        Picture("launcher window shown or hidden", [
            rect(4, 1, 25, 18, line="grey"), *launcher_dialog(9, 2),
        ]),
        Picture("launcher window moved to the left edge", [
            rect(3, 1, 26, 18, fill="teal", line="black"), *launcher_dialog(4, 2),
            *triangle_left(17, 9, 4, fill="yellow", edge="black"), rect(21, 8, 24, 11, fill="yellow", line="black"),
            rect(21, 9, 21, 10, fill="yellow"),
        ]),
    ], content=BUTTON)


STRIPS = [main_bar(), layout_bar()]
