"""Host tests of the strip picture generator: the .BMP bytes it writes and the guards that keep a picture
inside its own image. Writes a GoogleTest-style XML report when given --xml PATH."""

import os
import struct
import sys
import unittest
import xml.etree.ElementTree as ET

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "strips"))

import make_strips  # noqa: E402
from stripgen import (COLOUR_INDEX, PALETTE, Canvas, DrawingError, Picture, Strip, bmp_bytes, mirrored,  # noqa: E402
                      polygon, rect)


def parse_bmp(data):
    """The header fields and the pixel rows (top row first, as (r, g, b)) of a 24-bit .BMP file."""
    magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    (bi_size, width, height, planes, bits, compression, image_size) = struct.unpack_from("<IiiHHII", data, 14)
    stride = (3 * width + 3) & ~3
    rows = []
    for stored in range(height):
        start = offset + stored * stride
        row = [tuple(data[start + 3 * x + 2 - c] for c in range(3)) for x in range(width)]
        rows.insert(0, row)
    return dict(magic=magic, size=size, offset=offset, bi_size=bi_size, width=width, height=height, planes=planes,
                bits=bits, compression=compression, image_size=image_size, rows=rows)


class BmpFile(unittest.TestCase):
    def test_header_and_rows_of_a_width_that_needs_padding(self):
        # 5 pixels of 3 bytes need one byte of padding per row; a missing pad shears the picture.
        red, blue = COLOUR_INDEX["red"], COLOUR_INDEX["blue"]
        white = COLOUR_INDEX["white"]
        rows = [[red] + [white] * 4, [white] * 4 + [blue]]
        data = bmp_bytes(rows)
        bmp = parse_bmp(data)
        self.assertEqual(b"BM", bmp["magic"])
        self.assertEqual(len(data), bmp["size"])
        self.assertEqual(54, bmp["offset"])
        self.assertEqual((40, 5, 2, 1, 24, 0), (bmp["bi_size"], bmp["width"], bmp["height"], bmp["planes"],
                                                 bmp["bits"], bmp["compression"]))
        self.assertEqual(2 * 16, bmp["image_size"])
        self.assertEqual(54 + 32, len(data))
        # Bottom-up storage and blue-green-red byte order come back as drawn.
        self.assertEqual((255, 0, 0), bmp["rows"][0][0])
        self.assertEqual((0, 0, 255), bmp["rows"][1][4])
        self.assertEqual((255, 255, 255), bmp["rows"][1][0])

    def test_only_the_mask_colour_is_pure_white(self):
        whites = [name for name, rgb in PALETTE if rgb == (255, 255, 255)]
        self.assertEqual(["white"], whites)
        self.assertNotEqual((255, 255, 255), dict(PALETTE)["paper"])


class Guards(unittest.TestCase):
    def test_drawing_past_any_edge_is_refused(self):
        # A negative index would otherwise land on the far side of the picture without a word.
        for box in [(-1, 0, 2, 2), (0, -1, 2, 2), (8, 0, 10, 2), (0, 3, 2, 4)]:
            with self.assertRaises(DrawingError):
                rect(*box, fill="black").draw(Canvas(10, 4), 0, 0)

    def test_a_picture_leaving_its_visible_box_is_refused(self):
        inside = Strip(1, "test", 8, 8, [Picture("inside", [rect(2, 2, 5, 5, fill="red")])], content=(2, 2, 5, 5))
        self.assertEqual(16, sum(1 for row in inside.render() for c in row if c == COLOUR_INDEX["red"]))
        outside = Strip(1, "test", 8, 8, [Picture("outside", [rect(2, 2, 6, 5, fill="red")])], content=(2, 2, 5, 5))
        with self.assertRaises(DrawingError):
            outside.render()

    def test_pictures_sit_side_by_side_in_order(self):
        strip = Strip(1, "test", 4, 2, [Picture("left", [rect(0, 0, 0, 0, fill="red")]),
                                        Picture("right", [rect(3, 1, 3, 1, fill="blue")])])
        rows = strip.render()
        self.assertEqual(8, len(rows[0]))
        self.assertEqual(COLOUR_INDEX["red"], rows[0][0])
        self.assertEqual(COLOUR_INDEX["blue"], rows[1][7])
        self.assertEqual(2, sum(1 for row in rows for c in row if c != COLOUR_INDEX["white"]))


class Shapes(unittest.TestCase):
    def test_outline_and_fill_of_a_rectangle(self):
        canvas = Canvas(5, 5)
        rect(0, 0, 4, 4, fill="yellow", line="black").draw(canvas, 0, 0)
        self.assertEqual("black", canvas.get(0, 2))
        self.assertEqual("black", canvas.get(4, 4))
        self.assertEqual("yellow", canvas.get(2, 2))

    def test_a_thin_spike_keeps_every_pixel_of_its_edges(self):
        canvas = Canvas(12, 3)
        polygon([(0, 1), (11, 0), (11, 2)], fill="blue").draw(canvas, 0, 0)
        for x in range(12):
            self.assertEqual("blue", canvas.get(x, 1), x)

    def test_mirrored_flips_left_to_right(self):
        canvas = Canvas(6, 1)
        mirrored([rect(0, 0, 1, 0, fill="red")]).draw(canvas, 0, 0)
        self.assertEqual(["white"] * 4 + ["red"] * 2, [canvas.get(x, 0) for x in range(6)])


class AllStrips(unittest.TestCase):
    def test_every_strip_draws(self):
        strips = make_strips.all_strips()
        self.assertEqual([134, 138, 140, 141, 143, 144, 148, 149, 150, 155, 156, 157, 158, 162],
                         [s.resource for s in strips])
        for s in strips:
            bmp = parse_bmp(bmp_bytes(s.render()))
            self.assertEqual((s.width * len(s.pictures), s.height), (bmp["width"], bmp["height"]), s.resource)


def write_report(result, total, path):
    suite = ET.Element("testsuites", tests=str(total), failures=str(len(result.failures)),
                       errors=str(len(result.errors)), disabled="0", name="strips_generator_tests")
    bad = {test.id(): text for test, text in result.failures + result.errors}
    for test in unittest.defaultTestLoader.loadTestsFromModule(sys.modules[__name__]):
        for case in test:
            element = ET.SubElement(suite, "testcase", classname=type(case).__name__, name=case._testMethodName)
            if case.id() in bad:
                ET.SubElement(element, "failure", message=bad[case.id()].splitlines()[-1]).text = bad[case.id()]
    ET.ElementTree(suite).write(path, encoding="utf-8", xml_declaration=True)


if __name__ == "__main__":
    xml = None
    if len(sys.argv) == 3 and sys.argv[1] == "--xml":
        xml = sys.argv[2]
    tests = unittest.defaultTestLoader.loadTestsFromModule(sys.modules[__name__])
    result = unittest.TextTestRunner(verbosity=2).run(tests)
    if xml:
        os.makedirs(os.path.dirname(xml), exist_ok=True)
        write_report(result, tests.countTestCases(), xml)
    sys.exit(0 if result.wasSuccessful() else 1)
