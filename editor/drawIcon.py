#!/usr/bin/env python3
"""Draws the editor's icon: a white sheet with a question mark, a pencil
lying across its corner, the quiz being written. 32x32, 16 colours (the
standard VGA palette), transparent around the sheet and the pencil. Run from
this folder; atelier.ico is committed so the build needs no Python."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources"))
from vgaIcon import BLACK, BLUE, GREY, QUESTION, RED, SILVER, WHITE, YELLOW, write_icon  # noqa: E402


SHEET_LEFT, SHEET_RIGHT, SHEET_TOP, SHEET_BOTTOM = 4, 23, 2, 29


def pencil(x, y):
    """The pencil runs from the lower left (its point at 12, 27) up to the upper right, four pixels thick."""
    u = (x - 12) - (27 - y)  # across the pencil: 0 on its axis
    v = (x - 12) + (27 - y)  # along the pencil, from its point
    if abs(u) > 2 or v < 0 or v > 34:
        return None
    if v <= 2:
        return BLACK  # the lead
    if v <= 6:
        return SILVER if abs(u) < 2 else BLACK  # the sharpened wood
    if v >= 31:
        return RED  # the eraser
    if v >= 29:
        return GREY  # its metal band
    return BLACK if abs(u) == 2 else YELLOW


def colour(x, y):
    drawn = pencil(x, y)
    if drawn is not None:
        return drawn
    if not (SHEET_LEFT <= x <= SHEET_RIGHT and SHEET_TOP <= y <= SHEET_BOTTOM):
        return None  # transparent
    if x in (SHEET_LEFT, SHEET_RIGHT) or y in (SHEET_TOP, SHEET_BOTTOM):
        return BLACK
    qx, qy = (x - 8) // 2, (y - 6) // 2
    if x >= 8 and y >= 6 and qy < len(QUESTION) and qx < len(QUESTION[0]) and QUESTION[qy][qx] == "#":
        return BLUE
    return WHITE


write_icon("atelier.ico", colour)
