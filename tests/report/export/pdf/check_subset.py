"""Reads a font subset with fontTools and compares it with the font it was cut from.

usage: check_subset.py ORIGINAL FACE_INDEX SUBSET GLYPHS TEXT

GLYPHS are the glyph indices the text used (comma-separated); TEXT is the text, whose characters
must still map to the same glyphs. The subset must keep the outlines of those glyphs, of glyph 0
and of the components of composite ones (at every depth), give every other glyph an empty outline,
keep the glyph count and the horizontal metrics, and carry correct checksums. Prints what is wrong and exits with 1.
"""

import sys

from fontTools.ttLib import TTFont


def main():
    original_path, face, subset_path, glyphs, text = sys.argv[1:6]
    original = TTFont(original_path, fontNumber=int(face))
    subset = TTFont(subset_path, checkChecksums=2)
    problems = []

    order = original.getGlyphOrder()
    used = {int(g) for g in glyphs.split(",") if g}
    keep = set()
    pending = used | {0}
    while pending:
        gid = pending.pop()
        keep.add(gid)
        glyph = original["glyf"][order[gid]]
        if glyph.isComposite():
            pending |= {original.getGlyphID(name) for name in glyph.getComponentNames(original["glyf"])} - keep

    if subset["maxp"].numGlyphs != original["maxp"].numGlyphs:
        problems.append("glyph count %d, expected %d" % (subset["maxp"].numGlyphs, original["maxp"].numGlyphs))
    for tag in ("DSIG", "hdmx", "EBLC", "EBDT", "VDMX", "GPOS", "GSUB", "GDEF", "kern"):
        if tag in subset:
            problems.append("table %s was kept" % tag)
    if subset["post"].formatType != 3.0:
        problems.append("post format %s" % subset["post"].formatType)

    sub_order = subset.getGlyphOrder()
    kept_outlines = 0
    for gid in range(subset["maxp"].numGlyphs):
        new = subset["glyf"][sub_order[gid]]
        if gid in keep:
            old = original["glyf"][order[gid]]
            if new.compile(subset["glyf"]) != old.compile(original["glyf"]):
                problems.append("glyph %d differs from the original" % gid)
            if subset["hmtx"][sub_order[gid]] != original["hmtx"][order[gid]]:
                problems.append("glyph %d has other horizontal metrics" % gid)
            kept_outlines += 1 if new.numberOfContours != 0 else 0
        elif new.numberOfContours != 0:
            problems.append("glyph %d should be empty" % gid)
    if kept_outlines == 0:
        problems.append("no outline was kept")

    cmap = subset.getBestCmap()
    for character in text:
        want = original.getBestCmap().get(ord(character))
        got = cmap.get(ord(character))
        if want is None or got is None or subset.getGlyphID(got) != original.getGlyphID(want):
            problems.append("character U+%04X maps to %s, expected %s" % (ord(character), got, want))

    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
