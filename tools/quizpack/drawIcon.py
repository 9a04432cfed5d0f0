#!/usr/bin/env python3
"""Draws quizpack's icon: a parcel with a question mark on its side, the quiz
being packed. 32x32, 16 colours (the standard VGA palette), transparent around
the parcel. Run from this folder; quizpack.ico is committed so the build needs
no Python."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources"))
from vgaIcon import BLACK, BLUE, OLIVE, QUESTION, WHITE, YELLOW, write_icon  # noqa: E402


# Parcel outline: a lid seen from slightly above (rows 4-9), the side below.
LEFT, RIGHT, LID_TOP, SIDE_TOP, BOTTOM = 3, 28, 4, 10, 28


def colour(x, y):
    if not (LEFT <= x <= RIGHT and LID_TOP <= y <= BOTTOM):
        return None  # transparent
    if x in (LEFT, RIGHT) or y in (LID_TOP, SIDE_TOP, BOTTOM):
        return BLACK
    if 14 <= x <= 17 and y < SIDE_TOP:
        return BLUE  # the tape across the lid
    if y < SIDE_TOP:
        return YELLOW
    qx, qy = (x - 10) // 2, (y - 13) // 2
    if 0 <= qy < len(QUESTION) and 0 <= qx < len(QUESTION[0]) and x >= 10 and y >= 13:
        if QUESTION[qy][qx] == "#":
            return WHITE
    if 14 <= x <= 17 and y <= 12:
        return BLUE  # the tape running down the side
    return OLIVE if (x + y) % 2 else YELLOW


write_icon("quizpack.ico", colour)
