#!/usr/bin/env python3
"""Derive the reference template files of the report document tests.

Writes, next to this script:

  builtin_design.xml  the bytes the template writer must produce when it saves
                      the built-in receipt design (A4 page, receipt and copy,
                      cut lines and edge marks).
  part_example.xml    the small documented example template (one page with
                      the text object Memo3), for a read-and-write-back test.

Everything below is taken from the written property tables of the template
format: the serialization order of every class, the declared defaults, the
storing rules per property type, and the object tables of the built-in design.
The program itself is neither run nor read; the files are an independent check
of both the design built by code and the template writer.

Run:  python3 make_builtin_design.py        (rewrites both files)
      python3 make_builtin_design.py --check (compares, exit code 1 on a diff)
"""

import os
import sys
from decimal import Decimal

CRLF = "\r\n"
DECLARATION = '<?xml version="1.0" encoding="utf-8" standalone="no"?>'

# ---------------------------------------------------------------------------
# Value text of each property type
# ---------------------------------------------------------------------------


def xml_escape(text):
    """Attribute escaping of the writer: LF, CR, ", <, > as character
    references, "&quot;" as "&#34;", every other "&" as "&#38;"; all other
    characters unchanged (non-ASCII goes out as UTF-8)."""
    out = []
    i = 0
    while i < len(text):
        c = text[i]
        if text.startswith("&quot;", i):
            out.append("&#34;")
            i += len("&quot;")
            continue
        if c == "\n":
            out.append("&#10;")
        elif c == "\r":
            out.append("&#13;")
        elif c == '"':
            out.append("&#34;")
        elif c == "<":
            out.append("&#60;")
        elif c == ">":
            out.append("&#62;")
        elif c == "&":
            out.append("&#38;")
        else:
            out.append(c)
        i += 1
    return "".join(out)


def float_text(value):
    """General decimal form, at most 15 significant digits, no trailing
    zeros, "." as decimal separator, no exponent for the values used here."""
    text = "%.15g" % float(value)
    assert "e" not in text and "E" not in text, text
    if text == "-0":
        text = "0"
    return text


def bool_text(value):
    return "True" if value else "False"


def lines_text(lines):
    """A list of lines as one text: joined by CR LF, no final break."""
    return CRLF.join(lines)


# ---------------------------------------------------------------------------
# Property tables (serialization order, type, declared default)
# ---------------------------------------------------------------------------
#
# Kinds:
#   int, bool, enum, set  written only when different from the default;
#                         default ALWAYS = declared without default, always
#                         written
#   float                 always written
#   float_ne              float with its own storing rule: written only when
#                         different from the given value (GapX 2, GapY 1,
#                         LineSpacing 2, CharSpacing 0, ParagraphGap 0,
#                         Frame.ShadowWidth 4, Frame.Width 1)
#   str                   written only when not empty
#   str_ne                string with its own storing rule: written only when
#                         different from the given value (ExpressionDelimiters)
#   strlist               always written, as "<name>.Text"
#   ref                   written only when set
#   picture               nothing in these documents (no picture is set)
#   nested                own attributes with the prefix "<name>."
#   font                  a font record; written only when ParentFont is False
#   frame                 a TfrxFrame
#   highlight             written only when its Condition, trimmed, is not empty
#   memo                  the text; written last as "Text", never in place

ALWAYS = object()

FONT = [
    ("Charset", "int", ALWAYS),
    ("Color", "int", ALWAYS),
    ("Height", "int", ALWAYS),
    ("Name", "str", ""),
    ("Orientation", "int", 0),
    ("Pitch", "enum", "fpDefault"),
    ("Style", "set", ALWAYS),
    ("Quality", "enum", "fqDefault"),
]

# TfrxFrame fields before the four side lines.
FRAME = [
    ("Color", "int", 0),
    ("DropShadow", "bool", False),
    ("ShadowColor", "int", 0),
    ("ShadowWidth", "float_ne", 4),
    ("Style", "enum", "fsSolid"),
    ("Typ", "set", 0),
    ("Width", "float_ne", 1),
]
FRAME_LINES = ["LeftLine", "TopLine", "RightLine", "BottomLine"]
FRAME_LINE_FIELDS = ["Color", "Style", "Width"]

DISPLAY_FORMAT = [
    ("DecimalSeparator", "str", ""),
    ("ThousandSeparator", "str", ""),
    ("FormatStr", "str", ""),
    ("Kind", "enum", "fkText"),
]

