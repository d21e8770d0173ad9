"""Drawing engine of the strip pictures: named colours, a few raster primitives and a .BMP writer.

A picture is a list of primitives drawn in order onto a canvas that starts all white. White is the mask colour
of every strip (the image lists draw it transparent), so "white" means "nothing here"; opaque white is "paper".
Coordinates are pixels, x to the right and y downwards, both ends inclusive.
"""

import math
import struct

# The sixteen colours every Windows display shows exactly, plus near-white paper that stays opaque.
PALETTE = [
    ("white", (0xFF, 0xFF, 0xFF)),
    ("black", (0x00, 0x00, 0x00)),
    ("maroon", (0x80, 0x00, 0x00)),
    ("green", (0x00, 0x80, 0x00)),
    ("olive", (0x80, 0x80, 0x00)),
    ("navy", (0x00, 0x00, 0x80)),
    ("purple", (0x80, 0x00, 0x80)),
    ("teal", (0x00, 0x80, 0x80)),
    ("silver", (0xC0, 0xC0, 0xC0)),
    ("grey", (0x80, 0x80, 0x80)),
    ("red", (0xFF, 0x00, 0x00)),
    ("lime", (0x00, 0xFF, 0x00)),
    ("yellow", (0xFF, 0xFF, 0x00)),
    ("blue", (0x00, 0x00, 0xFF)),
    ("magenta", (0xFF, 0x00, 0xFF)),
    ("cyan", (0x00, 0xFF, 0xFF)),
    ("paper", (0xF8, 0xF8, 0xF8)),
]
COLOUR_INDEX = {name: i for i, (name, _) in enumerate(PALETTE)}
MASK = "white"


class DrawingError(Exception):
    """A picture description that cannot be drawn as written (unknown colour, pixels outside the picture)."""


def _colour(name):
    if name not in COLOUR_INDEX:
        raise DrawingError("unknown colour %r" % (name,))
    return COLOUR_INDEX[name]


class Canvas:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.pixels = [[COLOUR_INDEX[MASK]] * width for _ in range(height)]

    def put(self, x, y, colour):
        # Drawing past the edge would spill into the neighbouring picture of the strip; refuse it.
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise DrawingError("pixel (%d, %d) outside the %d x %d picture" % (x, y, self.width, self.height))
        self.pixels[y][x] = _colour(colour)

    def get(self, x, y):
        return PALETTE[self.pixels[y][x]][0]


# Primitives. Each is a small object with draw(canvas, dx, dy); shift() moves a group of them.

