#pragma once

#include "report/document/colors.h"
#include "report/document/frame.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace quittung::report {

class CheckBoxObject;
class Font;
class LineObjectBase;
class PdfDocumentWriter;
class PdfFont;
class PreparedPages;
class ReportObject;
class ReportPage;
class ShapeObject;
class TextObjectBase;
class View;

// What the page content takes from the PDF export's options.
struct PdfContentOptions {
    bool printOptimized = false;
    bool background = false;
    bool htmlTags = true;
    bool exportNotPrintable = false;
};

// Where a page's report pixels (96 per inch, down from the paper's top-left corner) land in PDF
// points (72 per inch, up from the bottom-left corner).
struct PdfPageGeometry {
    // The page's size in points.
    double width = 0;
    double height = 0;
    // The small page-origin terms: 0.05 points per millimetre of the left and top margins.
    double marginLeft = 0;
    double marginTop = 0;
    // Where the page walk's positions count from (pageOrigin), in pixels.
    double originX = 0;
    double originY = 0;

    static PdfPageGeometry of(const ReportPage& page, int index);
    // A position of the page walk in points.
    double x(double pixels) const { return (pixels + originX) * 0.75 + marginLeft; }
    double y(double pixels) const { return height - marginTop - (pixels + originY) * 0.75; }
};

// Whether a page's content draws the view as a picture rather than writing it as text or paths:
// every view but shapes, lines, check boxes and texts on a plain background whose tags take no
// effect (showsTags says whether they do). Pictures take Qt's fonts and painting.
bool drawnAsPicture(const View& view, bool showsTags);

// The content stream of one page: the objects of a prepared page as PDF operators, appended one
// object at a time. Text objects become text in the document's fonts, placed from the same layout
// the raster painter draws; lines, shapes, check boxes and frames become paths; every other view is
// drawn into a bitmap and embedded as a JPEG image (written into the document at once); views with
// a link get a link annotation.
class PdfPageContent {
public:
    PdfPageContent(PdfDocumentWriter& document, const PdfContentOptions& options, const ReportPage& page,
        int index, const PreparedPages* preparedPages);

    // The page's colour over the printable area, when it has one; called before the first object.
    void writePageColor(const ReportPage& page);
    // Writes one object of the page (views only; the rest are passed over).
    void writeObject(const ReportObject& object);

    const PdfPageGeometry& geometry() const { return m_geometry; }
    // The operators written so far, every line ending with CR LF.
    const QByteArray& content() const { return m_content; }

    // The colour as three components ("0 0 0", "1 1 1", "1.00 0.98 0.94").
    QByteArray colorText(Color color);
    // The dash line of a frame style and width, "[6.00 ] 0 d" and the like, without line break.
    static QByteArray dashLine(FrameStyle style, double width);

private:
    // An object's box in points: its edges and its size.
    struct Box {
        double left = 0;
        double top = 0;
        double right = 0;
        double bottom = 0;
        double width = 0;
        double height = 0;
    };
    Box boxOf(const View& view) const;
    // The dash, colour and width of a shape's or line's outline.
    void writeOutlineStart(const View& view);
    void writeShape(const ShapeObject& shape);
    void writeLine(const LineObjectBase& line);
    void writeCheckBox(const CheckBoxObject& box);
    void writeText(const TextObjectBase& memo);
    void writeImage(const View& view);
    void writeFrame(const Frame& frame, const Box& box);
    void addLink(const View& view);
    // The document font for a report font, added on first use; its index names it (/F0, /F1, ...).
    int fontIndex(const Font& font);
    // A line's glyphs as "<...> Tj", or as "[<...> n <...>] TJ" where the layout moves a glyph away
    // from where the font's own width would put it (kerning, the layout's rounding). advances: the
    // layout's advance of every UTF-16 unit in points; empty to keep the font's widths.
    static QByteArray glyphRun(PdfFont& font, const QString& text, bool rtl, const std::vector<double>& advances,
        double size, double charSpacing);

    PdfDocumentWriter& m_document;
    PdfContentOptions m_options;
    PdfPageGeometry m_geometry;
    const PreparedPages* m_preparedPages = nullptr;
    QByteArray m_content;
    // The last colour converted and its text.
    Color m_lastColor = 0;
    QByteArray m_lastColorText;
    bool m_hasLastColor = false;
};

} // namespace quittung::report