# Common properties of TfrxView and its descendants ("Name" is written
# before them by the writer).
VIEW_COMMON = [
    ("Tag", "int", 0),
    ("Description", "str", ""),
    ("Align", "enum", "baNone"),
    ("Printable", "bool", True),
    ("ShiftMode", "enum", "smAlways"),
    ("Left", "float", 0),
    ("Top", "float", 0),
    ("Width", "float", 0),
    ("Height", "float", 0),
    ("GroupIndex", "int", 0),
    ("Restrictions", "set", 0),
    ("Visible", "bool", True),
    ("OnAfterData", "str", ""),
    ("OnAfterPrint", "str", ""),
    ("OnBeforePrint", "str", ""),
    ("OnPreviewClick", "str", ""),
    ("OnPreviewDblClick", "str", ""),
    ("Hint", "str", ""),
    ("ShowHint", "bool", ALWAYS),
]

MEMO_VIEW = VIEW_COMMON + [
    ("StretchMode", "enum", "smDontStretch"),
    ("FirstParaBreak", "bool", False),
    ("LastParaBreak", "bool", False),
    ("Cursor", "int", 0),
    ("TagStr", "str", ""),
    ("URL", "str", ""),
    ("AutoWidth", "bool", False),
    ("AllowExpressions", "bool", True),
    ("AllowHTMLTags", "bool", False),
    ("BrushStyle", "enum", "bsSolid"),
    ("CharSpacing", "float_ne", 0),
    ("Clipped", "bool", True),
    ("Color", "int", 536870911),  # clNone
    ("DataField", "str", ""),
    ("DataSet", "ref", None),
    ("DataSetName", "str", ""),
    ("DisplayFormat", "nested", DISPLAY_FORMAT),
    ("ExpressionDelimiters", "str_ne", "[,]"),
    ("FlowTo", "ref", None),
    ("Font", "font", None),
    ("Frame", "frame", None),
    ("GapX", "float_ne", 2),
    ("GapY", "float_ne", 1),
    ("HAlign", "enum", "haLeft"),
    ("HideZeros", "bool", False),
    ("Highlight", "highlight", None),
    ("LineSpacing", "float_ne", 2),
    ("Memo", "memo", None),
    ("ParagraphGap", "float_ne", 0),
    ("ParentFont", "bool", True),
    ("Rotation", "int", 0),
    ("RTLReading", "bool", False),
    ("Style", "str", ""),
    ("SuppressRepeated", "bool", False),
    ("Underlines", "bool", False),
    ("UseDefaultCharset", "bool", False),
    ("WordBreak", "bool", False),
    ("WordWrap", "bool", True),
    ("Wysiwyg", "bool", True),
    ("VAlign", "enum", "vaTop"),
]

SHAPE_VIEW = VIEW_COMMON + [
    ("BrushStyle", "enum", "bsSolid"),
    ("Color", "int", 536870911),  # clNone
    ("Cursor", "int", 0),
    ("Curve", "int", 0),
    ("Frame", "frame", None),
    ("Shape", "enum", "skRectangle"),
    ("TagStr", "str", ""),
    ("URL", "str", ""),
]

LINE_VIEW = VIEW_COMMON + [
    ("StretchMode", "enum", "smDontStretch"),
    ("TagStr", "str", ""),
    ("ArrowEnd", "bool", False),
    ("ArrowLength", "int", 20),
    ("ArrowSolid", "bool", False),
    ("ArrowStart", "bool", False),
    ("ArrowWidth", "int", 5),
    ("Frame", "frame", None),
    ("Diagonal", "bool", False),
]

PAGE_COMMON = [
    ("Tag", "int", 0),
    ("Font", "font", None),  # only when the page's font was changed
    ("Visible", "bool", True),
]

DATA_PAGE = PAGE_COMMON + [
    ("Height", "float", 1000),
    ("Left", "float", 0),
    ("Top", "float", 0),
    ("Width", "float", 1000),
]

REPORT_PAGE = PAGE_COMMON + [
    ("Orientation", "enum", "poPortrait"),
    ("PaperWidth", "float", 210),
    ("PaperHeight", "float", 297),
    ("PaperSize", "int", ALWAYS),
    ("LeftMargin", "float", 0),
    ("RightMargin", "float", 0),
    ("TopMargin", "float", 0),
    ("BottomMargin", "float", 0),
    ("MirrorMargins", "bool", False),
    ("Columns", "int", 0),
    ("ColumnWidth", "float", 0),
    ("ColumnPositions", "strlist", []),
    ("Bin", "int", 7),
    ("BinOtherPages", "int", 7),
    ("BackPicture", "picture", None),
    ("BackPictureVisible", "bool", True),
    ("BackPicturePrintable", "bool", True),
    ("PageCount", "int", 1),
    ("Color", "int", 536870911),  # clNone
    ("DataSet", "ref", None),
    ("DataSetName", "str", ""),
    ("Duplex", "enum", "dmNone"),
    ("Frame", "frame", None),
    ("EndlessHeight", "bool", False),
    ("EndlessWidth", "bool", False),
    ("LargeDesignHeight", "bool", False),
    ("OutlineText", "str", ""),
    ("PrintIfEmpty", "bool", True),
    ("PrintOnPreviousPage", "bool", False),
    ("ResetPageNumbers", "bool", False),
    ("TitleBeforeHeader", "bool", True),
    ("HGuides", "strlist", []),
    ("VGuides", "strlist", []),
    ("OnAfterPrint", "str", ""),
    ("OnBeforePrint", "str", ""),
    ("OnManualBuild", "str", ""),
]

