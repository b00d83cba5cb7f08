#!/usr/bin/python3
"""The A4 receipt with its copy page, drawn with ReportLab: the peer the command line's speed is
measured against. It draws what forms/QuittungA4.Dat draws for the example receipt (number 12,
Berlin, 3 July 2020, Muster GmbH, rent for July, 119 gross at 19 %): the same boxes, rules and
texts at the same places, in Liberation Sans (what "Arial" resolves to), fonts embedded as
subsets, page content compressed.

    receipt_reportlab.py OUTPUT.pdf
"""

import sys

from reportlab.lib.pagesizes import A4
from reportlab.pdfbase import pdfmetrics
from reportlab.pdfbase.ttfonts import TTFont
from reportlab.pdfgen import canvas

FONTS = "/usr/share/fonts/truetype/liberation2/"
# Template units are pixels at 96 dpi, measured from the page's 10 mm margins.
PX = 72 / 96
MARGIN = 10 * 72 / 25.4
# Liberation Sans' line height (OS/2 win ascent + descent over units per em) and ascent.
LINE = (1854 + 434) / 2048
ASCENT = 1854 / 2048

BOX = (0xDD / 255, 0xE5 / 255, 0xF3 / 255)
PANEL = (1, 0xFB / 255, 0xF0 / 255)
GREY = (0.5, 0.5, 0.5)

# name (Receipt/Copy + this), left, top, width, height, fill
SHAPES = [
    ("Box", 0, 0, 718.1107, 633.9571, BOX),
    ("AmountPanel", 302.95295, 84.1536, 398.32703, 67.32288, PANEL),
    ("TotalPanel", 302.95295, 157.08672, 398.32703, 39.27167, PANEL),
    ("SignatureArea", 302.95295, 504.92159, 398.32703, 84.15359, (1, 1, 1)),
]
RULES = [(16.83072, 11.22048, 684.44926), (16.83072, 72.93312, 684.44926)]
# left, top, width, height, size in pixels, bold, colour, horizontal, vertical, fill and frame, lines
TEXTS = [
    (16.83072, 16.83072, 224.40959, 50.49216, 27, False, 0, "l", "b", None, ["Quittung"]),
    (476.87039, 16.83072, 224.40959, 50.49216, 17, False, 0, "r", "b", None, ["Nr. 12"]),
    (308.56319, 89.76384, 168.3072, 56.1024, 17, False, 0, "r", "c", None, ["Netto :", "+ 19 % MwSt. :"]),
    (482.48063, 89.76384, 213.18911, 56.1024, 17, False, 0, "r", "c", None, ["--100,00--€", "--19,00--€"]),
    (308.56319, 162.69696, 168.3072, 28.05119, 17, True, 0, "r", "c", None, ["Gesamt :"]),
    (482.48063, 162.69696, 213.18911, 28.05119, 17, True, 0, "r", "c", None, ["--119,00--€"]),
    (22.44096, 190.74815, 269.29151, 25.24608, 14, False, 0, "l", "b", None, ["Euro in Worten (Cent wie oben):"]),
    (16.83072, 215.99423, 684.44926, 78.54336, 17, False, 0, "c", "c", PANEL, ["--EINHUNDERTNEUNZEHN--"]),
    (16.83072, 302.95295, 684.44926, 56.1024, 17, False, 0, "l", "c", PANEL, ["Von: Muster GmbH"]),
    (16.83072, 367.47071, 684.44926, 123.42528, 17, False, 0, "l", "t", PANEL, ["Für: Miete", "Juli"]),
    (532.97279, 566.63422, 162.69695, 19.63584, 10, False, 1, "r", "b", None, ["Unterschrift"]),
    (302.95295, 594.68542, 398.32703, 28.0512, 14, False, 0, "l", "t", None, ["Berlin, 03.07.2020"]),
]
COPY_MARK = (246.85055, 16.83072, 224.4096, 50.49216, 17, False, 1, "c", "b", None, ["(Kopie)"])


def page_point(left, top):
    return MARGIN + left * PX, A4[1] - MARGIN - top * PX


def rectangle(c, left, top, width, height, fill, frame=(0, 0, 0)):
    x, y = page_point(left, top + height)
    c.setFillColorRGB(*fill)
    c.setStrokeColorRGB(*frame)
    c.setLineWidth(PX)
    c.rect(x, y, width * PX, height * PX, stroke=1, fill=1)


def text(c, left, top, width, height, size, bold, grey, halign, valign, panel, lines):
    if panel:
        rectangle(c, left, top, width, height, panel)
    font = "LiberationSans-Bold" if bold else "LiberationSans"
    points = size * PX
    gap = 2
    block = len(lines) * LINE * size
    if valign == "t":
        first = top + 1
    elif valign == "b":
        first = top + height - 1 - block
    else:
        first = top + (height - block) / 2
    c.setFillColorRGB(*(GREY if grey else (0, 0, 0)))
    c.setFont(font, points)
    for i, line in enumerate(lines):
        x, y = page_point(left + gap, first + i * LINE * size + ASCENT * size)
        if halign == "r":
            c.drawRightString(x + (width - 2 * gap) * PX, y, line)
        elif halign == "c":
            c.drawCentredString(x + (width - 2 * gap) * PX / 2, y, line)
        else:
            c.drawString(x, y, line)


def receipt_page(c, copy):
    for _, left, top, width, height, fill in SHAPES:
        rectangle(c, left, top, width, height, fill, (1, 1, 1) if fill == (1, 1, 1) else (0, 0, 0))
    c.setStrokeColorRGB(0, 0, 0)
    for left, top, width in RULES:
        c.line(*page_point(left, top), *page_point(left + width, top))
    for item in TEXTS + ([COPY_MARK] if copy else []):
        text(c, *item)
    c.showPage()


def main():
    pdfmetrics.registerFont(TTFont("LiberationSans", FONTS + "LiberationSans-Regular.ttf"))
    pdfmetrics.registerFont(TTFont("LiberationSans-Bold", FONTS + "LiberationSans-Bold.ttf"))
    c = canvas.Canvas(sys.argv[1], pagesize=A4, pageCompression=1, initialFontName="LiberationSans")
    c.setAuthor("Varnel Quittungsprogramm")
    c.setTitle("Quittung")
    receipt_page(c, False)
    receipt_page(c, True)
    c.save()


if __name__ == "__main__":
    main()
