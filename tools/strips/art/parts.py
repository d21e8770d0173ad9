"""Drawings shared by several strips: disks, bins, folders, pages, pens, arrows and the like.

Each function returns a list of primitives placed at (x, y), its top-left corner.
"""

from stripgen import dots, ellipse, line, pixmap, polygon, rect, ring


def floppy(x, y, s=16):
    """A 3.5-inch floppy disk, s x s: dark body with a cut corner, metal shutter on top, paper label below."""
    e = s - 1
    shutter0, shutter1 = x + s // 4, x + e - s // 4
    return [
        polygon([(x, y), (x + e - 1, y), (x + e, y + 1), (x + e, y + e), (x, y + e)], fill="navy", line="black"),
        rect(shutter0, y, shutter1, y + s // 3, fill="silver", line="black"),
        rect(shutter1 - (shutter1 - shutter0) // 3 - 1, y + 1, shutter1 - (shutter1 - shutter0) // 3,
             y + s // 3 - 1, fill="navy"),
        rect(x + 2, y + s // 2, x + e - 2, y + e, fill="paper", line="black"),
        line(x + 4, y + s // 2 + 2, x + e - 4, y + s // 2 + 2, "grey"),
        line(x + 4, y + s // 2 + 4, x + e - 4, y + s // 2 + 4, "grey"),
    ]


def spark(x, y):
    """The sparkle that marks something new, 7 x 7."""
    return [pixmap(x, y, [
        "...y...",
        ".y.y.y.",
        "..yPy..",
        "yyPPPyy",
        "..yPy..",
        ".y.y.y.",
        "...y...",
    ], {"y": "yellow", "P": "paper"}),
        dots("olive", (x + 3, y), (x, y + 3), (x + 6, y + 3), (x + 3, y + 6))]


def waste_bin(x, y):
    """A metal waste bin with its lid, 14 x 17."""
    return [
        rect(x + 5, y, x + 8, y + 2, line="black"),
        rect(x, y + 2, x + 13, y + 4, fill="silver", line="black"),
        polygon([(x + 1, y + 5), (x + 12, y + 5), (x + 11, y + 16), (x + 2, y + 16)], fill="silver", line="black"),
        line(x + 3, y + 7, x + 4, y + 14, "paper"),
        line(x + 6, y + 7, x + 6, y + 14, "grey"),
        line(x + 8, y + 7, x + 8, y + 14, "grey"),
        line(x + 10, y + 7, x + 9, y + 14, "grey"),
        line(x + 1, y + 3, x + 12, y + 3, "paper"),
    ]


def folder(x, y, w, h, fill="yellow", shade="olive"):
    """A closed folder, w x h, its tab on the upper left."""
    tab = max(4, w // 3)
    return [
        rect(x + 1, y, x + tab, y + 2, fill=fill, line="black"),
        rect(x, y + 2, x + w - 1, y + h - 1, fill=fill, line="black"),
        line(x + 1, y + 3, x + w - 2, y + 3, "paper"),
        line(x + 1, y + h - 2, x + w - 2, y + h - 2, shade),
        line(x + w - 2, y + 4, x + w - 2, y + h - 2, shade),
    ]


def open_folder(x, y, w, h, fill="red", shade="maroon"):
    """An open folder, w x h: the back with its tab and the front flap tilted forward."""
    tab = max(4, w // 3)
    return [
        rect(x + 1, y, x + tab, y + 2, fill=shade, line="black"),
        rect(x, y + 2, x + w - 3, y + h - 1, fill=shade, line="black"),
        polygon([(x + 3, y + 5), (x + w - 1, y + 5), (x + w - 4, y + h - 1), (x, y + h - 1)], fill=fill,
                line="black"),
        line(x + 4, y + 6, x + w - 3, y + 6, "paper"),
    ]


def page(x, y, w, h, fill="paper", lines="grey"):
    """A sheet with its upper right corner folded, w x h, with a few lines of writing."""
    c = 3 if w < 12 else 4
    r, b = x + w - 1, y + h - 1
    items = [
        polygon([(x, y), (r - c, y), (r, y + c), (r, b), (x, b)], fill=fill, line="black"),
        polygon([(r - c, y), (r - c, y + c), (r, y + c)], fill="paper", line="black"),
    ]
    if lines:
        for ly in range(y + c + 2, b - 1, 2):
            items.append(line(x + 2, ly, r - 2, ly, lines))
    return items


def pencil(x, y, body="yellow", shade="olive"):
    """A pencil lying from its point at the lower left to its end at the upper right, 16 x 16."""
    return [
        polygon([(x + 4, y + 9), (x + 11, y + 2), (x + 14, y + 5), (x + 7, y + 12)], fill=body, line="black"),
        line(x + 7, y + 10, x + 12, y + 5, shade),
        line(x + 5, y + 9, x + 10, y + 4, "paper"),
        polygon([(x + 4, y + 9), (x + 7, y + 12), (x, y + 15)], fill="paper", line="black"),
        dots("black", (x, y + 15), (x + 1, y + 14), (x + 1, y + 13), (x + 2, y + 14)),
        polygon([(x + 11, y + 2), (x + 13, y), (x + 16, y + 3), (x + 14, y + 5)], fill="magenta", line="black"),
        line(x + 12, y + 2, x + 13, y + 3, "silver"),
    ]


def landscape(x, y, w, h):
    """A framed picture: sky, sun and green hills, w x h."""
    r, b = x + w - 1, y + h - 1
    sun = max(2, h // 4)
    return [
        rect(x, y, r, b, fill="cyan", line="black"),
        ellipse(r - 1 - sun - 1, y + 1, r - 2, y + 2 + sun, fill="yellow"),
        polygon([(x + 1, b - 1), (x + 1, b - h // 4), (x + w * 2 // 5, y + h // 3 + 1), (x + w * 3 // 5, b - h // 4),
                 (x + w * 3 // 4, b - h // 3), (r - 1, b - h // 5), (r - 1, b - 1)], fill="green"),
        line(x + 1, b - 1, r - 1, b - 1, "olive"),
    ]


def cross(x0, y0, x1, y1, colour="red"):
    """A bold diagonal cross over the box."""
    return [
        line(x0, y0, x1, y1, colour), line(x0 + 1, y0, x1, y1 - 1, colour), line(x0, y0 + 1, x1 - 1, y1, colour),
        line(x1, y0, x0, y1, colour), line(x1 - 1, y0, x0, y1 - 1, colour), line(x1, y0 + 1, x0 + 1, y1, colour),
    ]


def check(x, y, colour="red"):
    """A tick mark, 7 x 6."""
    return [pixmap(x, y, [
        "......k",
        ".....kk",
        "k...kk.",
        "kk.kk..",
        ".kkk...",
        "..k....",
    ], {"k": colour})]


# Triangles with 45-degree sides and a two-pixel point, depth pixels from point to base.

def triangle_left(tip, row, depth, fill="blue", edge="navy"):
    """Points left; the point covers rows row and row + 1."""
    return [polygon([(tip, row), (tip + depth, row - depth), (tip + depth, row + 1 + depth), (tip, row + 1)],
                    fill=fill, line=edge)]


def triangle_right(tip, row, depth, fill="blue", edge="navy"):
    return [polygon([(tip, row), (tip, row + 1), (tip - depth, row + 1 + depth), (tip - depth, row - depth)],
                    fill=fill, line=edge)]


def triangle_up(col, tip, depth, fill="blue", edge="navy"):
    """Points up; the point covers columns col and col + 1."""
    return [polygon([(col, tip), (col + 1, tip), (col + 1 + depth, tip + depth), (col - depth, tip + depth)],
                    fill=fill, line=edge)]


def double_arrow_across(x0, x1, row, fill="blue", edge="navy"):
    """A two-headed arrow from x0 to x1 around rows row, row + 1."""
    head = 5
    return [polygon([(x0, row), (x0 + head, row - head), (x0 + head, row - 2), (x1 - head, row - 2),
                     (x1 - head, row - head), (x1, row), (x1, row + 1), (x1 - head, row + 1 + head),
                     (x1 - head, row + 3), (x0 + head, row + 3), (x0 + head, row + 1 + head), (x0, row + 1)],
                    fill=fill, line=edge)]


def double_arrow_up_down(col, y0, y1, fill="blue", edge="navy"):
    head = 5
    return [polygon([(col, y0), (col + 1, y0), (col + 1 + head, y0 + head), (col + 3, y0 + head),
                     (col + 3, y1 - head), (col + 1 + head, y1 - head), (col + 1, y1), (col, y1),
                     (col - head, y1 - head), (col - 2, y1 - head), (col - 2, y0 + head), (col - head, y0 + head)],
                    fill=fill, line=edge)]


def turning_arrow(cx, cy, radius, start, end, fill="green", edge="black"):
    """A thick arc from angle start anticlockwise to end, with an arrow head at end pointing onwards."""
    import math
    band = [ring(cx, cy, radius - 1.6, radius + 1.6, start, end, fill=fill, line=edge)]
    a = math.radians(end)
    # The head: a triangle across the band's end, pointing along the turn.
    px, py = cx + radius * math.cos(a), cy - radius * math.sin(a)
    tx, ty = -math.sin(a), -math.cos(a)          # anticlockwise tangent on the screen
    nx, ny = math.cos(a), -math.sin(a)           # outward normal
    head = [(px + nx * 4.2, py + ny * 4.2), (px - nx * 4.2, py - ny * 4.2), (px + tx * 4.5, py + ty * 4.5)]
    return band + [polygon([(round(u), round(v)) for u, v in head], fill=fill, line=edge)]


def window(x0, y0, x1, y1):
    """An application window outline with a title bar; returns the primitives."""
    return [rect(x0, y0, x1, y1, fill="silver", line="black"), rect(x0 + 1, y0 + 1, x1 - 1, y0 + 2, fill="navy")]


def drive_box(x, y, w, h):
    """The front and top of a drive unit seen a little from above: w x h."""
    r, b = x + w - 1, y + h - 1
    top = 3
    return [
        polygon([(x + top, y), (r, y), (r - top + 1, y + top), (x, y + top)], fill="paper", line="black"),
        polygon([(r, y), (r, b - top), (r - top + 1, b), (r - top + 1, y + top)], fill="grey", line="black"),
        rect(x, y + top, r - top + 1, b, fill="silver", line="black"),
    ]