ENGINE_OPTIONS = [
    ("ConvertNulls", "bool", True),
    ("DoublePass", "bool", False),
    ("MaxMemSize", "int", 10),
    ("PrintIfEmpty", "bool", True),
    ("SilentMode", "bool", False),
    ("NewSilentMode", "enum", "simMessageBoxes"),
    ("TempDir", "str", ""),
    ("UseFileCache", "bool", False),
    ("IgnoreDevByZero", "bool", False),
]

PREVIEW_OPTIONS = [
    ("AllowEdit", "bool", True),
    ("Buttons", "set", ALWAYS),
    ("DoubleBuffered", "bool", True),
    ("Maximized", "bool", True),
    ("MDIChild", "bool", False),
    ("Modal", "bool", True),
    ("OutlineExpand", "bool", True),
    ("OutlineVisible", "bool", False),
    ("OutlineWidth", "int", 120),
    ("PagesInCache", "int", 50),
    ("ThumbnailVisible", "bool", False),
    ("ShowCaptions", "bool", False),
    ("Zoom", "float", 1),
    ("ZoomMode", "enum", "zmDefault"),
    ("PictureCacheInFile", "bool", False),
]

PRINT_OPTIONS = [
    ("Copies", "int", 1),
    ("Collate", "bool", True),
    ("PageNumbers", "str", ""),
    ("Printer", "str", "Default"),
    ("PrintMode", "enum", "pmDefault"),
    ("PrintOnSheet", "int", ALWAYS),
    ("PrintPages", "enum", "ppAll"),
    ("Reverse", "bool", False),
    ("ShowDialog", "bool", True),
]

REPORT_OPTIONS = [
    ("Author", "str", ""),
    ("Compressed", "bool", False),
    ("ConnectionName", "str", ""),
    ("CreateDate", "float", 0),
    ("Description", "strlist", []),
    ("InitString", "str", ""),
    ("Name", "str", ""),
    ("LastChange", "float", 0),
    ("Password", "str", ""),
    ("Picture", "picture", None),
    ("VersionBuild", "str", ""),
    ("VersionMajor", "str", ""),
    ("VersionMinor", "str", ""),
    ("VersionRelease", "str", ""),
]

REPORT = [
    ("Tag", "int", 0),
    ("Version", "str", "4.13.2"),
    ("ParentReport", "str", ""),
    ("DataSet", "ref", None),
    ("DataSetName", "str", ""),
    ("DotMatrixReport", "bool", ALWAYS),
    ("EngineOptions", "nested", ENGINE_OPTIONS),
    ("IniFile", "str", "\\Software\\Tarvik"),
    ("OldStyleProgress", "bool", False),
    ("Preview", "ref", None),
    ("PreviewOptions", "nested", PREVIEW_OPTIONS),
    ("PrintOptions", "nested", PRINT_OPTIONS),
    ("ReportOptions", "nested", REPORT_OPTIONS),
    ("ScriptLanguage", "str", "PascalScript"),
    ("ScriptText", "strlist", ["begin", "", "end."]),
    ("ShowProgress", "bool", True),
    ("StoreInDFM", "bool", True),
    ("OnRunDialogs", "str", ""),
    ("OnStartReport", "str", ""),
    ("OnStopReport", "str", ""),
    ("OnReportPrint", "str", ""),
]

FRAME_DEFAULT = {"Color": 0, "DropShadow": False, "ShadowColor": 0,
                 "ShadowWidth": 4, "Style": "fsSolid", "Typ": 0, "Width": 1}


def defaults_of(table):
    """Values of a fresh object of a property table (defaults)."""
    values = {}
    for name, kind, default in table:
        if kind == "nested":
            values[name] = defaults_of(default)
        elif kind == "frame":
            values[name] = dict(FRAME_DEFAULT)
        elif default is not ALWAYS:
            values[name] = default
    return values


# ---------------------------------------------------------------------------
# Writer: attribute text of one object (ObjToXML)
# ---------------------------------------------------------------------------


def frame_attrs(prefix, frame):
    """A TfrxFrame: its fields by the storing rules, then the side lines,
    each line field only when it differs from the same field of the frame.
    A side line not given explicitly follows its frame (setting the frame's
    Color, Style or Width sets the four lines too)."""
    out = []
    out += table_attrs(prefix, FRAME, frame)
    for line in FRAME_LINES:
        line_values = frame.get(line, {})
        for field in FRAME_LINE_FIELDS:
            value = line_values.get(field, frame.get(field, FRAME_DEFAULT[field]))
            if value != frame.get(field, FRAME_DEFAULT[field]):
                text = float_text(value) if field == "Width" else str(value)
                out.append((prefix + line + "." + field, text))
    return out


