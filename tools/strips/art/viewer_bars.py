"""The viewer's strips: the picture bar (150) and the text bar (158)."""

from stripgen import Picture, Strip, line, mirrored, polygon, rect, ellipse
from art.parts import double_arrow_across, double_arrow_up_down, floppy, page, spark, turning_arrow

BUTTON = (3, 1, 26, 18)

SAVE = floppy(7, 2)
SAVE_NEW = floppy(5, 3) + spark(19, 1)


def widening():
    return [polygon([(5, 7), (24, 2), (24, 17), (5, 12)], fill="cyan", line="navy"),
            line(6, 9, 23, 9, "teal"), line(6, 10, 23, 10, "teal")]


def picture_bar():
    anticlockwise = turning_arrow(15, 11, 6, 320, 170, fill="blue", edge="navy")
    return Strip(150, "picture bar", 30, 20, [
        Picture("floppy disk", SAVE),
        Picture("floppy disk with a spark", SAVE_NEW),
        Picture("anticlockwise arrow", anticlockwise),
        Picture("clockwise arrow", [mirrored(anticlockwise)]),
        Picture("horizontal double arrow", double_arrow_across(4, 25, 9)),
        Picture("vertical double arrow", double_arrow_up_down(14, 1, 18)),
        Picture("widening shape", widening()),
        Picture("narrowing shape", [mirrored(widening())]),
    ], content=BUTTON)


def scissors():
    return [
        polygon([(9, 1), (10, 1), (17, 11), (15, 12)], fill="silver", line="black"),
        polygon([(20, 1), (19, 1), (12, 11), (14, 12)], fill="silver", line="black"),
        ellipse(6, 11, 13, 17, line="red"), ellipse(7, 12, 12, 16, line="red"),
        ellipse(16, 11, 23, 17, line="red"), ellipse(17, 12, 22, 16, line="red"),
        rect(14, 9, 15, 10, fill="black"),
    ]


def clipboard():
    return [
        rect(6, 3, 23, 18, fill="olive", line="black"),
        rect(8, 6, 21, 17, fill="paper", line="black"),
        line(10, 10, 19, 10, "grey"), line(10, 12, 19, 12, "grey"), line(10, 14, 17, 14, "grey"),
        rect(11, 1, 18, 5, fill="silver", line="black"), rect(13, 2, 16, 2, fill="black"),
    ]


def text_bar():
    return Strip(158, "text bar", 30, 20, [
        Picture("floppy disk", SAVE),
        Picture("floppy disk with a spark", SAVE_NEW),
        Picture("scissors", scissors()),
        Picture("two sheets", page(5, 1, 12, 14) + page(12, 4, 12, 14)),
        Picture("clipboard", clipboard()),
        Picture("magenta square", [rect(8, 3, 21, 16, fill="magenta", line="black"), line(9, 4, 20, 4, "paper")]),
        Picture("white square", [rect(8, 3, 21, 16, fill="paper", line="black"), line(9, 15, 20, 15, "silver"),
                                 line(20, 4, 20, 15, "silver")]),
    ], content=BUTTON)


STRIPS = [picture_bar(), text_bar()]
