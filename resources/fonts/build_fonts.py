#!/usr/bin/env python3
"""Builds the two music fonts of the staff view from LilyPond's Emmentaler.

"Vorlan" holds note heads, accidentals, flags, rests, the triplet mark and the pedal and
audio-cue symbols; "VorlanB" holds the clefs. One character is one symbol. The staff is
drawn in design units: a line space is 80 units, "Vorlan" is used 220 units high and
"VorlanB" 1400 units high. The outlines are scaled so that a filled note head is exactly
one line space high and a clef spans the staff as engraved, and moved so that each symbol
stands where the drawer puts it relative to its baseline.

Usage: build_fonts.py EMMENTALER.otf OUTPUT_DIR
"""

import math
import os
import re
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.boundsPen import BoundsPen
from fontTools.pens.cu2quPen import Cu2QuPen
from fontTools.pens.transformPen import TransformPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont

UNITS_PER_EM = 2048
LINE_SPACE = 80
SMALL_EM = 220
LARGE_EM = 1400
VERSION = "Version 1.000"
COPYRIGHT = ("Copyright (c) 1996-2017 The LilyPond authors (lilypond.org). "
             "Modified Version made for Vorlaune.")
LICENSE = ("This Font Software is licensed under the SIL Open Font License, Version 1.1. "
           "See OFL.txt beside the font.")
LICENSE_URL = "https://openfontlicense.org"


class Source:
    """The Emmentaler outlines and the size of its staff space."""

    def __init__(self, path):
        self.font = TTFont(path)
        self.glyphs = self.font.getGlyphSet()
        facts = self.font["LILY"].data.decode("ascii")
        space = float(re.search(r"\(staff_space \. ([0-9.]+)\)", facts).group(1))
        design = float(re.search(r"\(design_size \. ([0-9.]+)\)", facts).group(1))
        self.staff_space = space / design * self.font["head"].unitsPerEm

    def bounds(self, name):
        pen = BoundsPen(self.glyphs)
        self.glyphs[name].draw(pen)
        return pen.bounds


class Part:
    """One source outline (or a drawing function in design units), scaled and moved."""

    def __init__(self, name=None, scale=1.0, dx=0.0, dy=0.0, draw=None, box=None):
        self.name, self.scale, self.dx, self.dy = name, scale, dx, dy
        self.draw, self.box = draw, box