def table_attrs(prefix, table, values):
    """(attribute name, value text) pairs of an object, in table order."""
    out = []
    for name, kind, default in table:
        full = prefix + name
        has = name in values
        value = values.get(name)
        if kind == "float":
            out.append((full, float_text(value if has else default)))
        elif kind == "float_ne":
            if has and Decimal(str(value)) != Decimal(str(default)):
                out.append((full, float_text(value)))
        elif kind in ("int", "set"):
            if default is ALWAYS:
                assert has, full
                out.append((full, str(value)))
            elif has and value != default:
                out.append((full, str(value)))
        elif kind == "bool":
            if default is ALWAYS:
                assert has, full
                out.append((full, bool_text(value)))
            elif has and value != default:
                out.append((full, bool_text(value)))
        elif kind == "enum":
            if has and value != default:
                out.append((full, value))
        elif kind == "str":
            text = value if has else default
            if text:
                out.append((full, text))
        elif kind == "str_ne":
            if has and value != default:
                out.append((full, value))
        elif kind == "strlist":
            out.append((full + ".Text", lines_text(value if has else default)))
        elif kind == "ref":
            if has and value:
                out.append((full, value))
        elif kind == "picture":
            assert value is None, full  # no picture is set in these documents
        elif kind == "nested":
            out += table_attrs(full + ".", default, values.get(name, {}))
        elif kind == "font":
            # Text objects: only when ParentFont is False. Pages have no
            # ParentFont: their font only when it was changed (given here).
            has_parent_font = any(n == "ParentFont" for n, _, _ in table)
            if (values.get("ParentFont", True) is False if has_parent_font else has):
                out += table_attrs(full + ".", FONT, value)
        elif kind == "frame":
            out += frame_attrs(full + ".", value if has else dict(FRAME_DEFAULT))
        elif kind == "highlight":
            assert value is None, full  # Condition empty in all objects here
        elif kind == "memo":
            pass  # written last as "Text"
        else:
            raise ValueError(kind)
    return out


def attribute_text(pairs):
    return "".join(' %s="%s"' % (name, xml_escape(text)) for name, text in pairs)


class Element:
    def __init__(self, name, text, children=None):
        self.name = name
        self.text = text  # attribute text, escaped
        self.children = children or []


def object_element(class_name, table, values, children=None):
    name = values["Name"]
    body = {k: v for k, v in values.items() if k != "Name"}
    text = 'Name="%s"' % xml_escape(name) + attribute_text(table_attrs("", table, body))
    if class_name == "TfrxMemoView":
        text += ' Text="%s"' % xml_escape(lines_text(body.get("Memo", [])))
    return Element(class_name, text, children)


def write_document(root):
    """AutoIndent layout: declaration, then each element on a line of its
    own, two blanks per level, "/>" for an empty element, ">" and an end tag
    at the same indentation for an element with children; CR LF after every
    line."""
    lines = [DECLARATION]

    def emit(element, level):
        indent = "  " * level
        head = "<" + element.name
        if element.text:
            head += element.text if element.text.startswith(" ") else " " + element.text
        if element.children:
            lines.append(indent + head + ">")
            for child in element.children:
                emit(child, level + 1)
            lines.append(indent + "</" + element.name + ">")
        else:
            lines.append(indent + head + "/>")

    emit(root, 0)
    return "".join(line + CRLF for line in lines).encode("utf-8")


# ---------------------------------------------------------------------------
# PropData block of the report
# ---------------------------------------------------------------------------


def entry_name(name):
    data = name.encode("utf-8")
    assert len(data) <= 255
    return bytes([len(data)]) + data