class _Shape:
    """A filled pixel set with an optional one-pixel border (the set's pixels that touch the outside)."""

    def __init__(self, fill=None, line=None):
        self.fill = fill
        self.line = line

    def cells(self):
        raise NotImplementedError

    def draw(self, canvas, dx, dy):
        cells = set(self.cells())
        for (x, y) in sorted(cells):
            edge = any((x + ox, y + oy) not in cells for ox, oy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            colour = self.line if (edge and self.line) else self.fill
            if colour:
                canvas.put(x + dx, y + dy, colour)


class rect(_Shape):
    def __init__(self, x0, y0, x1, y1, fill=None, line=None):
        super().__init__(fill, line)
        self.box = (min(x0, x1), min(y0, y1), max(x0, x1), max(y0, y1))

    def cells(self):
        x0, y0, x1, y1 = self.box
        return [(x, y) for y in range(y0, y1 + 1) for x in range(x0, x1 + 1)]


class polygon(_Shape):
    """Points are pixel centres; a pixel belongs to the polygon when its centre lies inside or on an edge."""

    def __init__(self, points, fill=None, line=None):
        super().__init__(fill, line)
        self.points = list(points)

    def cells(self):
        xs = [p[0] for p in self.points]
        ys = [p[1] for p in self.points]
        found = set()
        for y in range(int(math.floor(min(ys))), int(math.ceil(max(ys))) + 1):
            for x in range(int(math.floor(min(xs))), int(math.ceil(max(xs))) + 1):
                if _inside(self.points, x, y):
                    found.add((x, y))
        # The edges themselves, so that thin spikes are never lost between pixel centres.
        n = len(self.points)
        for i in range(n):
            found.update(_line_cells(self.points[i], self.points[(i + 1) % n]))
        return found


class ellipse(_Shape):
    def __init__(self, x0, y0, x1, y1, fill=None, line=None):
        super().__init__(fill, line)
        self.box = (min(x0, x1), min(y0, y1), max(x0, x1), max(y0, y1))

    def cells(self):
        x0, y0, x1, y1 = self.box
        cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
        rx, ry = (x1 - x0 + 1) / 2.0, (y1 - y0 + 1) / 2.0
        return [(x, y) for y in range(y0, y1 + 1) for x in range(x0, x1 + 1)
                if ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 0.92]


class ring(_Shape):
    """Part of a circular band around (cx, cy): radii r0 to r1, angles a0 to a1 in degrees, 0 pointing right,
    counting anticlockwise as on the screen."""

    def __init__(self, cx, cy, r0, r1, a0, a1, fill=None, line=None):
        super().__init__(fill, line)
        self.cx, self.cy, self.r0, self.r1, self.a0, self.a1 = cx, cy, r0, r1, a0, a1

    def cells(self):
        found = []
        reach = int(math.ceil(self.r1)) + 1
        for y in range(int(self.cy) - reach, int(self.cy) + reach + 1):
            for x in range(int(self.cx) - reach, int(self.cx) + reach + 1):
                d = math.hypot(x - self.cx, y - self.cy)
                if not (self.r0 <= d <= self.r1):
                    continue
                angle = math.degrees(math.atan2(self.cy - y, x - self.cx)) % 360
                if (angle - self.a0) % 360 <= (self.a1 - self.a0) % 360:
                    found.append((x, y))
        return found


class line:
    def __init__(self, x0, y0, x1, y1, colour):
        self.ends = ((x0, y0), (x1, y1))
        self.colour = colour

    def draw(self, canvas, dx, dy):
        for (x, y) in _line_cells(*self.ends):
            canvas.put(x + dx, y + dy, self.colour)


class dots:
    """Single pixels of one colour."""

    def __init__(self, colour, *points):
        self.colour = colour
        self.points = points

    def draw(self, canvas, dx, dy):
        for (x, y) in self.points:
            canvas.put(x + dx, y + dy, self.colour)


class pixmap:
    """A small hand-drawn glyph: one string per row, one character per pixel, looked up in the legend;
    a character missing from the legend ("." or a blank) leaves the pixel as it is."""

    def __init__(self, x, y, rows, legend):
        self.x, self.y, self.rows, self.legend = x, y, rows, legend

    def draw(self, canvas, dx, dy):
        for j, row in enumerate(self.rows):
            for i, ch in enumerate(row):
                if ch in self.legend:
                    canvas.put(self.x + i + dx, self.y + j + dy, self.legend[ch])


class dither:
    """Every other pixel of the box that has one of the given colours turned into one colour: the look of a
    highlighted icon."""

    def __init__(self, x0, y0, x1, y1, colour, over=("silver", "paper", "grey")):
        self.box = (x0, y0, x1, y1)
        self.colour = colour
        self.over = over

    def draw(self, canvas, dx, dy):
        x0, y0, x1, y1 = self.box
        for y in range(y0 + dy, y1 + dy + 1):
            for x in range(x0 + dx, x1 + dx + 1):
                if (x + y) % 2 == 0 and canvas.get(x, y) in self.over:
                    canvas.put(x, y, self.colour)


class mirrored:
    """A group of primitives drawn flipped left to right across the whole picture."""

    def __init__(self, items):
        self.items = list(items)

    def draw(self, canvas, dx, dy):
        scratch = Canvas(canvas.width, canvas.height)
        for item in self.items:
            item.draw(scratch, dx, dy)
        for y in range(canvas.height):
            for x in range(canvas.width):
                if scratch.pixels[y][x] != COLOUR_INDEX[MASK]:
                    canvas.pixels[y][canvas.width - 1 - x] = scratch.pixels[y][x]


class shift:
    """A group of primitives moved by (dx, dy): lets one drawing appear at several places."""

    def __init__(self, dx, dy, items):
        self.dx, self.dy, self.items = dx, dy, list(items)

    def draw(self, canvas, dx, dy):
        for item in self.items:
            item.draw(canvas, dx + self.dx, dy + self.dy)


def _inside(points, x, y):
    # On an edge counts as inside; otherwise the even-odd rule.
    n = len(points)
    hit = False
    for i in range(n):
        (x0, y0), (x1, y1) = points[i], points[(i + 1) % n]
        cross = (x1 - x0) * (y - y0) - (y1 - y0) * (x - x0)
        if cross == 0 and min(x0, x1) <= x <= max(x0, x1) and min(y0, y1) <= y <= max(y0, y1):
            return True
        if (y0 > y) != (y1 > y):
            if x < x0 + (y - y0) * (x1 - x0) / float(y1 - y0):
                hit = not hit
    return hit


def _line_cells(a, b):
    (x0, y0), (x1, y1) = (int(round(a[0])), int(round(a[1]))), (int(round(b[0])), int(round(b[1])))
    cells = []
    ddx, ddy = abs(x1 - x0), -abs(y1 - y0)
    sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
    err = ddx + ddy
    while True:
        cells.append((x0, y0))
        if (x0, y0) == (x1, y1):
            return cells
        e2 = 2 * err
        if e2 >= ddy:
            err += ddy
            x0 += sx
        if e2 <= ddx:
            err += ddx
            y0 += sy


# Pictures and strips.

class Picture:
    def __init__(self, title, items, content=None):
        """title: what the picture shows (for readers and error messages); items: the primitives;
        content: optional box (x0, y0, x1, y1) that every opaque pixel must stay in."""
        self.title = title
        self.items = list(items)
        self.content = content


class Strip:
    def __init__(self, resource, name, width, height, pictures, content=None):
        """A bitmap resource: pictures of width x height side by side, left to right in image order.
        content: the box of each picture that stays visible where the program draws it."""
        self.resource = resource
        self.name = name
        self.width = width
        self.height = height
        self.pictures = list(pictures)
        self.content = content

    def render(self):
        """The whole strip as rows of colour indices (top row first)."""
        rows = [[] for _ in range(self.height)]
        for picture in self.pictures:
            canvas = Canvas(self.width, self.height)
            try:
                for item in picture.items:
                    item.draw(canvas, 0, 0)
            except DrawingError as error:
                raise DrawingError("%d, %s: %s" % (self.resource, picture.title, error))
            box = picture.content or self.content
            if box:
                _check_content(canvas, box, "%d, %s" % (self.resource, picture.title))
            for y in range(self.height):
                rows[y].extend(canvas.pixels[y])
        return rows


def _check_content(canvas, box, where):
    x0, y0, x1, y1 = box
    for y in range(canvas.height):
        for x in range(canvas.width):
            if canvas.pixels[y][x] != COLOUR_INDEX[MASK] and not (x0 <= x <= x1 and y0 <= y <= y1):
                raise DrawingError("%s: pixel (%d, %d) lies outside the visible box %r" % (where, x, y, box))


def bmp_bytes(rows):
    """An uncompressed bottom-up 24-bit .BMP file of the rows (colour indices into PALETTE).

    24 bits rather than 8 with a colour table: the image lists cut from an 8-bit DIB section under Wine
    lose their mask and draw white opaque; from 24 bits they keep it."""
    height = len(rows)
    width = len(rows[0]) if rows else 0
    stride = (3 * width + 3) & ~3
    offset = 14 + 40
    bgr = [struct.pack("<BBB", b, g, r) for _, (r, g, b) in PALETTE]
    image = bytearray()
    for row in reversed(rows):
        image.extend(b"".join(bgr[i] for i in row))
        image.extend(b"\0" * (stride - 3 * width))
    header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    return header + info + bytes(image)