class FontMaker:
    def __init__(self, source, em, source_per_design):
        self.source = source
        self.em = em
        # design units per source unit
        self.unit = 1.0 / source_per_design
        self.glyphs = {}
        self.advances = {}

    def font_units(self, design):
        return design * UNITS_PER_EM / self.em

    def box(self, part):
        """Bounds of a part in design units."""
        if part.name is None:
            x0, y0, x1, y1 = part.box
        else:
            x0, y0, x1, y1 = self.source.bounds(part.name)
            k = self.unit * part.scale
            x0, y0, x1, y1 = x0 * k, y0 * k, x1 * k, y1 * k
        return (x0 + part.dx, y0 + part.dy, x1 + part.dx, y1 + part.dy)

    def part(self, name, scale=1.0):
        return Part(name, scale)

    def left_aligned(self, name, scale=1.0, dy=0.0):
        p = Part(name, scale, 0.0, dy)
        p.dx = -self.box(p)[0]
        return p

    def add(self, char, parts, advance=None):
        pen = TTGlyphPen(None)
        quadratic = Cu2QuPen(pen, max_err=1.0, reverse_direction=True)
        f = UNITS_PER_EM / self.em
        for p in parts:
            if p.name is None:
                p.draw(TransformPen(quadratic, (f, 0, 0, f, 0, 0)))
            else:
                k = f * self.unit * p.scale
                transform = (k, 0, 0, k, f * p.dx, f * p.dy)
                self.source.glyphs[p.name].draw(TransformPen(quadratic, transform))
        if advance is None:
            advance = max(self.box(p)[2] for p in parts)
        self.glyphs[char] = pen.glyph()
        self.advances[char] = int(round(self.font_units(advance)))

    def save(self, path, family):
        order = [".notdef", "space"] + ["g%02X" % ord(c) for c in sorted(self.glyphs)]
        cmap = {32: "space"}
        glyf = {".notdef": TTGlyphPen(None).glyph(), "space": TTGlyphPen(None).glyph()}
        metrics = {".notdef": (UNITS_PER_EM // 2, 0), "space": (UNITS_PER_EM // 4, 0)}
        for char, glyph in self.glyphs.items():
            name = "g%02X" % ord(char)
            cmap[ord(char)] = name
            glyf[name] = glyph
        builder = FontBuilder(UNITS_PER_EM, isTTF=True)
        builder.setupGlyphOrder(order)
        builder.setupCharacterMap(cmap)
        builder.setupGlyf(glyf)
        glyf_table = builder.font["glyf"]
        top, bottom = 0, 0
        for char in self.glyphs:
            name = "g%02X" % ord(char)
            g = glyf_table[name]
            g.recalcBounds(glyf_table)
            lsb = getattr(g, "xMin", 0) if g.numberOfContours else 0
            metrics[name] = (self.advances[char], lsb)
            if g.numberOfContours:
                top, bottom = max(top, g.yMax), min(bottom, g.yMin)
        builder.setupHorizontalMetrics(metrics)
        builder.setupHorizontalHeader(ascent=top, descent=bottom)
        builder.setupNameTable({
            "copyright": COPYRIGHT,
            "familyName": family,
            "styleName": "Regular",
            "uniqueFontIdentifier": family + "-Regular " + VERSION,
            "fullName": family,
            "psName": family + "-Regular",
            "version": VERSION,
            "licenseDescription": LICENSE,
            "licenseInfoURL": LICENSE_URL,
        })
        builder.setupOS2(usWeightClass=400, fsType=0, sTypoAscender=top, sTypoDescender=bottom,
                         sTypoLineGap=0, usWinAscent=top, usWinDescent=-bottom,
                         achVendID="VORL")
        builder.setupPost()
        builder.save(path)


def ring_sector(cx, cy, inner, outer, degrees):
    """An arc band around (cx, cy), as a polygon drawing function."""
    steps = 10
    angles = [math.radians(-degrees + 2 * degrees * i / steps) for i in range(steps + 1)]
    outside = [(cx + outer * math.cos(a), cy + outer * math.sin(a)) for a in angles]
    inside = [(cx + inner * math.cos(a), cy + inner * math.sin(a)) for a in reversed(angles)]
    return outside + inside


def polygon(points):
    area = sum(x0 * y1 - x1 * y0 for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]))
    if area < 0:
        points = list(reversed(points))

    def draw(pen):
        pen.moveTo(points[0])
        for p in points[1:]:
            pen.lineTo(p)
        pen.closePath()

    return draw


def speaker_part():
    """The audio-cue symbol: a loudspeaker with two sound waves, about a line space high."""
    shapes = [
        [(0, 28), (26, 28), (26, 72), (0, 72)],
        [(22, 28), (58, 0), (58, 100), (22, 72)],
        ring_sector(58, 50, 16, 25, 45),
        ring_sector(58, 50, 34, 43, 45),
    ]
    drawers = [polygon(s) for s in shapes]

    def draw(pen):
        for d in drawers:
            d(pen)

    return Part(draw=draw, box=(0, 0, 101, 100))