def string_value(text):
    """String value of the binary property stream."""
    utf8 = text.encode("utf-8")
    if text.isascii() and len(utf8) < 256:
        return bytes([6, len(utf8)]) + utf8
    if text.isascii():
        return bytes([12]) + len(utf8).to_bytes(4, "little") + utf8
    utf16 = text.encode("utf-16-le")
    if len(utf8) < len(utf16):
        return bytes([20]) + len(utf8).to_bytes(4, "little") + utf8
    return bytes([18]) + (len(utf16) // 2).to_bytes(4, "little") + utf16


def collection(name, items):
    """A collection entry: name, list start (1), per element: item start (1),
    its attribute text as a string value, item end (0); list end (0)."""
    data = entry_name(name) + bytes([1])
    for item_text in items:
        data += bytes([1]) + string_value(item_text) + bytes([0])
    return data + bytes([0])


def variable_item(name, value):
    # Attribute text of a TfrxVariable: Name (string), Value (variant,
    # always written; a Null value as the empty string).
    return ' Name="%s" Value="%s"' % (xml_escape(name), xml_escape(value))


def report_prop_data(variables):
    data = collection("Datasets", [])
    data += collection("Variables", [variable_item(n, v) for n, v in variables])
    data += collection("Style", [])
    return data.hex().upper()


# Check the block layout against the two documented examples.
assert report_prop_data([]) == (
    "0844617461736574730100095661726961626C65730100055374796C650100")
assert collection("Variables", [variable_item(" Netto", "")]).hex().upper() == (
    "095661726961626C657301010617204E616D653D22204E6574746F222056616C75653D22220000")


# ---------------------------------------------------------------------------
# The report root (report-level settings of the built-in design; the
# documented example has the same settings)
# ---------------------------------------------------------------------------

VARIABLE_HEADERS = [" Netto", " Brutto", " SumSteuern", " QID", " QDate",
                    " Von", " Fuer", " Ort", " BetragInWorten"]


def report_element(variables, pages):
    values = defaults_of(REPORT)
    values["Version"] = "4.13.2"
    values["DotMatrixReport"] = False
    values["IniFile"] = "\\Software\\Tarvik"
    values["PreviewOptions"]["Buttons"] = 4095  # pbPrint .. pbExportQuick
    values["PreviewOptions"]["Zoom"] = Decimal("1.0")
    values["PrintOptions"]["Printer"] = "Default"
    values["PrintOptions"]["PrintOnSheet"] = 0
    values["ReportOptions"]["CreateDate"] = Decimal("44014.5821982407")
    values["ReportOptions"]["LastChange"] = Decimal("44018.6557033912")
    values["ReportOptions"]["Description"] = []
    values["ScriptLanguage"] = "PascalScript"
    values["ScriptText"] = ["begin", "", "end."]
    text = attribute_text(table_attrs("", REPORT, values))
    text += ' PropData="%s"' % report_prop_data(variables)
    return Element("TfrxReport", text, pages)


def data_page_element():
    values = {"Name": "Data", "Height": 1000, "Left": 0, "Top": 0, "Width": 1000}
    return object_element("TfrxDataPage", DATA_PAGE, values)


def a4_page_element(objects):
    values = {"Name": "Page1", "Orientation": "poPortrait",
              "PaperWidth": 210, "PaperHeight": 297, "PaperSize": 9,
              "LeftMargin": 10, "RightMargin": 10,
              "TopMargin": 10, "BottomMargin": 10}
    return object_element("TfrxReportPage", REPORT_PAGE, values, objects)


# ---------------------------------------------------------------------------
# Built-in design: object tables
# ---------------------------------------------------------------------------

CL_BLACK = 0
CL_GRAY = 8421504
CL_WHITE = 16777215
CL_CREAM = 15793151
BOX_TINT = 15984349  # 0xF3E6DD

FT_LEFT, FT_TOP, FT_ALL = 1, 4, 15
FS_BOLD = 1

# Receipt 1 geometry, report pixels: Left, Top, Width, Height.
GEOMETRY = {
    "Shape3": ("113.3859", "37.7953", "491.3389", "340.1577"),
    "Shape1": ("359.05535", "90.70872", "230.55133", "41.57483"),
    "Shape2": ("359.05535", "136.06308", "230.55133", "26.45671"),
    "Memo1": ("124.72449", "52.91342", "132.28355", "37.7953"),
    "Memo2": ("211.65368", "60.47248", "60.47248", "18.89765"),
    "Memo3": ("362.83488", "94.48825", "105.82684", "37.7953"),
    "Memo4": ("472.44125", "94.48825", "113.3859", "37.7953"),
    "Memo5": ("362.83488", "139.84261", "105.82684", "18.89765"),
    "Memo6": ("472.44125", "139.84261", "113.3859", "18.89765"),
    "Line1": ("124.72449", "45.35436", "464.88219", "0"),
    "Memo7": ("124.72449", "185.19697", "464.88219", "34.01577"),
    "Memo8": ("147.40167", "170.07885", "166.29932", "18.89765"),
    "Memo9": ("124.72449", "222.99227", "464.88219", "22.67718"),
    "Memo10": ("124.72449", "249.44898", "464.88219", "60.47248"),
    "Memo11": ("340.1577", "359.05535", "249.44898", "18.89765"),
    "Line5": ("124.72449", "83.14966", "464.88219", "0"),
    "Shape7": ("340.1577", "317.48052", "249.44898", "37.7953"),
    "Memo24": ("491.3389", "343.93723", "94.48825", "11.33859"),
}


# The same geometry in millimetres as tabled; every pixel value above is the
# millimetre value times PixelsPerMm (3.77953), which main() verifies.
PIXELS_PER_MM = Decimal("3.77953")
GEOMETRY_MM = {
    "Shape3": ("30", "10", "130", "90"),
    "Shape1": ("95", "24", "61", "11"),
    "Shape2": ("95", "36", "61", "7"),
    "Memo1": ("33", "14", "35", "10"),
    "Memo2": ("56", "16", "16", "5"),
    "Memo3": ("96", "25", "28", "10"),
    "Memo4": ("125", "25", "30", "10"),
    "Memo5": ("96", "37", "28", "5"),
    "Memo6": ("125", "37", "30", "5"),
    "Line1": ("33", "12", "123", "0"),
    "Memo7": ("33", "49", "123", "9"),
    "Memo8": ("39", "45", "44", "5"),
    "Memo9": ("33", "59", "123", "6"),
    "Memo10": ("33", "66", "123", "16"),
    "Memo11": ("90", "95", "66", "5"),
    "Line5": ("33", "22", "123", "0"),
    "Shape7": ("90", "84", "66", "10"),
    "Memo24": ("130", "91", "25", "3"),
    "Memo38": ("131", "127", "25", "5"),
}


def check_geometry_mm():
    pixels = dict(GEOMETRY)
    pixels["Memo38"] = MEMO38[0]
    for name, mm in GEOMETRY_MM.items():
        for px, value in zip(pixels[name], mm):
            assert Decimal(px) == Decimal(value) * PIXELS_PER_MM, (name, px, value)
    assert COPY_SHIFT == 110 * PIXELS_PER_MM
    assert Decimal(DASH_WIDTH) == 5 * PIXELS_PER_MM
    assert Decimal(CUT_LINES[0][0]) == 110 * PIXELS_PER_MM
    assert Decimal(CUT_LINES[1][0]) == 220 * PIXELS_PER_MM
    assert Decimal(CENTRE_MARKS["Line7"][1]) == 55 * PIXELS_PER_MM
    assert Decimal(CENTRE_MARKS["Line3"][1]) == 165 * PIXELS_PER_MM
    assert Decimal(CROSS_ARM) == 2 * PIXELS_PER_MM


def font(height, style=0, color=CL_BLACK):
    return {"Charset": 1, "Color": color, "Height": height, "Name": "Arial",
            "Style": style}


def memo(font_record, lines, halign="haLeft", valign="vaTop",
         color=None, frame_typ=0, word_break=False):
    values = {"Font": font_record, "ParentFont": False, "Memo": lines,
              "ShowHint": False}
    if halign != "haLeft":
        values["HAlign"] = halign
    if valign != "vaTop":
        values["VAlign"] = valign
    if color is not None:
        values["Color"] = color
    frame = dict(FRAME_DEFAULT)
    frame["Typ"] = frame_typ
    values["Frame"] = frame
    if word_break:
        values["WordBreak"] = True
    return ("TfrxMemoView", values)


def shape(fill, outline=CL_BLACK):
    frame = dict(FRAME_DEFAULT)
    frame["Color"] = outline
    return ("TfrxShapeView", {"Color": fill, "Frame": frame, "ShowHint": False})


def line(diagonal=False, typ=0, color=CL_BLACK):
    frame = dict(FRAME_DEFAULT)
    frame["Typ"] = typ
    frame["Color"] = color
    return ("TfrxLineView", {"Diagonal": diagonal, "Frame": frame,
                             "ShowHint": False})


# Receipt 1, appearance and text.
APPEARANCE = {
    "Shape3": shape(BOX_TINT),
    "Shape1": shape(CL_CREAM),
    "Shape2": shape(CL_CREAM),
    "Memo1": memo(font(-21), ["Quittung"]),
    "Memo2": memo(font(-13), ["Nr. [QID]"]),
    "Memo3": memo(font(-13), ["Netto :", "+ [MwSt] % MwSt. :"], halign="haRight"),
    "Memo4": memo(font(-13), ["--[<Netto> #n%2,2f]--\u20ac",
                              "--[<SumSteuern> #n%2,2f]--\u20ac"], halign="haRight"),
    "Memo5": memo(font(-13, FS_BOLD), ["Gesamt :"], halign="haRight"),
    "Memo6": memo(font(-13, FS_BOLD), ["--[<Brutto> #n%2,2f]--\u20ac"], halign="haRight"),
    "Line1": line(diagonal=True),
    "Memo7": memo(font(-13), ["[BetragInWorten]"], halign="haCenter",
                  valign="vaCenter", color=CL_CREAM, frame_typ=FT_ALL,
                  word_break=True),
    "Memo8": memo(font(-11), ["Euro in Worten (Cent wie oben):"]),
    "Memo9": memo(font(-13), ["Von: [Von]"], valign="vaCenter", color=CL_CREAM,
                  frame_typ=FT_ALL),
    "Memo10": memo(font(-13), ["F\u00fcr: [Fuer]"], color=CL_CREAM, frame_typ=FT_ALL),
    "Memo11": memo(font(-11), ["[Ort], [QDate]"]),
    "Line5": line(diagonal=True),
    "Shape7": shape(CL_WHITE, outline=CL_WHITE),
    "Memo24": memo(font(-8, color=CL_GRAY), ["Unterschrift"], halign="haRight"),
}

# Receipt 2: copy name, original name, Top in pixels as tabled.
COPY_SHIFT = Decimal("415.7483")
COPIES = [
    ("Shape6", "Shape3", "453.5436"),
    ("Shape8", "Shape1", "506.45702"),
    ("Shape11", "Shape2", "551.81138"),
    ("Memo12", "Memo1", "468.66172"),
    ("Memo13", "Memo2", "476.22078"),
    ("Memo14", "Memo3", "510.23655"),
    ("Memo15", "Memo4", "510.23655"),
    ("Memo16", "Memo5", "555.59091"),
    ("Memo17", "Memo6", "555.59091"),
    ("Line2", "Line1", "461.10266"),
    ("Memo18", "Memo7", "600.94527"),
    ("Memo19", "Memo8", "585.82715"),
    ("Memo20", "Memo9", "638.74057"),
    ("Memo21", "Memo10", "665.19728"),
    ("Memo22", "Memo11", "774.80365"),
    ("Line4", "Line5", "498.89796"),
    ("Shape12", "Shape7", "733.22882"),
    ("Memo23", "Memo24", "759.68553"),
]

MEMO38 = (("495.11843", "480.00031", "94.48825", "18.89765"),
          memo(font(-13, color=CL_GRAY), ["(Kopie)"], halign="haRight"))

# Cut lines: dash names for k = 0..18, Top in pixels.
DASH_PITCH = Decimal("37.7953")
DASH_WIDTH = "18.89765"
CUT_LINES = [
    ("415.7483", ["Line8", "Line6", "Line9", "Line10", "Line11", "Line12",
                  "Line14", "Line15", "Line16", "Line17", "Line18", "Line19",
                  "Line20", "Line21", "Line22", "Line23", "Line24", "Line25",
                  "Line26"]),
    ("831.4966", ["Line13", "Line27", "Line28", "Line29", "Line30", "Line31",
                  "Line32", "Line33", "Line34", "Line35", "Line36", "Line37",
                  "Line38", "Line39", "Line40", "Line41", "Line42", "Line43",
                  "Line44"]),
]

# Edge marks: centre marks and crosses (Left, Top, Width, Height, Frame.Typ).
CENTRE_MARKS = {
    "Line7": ("0", "207.87415", "18.89765", "0", FT_TOP),
    "Line3": ("0", "623.62245", "18.89765", "0", FT_TOP),
}
CROSS_ARM = "7.55906"
CROSSES = {
    "Line45": ("9.77953", "55.0", "0", CROSS_ARM, FT_LEFT),
    "Line46": ("6.0", "58.77953", CROSS_ARM, "0", FT_TOP),
    "Line47": ("9.77953", "357.5", "0", CROSS_ARM, FT_LEFT),
    "Line48": ("6.0", "361.27953", CROSS_ARM, "0", FT_TOP),
    "Line49": ("9.77953", "470.5", "0", CROSS_ARM, FT_LEFT),
    "Line50": ("6.0", "474.27953", CROSS_ARM, "0", FT_TOP),
    "Line51": ("9.77953", "772.75", "0", CROSS_ARM, FT_LEFT),
    "Line52": ("6.0", "776.52953", CROSS_ARM, "0", FT_TOP),
}

# File and drawing order of the 85 objects on Page1.
ORDER = """
Shape3 Shape1 Shape2 Memo1 Memo2 Memo3 Memo4 Memo5 Memo6 Line1 Memo7 Memo8
Memo9 Memo10 Memo11 Line5 Shape7 Memo24 Line7 Line8 Line3 Shape6 Shape8 Shape11
Memo12 Memo13 Memo14 Memo15 Memo16 Memo17 Line2 Memo18 Memo19 Memo20 Memo21
Memo22 Line4 Shape12 Memo23 Memo38 Line6 Line9 Line10 Line11 Line12 Line14
Line15 Line16 Line17 Line18 Line19 Line20 Line21 Line22 Line23 Line24 Line25
Line26 Line13 Line27 Line28 Line29 Line30 Line31 Line32 Line33 Line34 Line35
Line36 Line37 Line38 Line39 Line40 Line41 Line42 Line43 Line44 Line45 Line46
Line47 Line48 Line49 Line50 Line51 Line52
""".split()
assert len(ORDER) == 85 and len(set(ORDER)) == 85

TABLES = {"TfrxMemoView": MEMO_VIEW, "TfrxShapeView": SHAPE_VIEW,
          "TfrxLineView": LINE_VIEW}


def with_geometry(kind_values, geometry):
    class_name, values = kind_values
    values = dict(values)
    values["Left"], values["Top"], values["Width"], values["Height"] = (
        Decimal(g) for g in geometry)
    return class_name, values


def design_objects():
    objects = {}
    for name, geometry in GEOMETRY.items():
        objects[name] = with_geometry(APPEARANCE[name], geometry)
    for name, original, top in COPIES:
        class_name, values = objects[original]
        assert Decimal(top) == values["Top"] + COPY_SHIFT, name
        values = dict(values)
        values["Top"] = Decimal(top)
        objects[name] = (class_name, values)
    objects["Memo38"] = with_geometry(MEMO38[1], MEMO38[0])
    for top, names in CUT_LINES:
        for k, name in enumerate(names):
            left = k * DASH_PITCH
            objects[name] = with_geometry(line(typ=FT_TOP, color=CL_GRAY),
                                          (str(left), top, DASH_WIDTH, "0"))
    for table in (CENTRE_MARKS, CROSSES):
        for name, (left, top, width, height, typ) in table.items():
            objects[name] = with_geometry(line(typ=typ), (left, top, width, height))
    assert sorted(objects) == sorted(ORDER)
    elements = []
    for name in ORDER:
        class_name, values = objects[name]
        values = dict(values)
        values["Name"] = name
        elements.append(object_element(class_name, TABLES[class_name], values))
    return elements


def builtin_design():
    page = a4_page_element(design_objects())
    variables = [(header, "") for header in VARIABLE_HEADERS]
    return write_document(report_element(variables, [data_page_element(), page]))


# ---------------------------------------------------------------------------
# The documented example, exactly as its table gives it
# ---------------------------------------------------------------------------

EXAMPLE_ROWS = [
    (0, "TfrxReport",
     'Version="4.13.2" DotMatrixReport="False" IniFile="\\Software\\Tarvik" '
     'PreviewOptions.Buttons="4095" PreviewOptions.Zoom="1" '
     'PrintOptions.Printer="Default" PrintOptions.PrintOnSheet="0" '
     'ReportOptions.CreateDate="44014.5821982407" '
     'ReportOptions.Description.Text="" '
     'ReportOptions.LastChange="44018.6557033912" '
     'ScriptLanguage="PascalScript" '
     'ScriptText.Text="begin&#13;&#10;&#13;&#10;end." '
     'PropData="0844617461736574730100095661726961626C65730100055374796C650100"',
     "open"),
    (1, "TfrxDataPage",
     'Name="Data" Height="1000" Left="0" Top="0" Width="1000"', "empty"),
    (1, "TfrxReportPage",
     'Name="Page1" PaperWidth="210" PaperHeight="297" PaperSize="9" '
     'LeftMargin="10" RightMargin="10" TopMargin="10" BottomMargin="10" '
     'ColumnWidth="0" ColumnPositions.Text="" HGuides.Text="" VGuides.Text=""',
     "open"),
    (2, "TfrxMemoView",
     'Name="Memo3" Left="362.83488" Top="94.48825" Width="105.82684" '
     'Height="37.7953" ShowHint="False" Font.Charset="1" Font.Color="0" '
     'Font.Height="-13" Font.Name="Arial" Font.Style="0" HAlign="haRight" '
     'ParentFont="False" Text="Netto :&#13;&#10;+ [MwSt] % MwSt. :"',
     "empty"),
]


def part_example_literal():
    lines = [DECLARATION]
    open_stack = []
    for level, name, text, form in EXAMPLE_ROWS:
        while open_stack and open_stack[-1][0] >= level:
            closed_level, closed_name = open_stack.pop()
            lines.append("  " * closed_level + "</" + closed_name + ">")
        if form == "open":
            lines.append("  " * level + "<" + name + " " + text + ">")
            open_stack.append((level, name))
        else:
            lines.append("  " * level + "<" + name + " " + text + "/>")
    while open_stack:
        closed_level, closed_name = open_stack.pop()
        lines.append("  " * closed_level + "</" + closed_name + ">")
    return "".join(line + CRLF for line in lines).encode("utf-8")


def part_example_serialized():
    """The same example, produced by the table-driven writer above; it must
    equal the literal rows, which checks the writer's tables and rules."""
    class_name, values = with_geometry(
        memo(font(-13), ["Netto :", "+ [MwSt] % MwSt. :"], halign="haRight"),
        GEOMETRY["Memo3"])
    values["Name"] = "Memo3"
    memo3 = object_element(class_name, MEMO_VIEW, values)
    page = a4_page_element([memo3])
    return write_document(report_element([], [data_page_element(), page]))


# ---------------------------------------------------------------------------


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    check_geometry_mm()
    example = part_example_literal()
    assert part_example_serialized() == example, "writer does not reproduce the example"
    outputs = {
        "builtin_design.xml": builtin_design(),
        "part_example.xml": example,
    }
    check = "--check" in sys.argv[1:]
    status = 0
    for file_name, data in outputs.items():
        path = os.path.join(here, file_name)
        if check:
            with open(path, "rb") as handle:
                if handle.read() != data:
                    print("differs: " + path)
                    status = 1
        else:
            with open(path, "wb") as handle:
                handle.write(data)
            print("wrote %s (%d bytes)" % (path, len(data)))
    return status


if __name__ == "__main__":
    sys.exit(main())