def build_small(source, out_dir):
    head_height = source.bounds("noteheads.s2")
    head_height = head_height[3] - head_height[1]
    m = FontMaker(source, SMALL_EM, head_height / LINE_SPACE)
    space = source.staff_space * m.unit
    dot_gap = 0.3 * space

    def with_dot(base, dot_y):
        right = m.box(base)[2]
        dot = m.part("dots.dot")
        dot.dx = right + dot_gap
        dot.dy = dot_y
        return [base, dot]

    # Note heads: filled, filled with dot, half, dotted half, whole.
    heads = {"A": "noteheads.s2", "C": "noteheads.s1", "E": "noteheads.s0"}
    for char, name in heads.items():
        m.add(char, [m.part(name)])
    m.add("B", with_dot(m.part("noteheads.s2"), 0), advance=m.box(m.part("noteheads.s2"))[2])
    m.add("D", with_dot(m.part("noteheads.s1"), 0), advance=m.box(m.part("noteheads.s1"))[2])

    # Accidentals stand left of their origin (the drawer puts the origin 50 units left of
    # the head) and 30 units up, so that they end a quarter space before the head, centred
    # on it.
    # Their advances are the key-signature steps.
    for char, name, advance in (("F", "accidentals.natural", 80),
                                ("G", "accidentals.flat", 90),
                                ("H", "accidentals.sharp", 105)):
        p = m.part(name)
        p.dx = 30 - m.box(p)[2]
        p.dy = 30
        m.add(char, [p], advance=advance)

    m.add("I", [m.left_aligned("three", scale=0.55)])

    # Flags hang from the stem end: the drawer puts an up flag's baseline 160 units below
    # the stem end and a down flag's 40 units above it.
    for index, beams in enumerate((6, 5, 4, 3)):
        up = m.part("flags.u%d" % beams)
        up.dy = 160
        down = m.part("flags.d%d" % beams)
        down.dy = -40
        m.add(chr(ord("J") + 2 * index), [up], advance=m.box(up)[2])
        m.add(chr(ord("J") + 2 * index + 1), [down], advance=m.box(down)[2])

    # Rests, by duration type from "R" (thirty-second). Rests are drawn two positions below
    # the middle line, half rests on it; the whole rest hangs from the fourth line.
    rest_of = {2: "rests.5", 3: "rests.4", 4: "rests.5", 5: "rests.4", 6: "rests.3",
               7: "rests.4", 8: "rests.3", 9: "rests.2", 10: "rests.3", 11: "rests.2",
               12: "rests.1", 13: "rests.2", 14: "rests.1", 15: "rests.1", 16: "rests.0"}
    dotted = {4, 7, 10, 13, 15}
    for kind, name in rest_of.items():
        on_line = kind in (14, 15)
        lift = 0 if on_line else (2 * LINE_SPACE if kind == 16 else LINE_SPACE)
        rest = m.left_aligned(name, dy=lift)
        width = m.box(rest)[2]
        parts = with_dot(rest, lift + LINE_SPACE / 2) if kind in dotted else [rest]
        m.add(chr(ord("P") + kind), parts, advance=width)
    # "P" and "Q" are the eighth flags, so the sixty-fourth rests live at "d" and "e".
    rest = m.left_aligned("rests.6", dy=LINE_SPACE)
    m.add("d", [rest], advance=m.box(rest)[2])
    m.add("e", with_dot(m.left_aligned("rests.6", dy=LINE_SPACE), 1.5 * LINE_SPACE),
          advance=m.box(rest)[2])

    m.add("a", [m.left_aligned("pedal.Ped")])
    m.add("b", [m.left_aligned("pedal.*")])
    m.add("c", [speaker_part()])
    m.save(os.path.join(out_dir, "VORLAN.TTF"), "Vorlan")


def build_large(source, out_dir):
    m = FontMaker(source, LARGE_EM, source.staff_space / LINE_SPACE)
    # Clefs keep their origin on the line they name: G on the fourth line from the top,
    # F on the second, C on the middle one; the drawer puts the baseline there.
    for char, name in (("A", "clefs.G"), ("B", "clefs.F"), ("C", "clefs.C")):
        p = m.part(name)
        p.dx = max(0.0, -m.box(p)[0])
        m.add(char, [p], advance=m.box(p)[2] + 10)
    clef = m.part("clefs.G")
    x0, y0, x1, _ = m.box(clef)
    eight = m.part("eight", scale=0.4)
    ex0, _, ex1, ey1 = m.box(eight)
    eight.dx = (x0 + x1) / 2 - (ex0 + ex1) / 2
    eight.dy = y0 - 8 - ey1
    m.add("D", [clef, eight], advance=x1 + 10)
    m.save(os.path.join(out_dir, "VORLANB.TTF"), "VorlanB")


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    source = Source(argv[1])
    os.makedirs(argv[2], exist_ok=True)
    build_small(source, argv[2])
    build_large(source, argv[2])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
