#include "report/export/pdf/pdf_page_content.h"

#include "report/document/class_registry.h"
#include "report/document/line_object.h"
#include "report/document/other_objects.h"
#include "report/document/page.h"
#include "report/document/shape_object.h"
#include "report/document/text_object.h"
#include "report/document/units.h"
#include "report/engine/pages/page_walk.h"
#include "report/engine/pages/prepared_pages.h"
#include "report/engine/text/text_layout.h"
#include "report/engine/pages/view_drawing.h"
#include "report/export/image/jpeg_encoder.h"
#include "report/export/pdf/pdf_document.h"
#include "report/export/pdf/true_type.h"
#include "runtime/exception.h"
#include "runtime/file_numbers.h"
#include "runtime/rounding.h"

#include <QCryptographicHash>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>

namespace quittung::report {

namespace {

constexpr double kPointsPerPixel = 0.75;
// Layout measures at 600 pixels per inch; design pixels are 96 per inch.
constexpr double kMeasuringPerDesign = TextLayout::MeasuringPixelsPerInch / TextLayout::DesignPixelsPerInch;
// Glyph positions inside a line are taken from the layout placed at this resolution: a hundredth of
// a point, far finer than any reader draws.
constexpr int kPlacementDpi = 7200;
// Glyphs are moved only where they would stand more than this far (thousandths of an em) from
// where the layout puts them: a line the layout merely rounds stays one plain string.
constexpr qint64 kUnseenShift = 3;

QByteArray number(double value)
{
    return pdfNumber(value);
}

// One content line: the operands separated by spaces, then the operator.
class ContentLines {
public:
    explicit ContentLines(QByteArray& out) : m_out(out) {}

    void operator()(std::initializer_list<double> operands, const char* op)
    {
        // The line is put together first: a page has thousands of them.
        constexpr std::size_t kOperands = 8;
        constexpr std::size_t kOperator = 13;
        std::array<char, kOperands * (PdfNumberMaxSize + 1) + kOperator + 2> line;
        const std::size_t opLength = std::strlen(op);
        if (operands.size() > kOperands || opLength > kOperator) {
            for (const double operand : operands)
                appendPdfNumber(m_out, operand).append(' ');
            m_out.append(op).append("\r\n", 2);
            return;
        }
        char* end = line.data();
        for (const double operand : operands) {
            end = writePdfNumber(end, operand);
            *end++ = ' ';
        }
        end = std::copy_n(op, opLength, end);
        *end++ = '\r';
        *end++ = '\n';
        m_out.append(line.data(), end - line.data());
    }
    void text(QByteArrayView line)
    {
        m_out.append(line).append("\r\n", 2);
    }

private:
    QByteArray& m_out;
};

// The five East Asian faces whose bold and italic are drawn by the writer, not taken from a font.
bool simulatesStyles(const QString& faceName)
{
    const EastAsianFace* face = findEastAsianFace(faceName);
    return face && face->unstyledPdfName;
}

// A colour component in the page colour lines: "0", "1", or hundredths cut down from 256 steps.
QByteArray pageComponent(int c)
{
    if (c <= 0)
        return "0";
    if (c >= 255)
        return "1";
    return "0." + QByteArray::number(c * 100 / 256).rightJustified(2, '0');
}

bool isPageBackground(const View& view)
{
    return view.name() == QLatin1String("_pagebackground");
}

// Whether the kept "Checked" attribute of a check box says it is ticked (it is unless it says no).
bool isChecked(const CheckBoxObject& box)
{
    for (const ReportObject::KeptAttribute& attribute : box.keptAttributes()) {
        if (attribute.name.compare(QLatin1String("Checked"), Qt::CaseInsensitive) == 0)
            return attribute.text.compare(QLatin1String("False"), Qt::CaseInsensitive) != 0;
    }
    return true;
}

// Tags take effect when the object and the filter allow them and the text has a "<".
bool usesTags(const TextObjectBase& memo, bool filterAllowsTags)
{
    if (!memo.allowHtmlTags() || !filterAllowsTags)
        return false;
    for (const QString& line : memo.lines()) {
        if (line.contains(u'<'))
            return true;
    }
    return false;
}

} // namespace

PdfPageGeometry PdfPageGeometry::of(const ReportPage& page, int index)
{
    PdfPageGeometry geometry;
    const QPointF origin = pageOrigin(page, index);
    geometry.originX = origin.x();
    geometry.originY = origin.y();
    geometry.width = page.width() * kPointsPerPixel;
    geometry.height = page.height() * kPointsPerPixel;
    geometry.marginLeft = page.leftMargin() * 0.05;
    geometry.marginTop = page.topMargin() * 0.05;
    return geometry;
}

PdfPageContent::PdfPageContent(PdfDocumentWriter& document, const PdfContentOptions& options,
    const ReportPage& page, int index, const PreparedPages* preparedPages)
    : m_document(document), m_options(options), m_geometry(PdfPageGeometry::of(page, index)), m_preparedPages(preparedPages)
{
    // A receipt page's content takes a few kilobytes.
    m_content.reserve(8 * 1024);
}

QByteArray PdfPageContent::colorText(Color color)
{
    if (m_hasLastColor && color == m_lastColor)
        return m_lastColorText;
    QByteArray text;
    if (color == colors::Black) {
        text = "0 0 0";
    } else if (color == colors::White) {
        text = "1 1 1";
    } else {
        // clNone has no colour of its own and is written as white.
        const RgbColor rgb = colorToRgb(color).value_or(RgbColor{255, 255, 255});
        text = number(rgb.red / 255.0) + ' ' + number(rgb.green / 255.0) + ' ' + number(rgb.blue / 255.0);
    }
    m_lastColor = color;
    m_lastColorText = text;
    m_hasLastColor = true;
    return text;
}

QByteArray PdfPageContent::dashLine(FrameStyle style, double width)
{
    const QByteArray a = number(width * 6) + ' ';
    const QByteArray d = number(width * 2) + ' ';
    QByteArray sequence;
    switch (style) {
    case FrameStyle::Dash: sequence = a; break;
    case FrameStyle::Dot: sequence = d + a; break;
    case FrameStyle::DashDot: sequence = a + a + d + a; break;
    case FrameStyle::DashDotDot: sequence = a + a + d + a + d + a; break;
    case FrameStyle::Solid:
    case FrameStyle::Double:
    case FrameStyle::AltDot:
    case FrameStyle::Square: break;
    }
    return '[' + sequence + "] 0 d";
}

void PdfPageContent::writePageColor(const ReportPage& page)
{
    if (page.color() == colors::None)
        return;
    const RgbColor rgb = colorToRgb(page.color()).value_or(RgbColor{255, 255, 255});
    const QByteArray color = pageComponent(rgb.red) + ' ' + pageComponent(rgb.green) + ' ' + pageComponent(rgb.blue);
    constexpr double k = 72 / 25.4;
    const double x1 = page.leftMargin() * k;
    const double x2 = m_geometry.width - page.rightMargin() * k;
    const double y1 = page.bottomMargin() * k;
    const double y2 = m_geometry.height - page.topMargin() * k;
    ContentLines line(m_content);
    line({0}, "w");
    line.text(color + " RG");
    line.text(color + " rg");
    line({x1, y1}, "m");
    line({x2, y1}, "l");
    line({x2, y2}, "l");
    line({x1, y2}, "l");
    line.text("B");
}

bool drawnAsPicture(const View& view, bool showsTags)
{
    if (const auto* memo = dynamic_cast<const TextObjectBase*>(&view))
        return showsTags || !(memo->brushStyle() == BrushStyle::Solid || memo->brushStyle() == BrushStyle::Clear);
    return !dynamic_cast<const ShapeObject*>(&view) && !dynamic_cast<const LineObjectBase*>(&view)
        && !dynamic_cast<const CheckBoxObject*>(&view);
}

void PdfPageContent::writeObject(const ReportObject& object)
{
    const auto* view = dynamic_cast<const View*>(&object);
    if (!view || !(view->printable() || m_options.exportNotPrintable))
        return;
    if (!view->url().isEmpty())
        addLink(*view);
    const auto* memo = dynamic_cast<const TextObjectBase*>(view);
    if (memo && !drawnAsPicture(*view, usesTags(*memo, m_options.htmlTags))) {
        writeText(*memo);
    } else if (const auto* shape = dynamic_cast<const ShapeObject*>(view)) {
        writeShape(*shape);
    } else if (const auto* lineObject = dynamic_cast<const LineObjectBase*>(view)) {
        writeLine(*lineObject);
    } else if (const auto* box = dynamic_cast<const CheckBoxObject*>(view)) {
        writeCheckBox(*box);
    } else if (view->width() != 0 && view->height() != 0 && (m_options.background || !isPageBackground(*view))) {
        writeImage(*view);
    }
}

PdfPageContent::Box PdfPageContent::boxOf(const View& view) const
{
    Box box;
    box.left = m_geometry.x(view.absLeft());
    box.top = m_geometry.y(view.absTop());
    box.right = m_geometry.x(view.absLeft() + view.width());
    box.bottom = m_geometry.y(view.absTop() + view.height());
    box.width = view.width() * kPointsPerPixel;
    box.height = view.height() * kPointsPerPixel;
    return box;
}

void PdfPageContent::writeOutlineStart(const View& view)
{
    ContentLines line(m_content);
    line.text(dashLine(view.frame().style(), view.frame().width()));
    line.text(colorText(view.frame().color()) + " RG");
    line({view.frame().width() * kPointsPerPixel}, "w");
}

void PdfPageContent::writeShape(const ShapeObject& shape)
{
    const Box b = boxOf(shape);
    ContentLines line(m_content);
    writeOutlineStart(shape);
    const ShapeKind kind = shape.shape();
    const bool filled = kind != ShapeKind::Diagonal1 && kind != ShapeKind::Diagonal2;
    if (filled)
        line.text(colorText(shape.color()) + " rg");
    const auto point = [](double x, double y, const char* op) {
        return number(x) + ' ' + number(y) + ' ' + op;
    };
    switch (kind) {
    case ShapeKind::Rectangle:
        line.text(number(b.left) + ' ' + number(b.bottom) + ' ');
        line({b.width, b.height}, "re");
        break;
    case ShapeKind::RoundRectangle: {
        const double r = shape.curve() == 0 ? 7.48 : shape.curve() * 3.74;
        const double q = r / 2;
        // Corners in points with y upwards: y1 is the top edge, y0 the bottom one.
        const double x0 = b.left, y0 = b.bottom, x1 = b.right, y1 = b.top;
        line({x0 + r, y1}, "m");
        line({x1 - r, y1}, "l");
        line({x1 - q, y1, x1, y1 - q, x1, y1 - r}, "c");
        line({x1, y0 + r}, "l");
        line({x1, y0 + q, x1 - q, y0, x1 - r, y0}, "c");
        line({x0 + r, y0}, "l");
        line({x0 + q, y0, x0, y0 + q, x0, y0 + r}, "c");
        line({x0, y1 - r}, "l");
        line({x0, y1 - q, x0 + q, y1, x0 + r, y1}, "c");
        break;
    }
    case ShapeKind::Ellipse: {
        // In points, y upwards: b grows downwards on the page, so it is taken negative.
        const double a = b.width / 2;
        const double bb = -b.height / 2;
        const double x0 = b.left, y0 = b.top;
        constexpr double more = 1.5522847498;
        constexpr double less = 0.4477152502;
        line({x0 + 2 * a, y0 + bb}, "m");
        line({x0 + 2 * a, y0 + bb * more, x0 + a * more, y0 + 2 * bb, x0 + a, y0 + 2 * bb}, "c");
        line({x0 + a * less, y0 + 2 * bb, x0, y0 + bb * more, x0, y0 + bb}, "c");
        line({x0, y0 + bb * less, x0 + a * less, y0, x0 + a, y0}, "c");
        line({x0 + a * more, y0, x0 + 2 * a, y0 + bb * less, x0 + 2 * a, y0 + bb}, "c");
        break;
    }
    case ShapeKind::Triangle: {
        const double xm = m_geometry.x(shape.absLeft() + shape.width() / 2);
        line.text(point(xm, b.top, "m") + ' ' + point(b.right, b.bottom, "l") + ' ' + point(b.left, b.bottom, "l") + ' '
            + point(xm, b.top, "l"));
        break;
    }
    case ShapeKind::Diamond: {
        const double xm = m_geometry.x(shape.absLeft() + shape.width() / 2);
        const double ym = m_geometry.y(shape.absTop() + shape.height() / 2);
        line.text(point(xm, b.top, "m") + ' ' + point(b.right, ym, "l") + ' ' + point(xm, b.bottom, "l") + ' '
            + point(b.left, ym, "l") + ' ' + point(xm, b.top, "l"));
        break;
    }
    case ShapeKind::Diagonal1:
        line({b.left, b.bottom}, "m");
        line({b.right, b.top}, "l");
        line.text("S");
        return;
    case ShapeKind::Diagonal2:
        line({b.left, b.top}, "m");
        line({b.right, b.bottom}, "l");
        line.text("S");
        return;
    }
    line.text(shape.color() == colors::None ? "S" : "B");
}

void PdfPageContent::writeLine(const LineObjectBase& lineObject)
{
    const Box b = boxOf(lineObject);
    ContentLines line(m_content);
    writeOutlineStart(lineObject);
    line({b.left, b.top}, "m");
    line({b.right, b.bottom}, "l");
    line.text("S");
    const auto arrow = [&](double tipX, double tipY, double fromX, double fromY) {
        const double length = std::hypot(tipX - fromX, tipY - fromY);
        if (length == 0)
            return;
        const double ux = (tipX - fromX) / length;
        const double uy = (tipY - fromY) / length;
        const double l = lineObject.arrowLength() * kPointsPerPixel;
        const double a = lineObject.arrowWidth() * kPointsPerPixel;
        const double baseX = tipX - ux * l;
        const double baseY = tipY - uy * l;
        line.text(dashLine(lineObject.frame().style(), lineObject.frame().width()));
        line.text(number(baseX - uy * a) + ' ' + number(baseY + ux * a) + " m\r\n" + number(tipX) + ' ' + number(tipY)
            + " l\r\n" + number(baseX + uy * a) + ' ' + number(baseY - ux * a) + " l");
        if (lineObject.arrowSolid()) {
            line.text("1 j");
            line.text(colorText(lineObject.frame().color()) + " rg");
            line.text("b");
        } else {
            line.text("S");
        }
    };
    if (lineObject.arrowStart())
        arrow(b.left, b.top, b.right, b.bottom);
    if (lineObject.arrowEnd())
        arrow(b.right, b.bottom, b.left, b.top);
}

void PdfPageContent::writeCheckBox(const CheckBoxObject& box)
{
    if (!isChecked(box))
        return;
    const Box b = boxOf(box);
    const double left = box.absLeft();
    const double top = box.absTop();
    const double w = box.width();
    const double h = box.height();
    ContentLines line(m_content);
    line.text("[] 0 d");
    line.text(colorText(box.frame().color()) + " RG");
    line({2 * box.frame().width() * kPointsPerPixel}, "w");
    line.text(colorText(box.color()) + " rg");
    const auto point = [&](double x, double y, const char* op) {
        return number(m_geometry.x(x)) + ' ' + number(m_geometry.y(y)) + ' ' + op;
    };
    line.text(point(left + w / 8, top + h / 2, "m") + ' ' + point(left + w / 3, top + h - h / 4, "l") + ' '
        + point(left + w - w / 4, top + h / 7, "l"));
    if (box.frame().sides() == FrameSides::fromInt(0xF)) {
        const double y3 = m_geometry.y(top + h - 3);
        line.text(number(b.left) + ' ' + number(b.top) + " m " + number(b.right) + ' ' + number(b.top) + " l "
            + number(b.right) + ' ' + number(y3) + " l " + number(b.left) + ' ' + number(y3) + " l " + number(b.left)
            + ' ' + number(b.top) + " l");
    }
    line.text(box.color() == colors::None ? "S" : "B");
}

void PdfPageContent::writeFrame(const Frame& frame, const Box& b)
{
    if (!frame.sides() || frame.color() == colors::None)
        return;
    ContentLines line(m_content);
    line.text(colorText(frame.color()) + " RG");
    const struct {
        FrameSide side;
        const FrameLine& style;
        double x1, y1, x2, y2;
    } sides[] = {
        {FrameSide::Top, frame.topLine(), b.left, b.top, b.right, b.top},
        {FrameSide::Right, frame.rightLine(), b.right, b.top, b.right, b.bottom},
        {FrameSide::Bottom, frame.bottomLine(), b.left, b.bottom, b.right, b.bottom},
        {FrameSide::Left, frame.leftLine(), b.left, b.top, b.left, b.bottom},
    };
    for (const auto& side : sides) {
        if (!(frame.sides() & side.side))
            continue;
        line.text(dashLine(side.style.style(), side.style.width()));
        line({side.style.width() * kPointsPerPixel}, "w");
        line({side.x1, side.y1}, "m");
        line({side.x2, side.y2}, "l");
        line.text("S");
    }
}

int PdfPageContent::fontIndex(const Font& font)
{
    const bool anyStyle = simulatesStyles(font.name());
    std::vector<PdfDocumentFont>& fonts = m_document.fonts;
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        const Font& used = fonts[i].font->sourceFont();
        if (used.name() == font.name() && (anyStyle || used.style() == font.style()))
            return int(i);
    }
    auto pdfFont = std::make_unique<PdfFont>(font);
    pdfFont->fillOutlineTextMetrics();
    fonts.push_back({std::move(pdfFont), 0});
    return int(fonts.size()) - 1;
}

QByteArray PdfPageContent::glyphRun(PdfFont& font, const QString& text, bool rtl, const std::vector<double>& advances,
    double size, double charSpacing)
{
    bool readsBack = true;
    const std::vector<FontFace::Glyph> glyphs = font.remapGlyphs(text, rtl, &readsBack);
    // The layout's place for each glyph where it can tell one: left to right, one advance per
    // UTF-16 unit. Right-to-left runs keep the font's own advances.
    const bool follow = !rtl && advances.size() == std::size_t(text.size());
    std::vector<double> clusterStart;
    if (follow) {
        clusterStart.resize(advances.size() + 1, 0);
        for (std::size_t i = 0; i < advances.size(); ++i)
            clusterStart[i + 1] = clusterStart[i] + advances[i];
    }
    QByteArray array;
    array.reserve(qsizetype(glyphs.size()) * 4 + 16);
    bool adjusted = false;
    double natural = 0;        // where the reader puts the glyph, in points
    double naturalCluster = 0; // where it put the start of the glyph's cluster
    int clusterOf = -1;
    qint64 applied = 0;        // adjustments so far, thousandths of the size
    QByteArray run;
    run.reserve(qsizetype(glyphs.size()) * 4 + 16);
    for (const FontFace::Glyph& glyph : glyphs) {
        if (follow) {
            if (glyph.cluster != clusterOf) {
                clusterOf = glyph.cluster;
                naturalCluster = natural;
            }
            const std::size_t cluster = std::min(std::size_t(std::max(glyph.cluster, 0)), advances.size());
            const double wanted = clusterStart[cluster] + (natural - naturalCluster);
            const qint64 total = std::llround((natural - wanted) * 1000 / size);
            const qint64 step = total - applied;
            // The layout's rounding moves glyphs by a few thousandths at most; kerning by tens.
            if (std::abs(step) > kUnseenShift) {
                if (!run.isEmpty())
                    array.append('<').append(run).append("> ");
                run.clear();
                array.append(QByteArray::number(step)).append(' ');
                applied = total;
                adjusted = true;
            }
        }
        appendPdfHexCode(run, glyph.index);
        natural += font.glyphWidth(glyph.index) * size / 1000 + charSpacing;
    }
    QByteArray shown;
    // Without an adjustment the run holds every glyph of the line.
    if (!adjusted) {
        shown = '<' + run + "> Tj";
    } else {
        if (!run.isEmpty())
            array += '<' + run + '>';
        shown = '[' + array.trimmed() + "] TJ";
    }
    if (readsBack)
        return shown;
    // Glyphs the font's ToUnicode map cannot read back as this line (a cluster of several glyphs,
    // a glyph that stands for other characters elsewhere, a character without a glyph) carry the
    // line's text with them. Content streams are encrypted as a whole, so the string stays plain.
    return "/Span << /ActualText "
        + PdfDocumentWriter::hexString("\xFE\xFF" + PdfDocumentWriter::utf16BigEndian(text)) + " >> BDC\r\n"
        + shown + "\r\nEMC";
}

void PdfPageContent::writeText(const TextObjectBase& memo)
{
    ContentLines line(m_content);
    const Frame& frame = memo.frame();
    const double fw = frame.width();
    const double left = memo.absLeft();
    const double top = memo.absTop();
    double width = memo.width();
    double height = memo.height();

    line.text("q");
    line({m_geometry.x(left - fw), m_geometry.y(top + height + fw), (width + 2 * fw) * kPointsPerPixel,
             (height + 2 * fw) * kPointsPerPixel},
        "re");
    line.text("W");
    line.text("n");

    const double s = frame.shadowWidth();
    Box b = boxOf(memo);
    if (frame.dropShadow()) {
        const QByteArray shadow = colorText(frame.shadowColor());
        line.text(shadow + " rg");
        line.text(shadow + " RG");
        line({m_geometry.x(left + width - s), m_geometry.y(top + height), s * kPointsPerPixel,
                 (height - s) * kPointsPerPixel},
            "re");
        line.text("B");
        line({m_geometry.x(left + s), m_geometry.y(top + height), (width - s) * kPointsPerPixel, s * kPointsPerPixel},
            "re");
        line.text("B");
        b.right = m_geometry.x(left + width - s);
        b.bottom = m_geometry.y(top + height - s);
        b.width = (width - s) * kPointsPerPixel;
        b.height = (height - s) * kPointsPerPixel;
    }

    // The same wrapped lines the raster painter draws (the page walk has applied highlights).
    const TextLayout layout = layOutText(memo);
    const double lineHeight = layout.lineHeight();

    if (memo.color() != colors::None) {
        line.text(colorText(memo.color()) + " rg");
        line({b.left, b.bottom, b.width, b.height}, "re");
        line.text("f");
    }
    writeFrame(frame, b);

    const int rotation = memo.rotation();
    const double theta = rotation * std::numbers::pi / 180;
    const bool upright = (rotation >= 45 && rotation <= 135) || (rotation >= 225 && rotation <= 315);
    if (rotation > 0) {
        double cx = 0;
        double cy = 0;
        if (rotation == 90 || rotation == 180 || rotation == 270) {
            cx = m_geometry.x(left + width / 2);
            cy = m_geometry.y(top + height / 2);
        } else {
            const double p = upright ? height : width;
            const double v = upright ? width : height;
            cx = m_geometry.x(left + (p * std::cos(theta) + v * std::sin(theta)) / 2);
            cy = m_geometry.y(top + (p * std::sin(theta) + v * std::cos(theta)) / 2);
        }
        line({std::cos(theta), std::sin(theta), -std::sin(theta), std::cos(theta), cx, cy}, "cm");
    }

    if (memo.underlines() && lineHeight > 0) {
        const int count = int(std::trunc(height / lineHeight));
        for (int k = 1; k <= count; ++k) {
            const double y = m_geometry.y(top + memo.gapY() + 1 + k * lineHeight);
            line.text(colorText(frame.color()) + " RG");
            line({fw * kPointsPerPixel}, "w");
            line({b.left, y}, "m");
            line({b.right, y}, "l");
            line.text("S");
        }
    }

    // A text of empty lines still sets its font and colour; no text at all writes neither.
    const QStringList& lines = layout.lines();
    if (!lines.isEmpty() && !memo.text().isEmpty()) {
        const Font& font = memo.font();
        const int fontIndexOfMemo = fontIndex(font);
        PdfFont& pdfFont = *m_document.fonts[std::size_t(fontIndexOfMemo)].font;
        const double size = layout.fontSize();
        line.text("/F" + QByteArray::number(fontIndexOfMemo) + ' ' + QByteArray::number(int(size)) + " Tf");
        const Color textColor = font.color() == colors::None ? colors::Black : font.color();
        const QByteArray fontColor = colorText(textColor);
        line.text(fontColor + " rg");
        const double cs = memo.charSpacing() * kPointsPerPixel;
        if (cs != 0)
            line({cs}, "Tc");

        // Glyph positions inside each line, as the raster painter places them, at a hundredth of a
        // point.
        TextTarget target;
        const double scale = double(kPlacementDpi) / TextLayout::DesignPixelsPerInch;
        const QRectF rect = layout.layoutSpec().rect;
        target.rect = QRect(int(std::lround(rect.left() * scale)), int(std::lround(rect.top() * scale)),
            int(std::lround(rect.width() * scale)), int(std::lround(rect.height() * scale)));
        target.scaleX = scale;
        target.scaleY = scale;
        target.device.printer = true;
        target.device.dpiX = kPlacementDpi;
        target.device.dpiY = kPlacementDpi;
        const TextLayout::TextPlacement placement = layout.place(target, memo.hAlign(), memo.vAlign());

        const bool simulate = simulatesStyles(font.name());
        const bool bold = simulate && (font.style() & FontStyle::Bold);
        const bool italic = simulate && (font.style() & FontStyle::Italic);
        const double g = memo.gapX();
        const double paragraphGapMeasured = roundHalfEven(memo.paragraphGap() * kMeasuringPerDesign) / kMeasuringPerDesign;
        const int n = int(lines.size());
        const double availH = (height - s) - 2 * memo.gapY();
        const double t0 = top + memo.gapY() - size * 0.1;
        for (int i = 0; i < n; ++i) {
            const QString& text = lines[i];
            if (text.trimmed().isEmpty())
                continue;
            const bool paragraphStart = layout.lineFlags()[std::size_t(i)] & TextLayout::LineFlag::ParagraphStart;
            const double lw = layout.lineWidth(i) - (paragraphStart ? paragraphGapMeasured : 0);
            double x = 0;
            double y = 0;
            if (rotation > 0) {
                const double q = upright ? height - s : width - s;
                const double v = upright ? width - s : height - s;
                switch (memo.hAlign()) {
                case HAlign::Right: x = kPointsPerPixel * (q / 2 - lw) + cs; break;
                case HAlign::Center: x = kPointsPerPixel * (-lw / 2); break;
                case HAlign::Left:
                case HAlign::Block: x = kPointsPerPixel * (-q / 2); break;
                }
                double h = 0;
                switch (memo.vAlign()) {
                case VAlign::Bottom: h = v / 2 - (n - i - 1) * lineHeight; break;
                case VAlign::Center: h = -n * lineHeight / 2 + (i + 1) * lineHeight; break;
                case VAlign::Top: h = (i + 1) * lineHeight - v / 2; break;
                }
                y = 0.4 * size - kPointsPerPixel * h;
            } else {
                const double pg = i == 0 ? memo.paragraphGap() : 0;
                const double base = left + g + g / 2 + size * 0.01 + pg;
                const double avail = (width - s) - 2 * g - pg;
                switch (memo.hAlign()) {
                case HAlign::Right: x = m_geometry.x(base + avail - lw) + cs; break;
                case HAlign::Center: x = m_geometry.x(base + (avail - lw) / 2); break;
                case HAlign::Left:
                case HAlign::Block: x = m_geometry.x(base); break;
                }
                double baseline = 0;
                switch (memo.vAlign()) {
                case VAlign::Top: baseline = t0 + (i + 1) * lineHeight; break;
                case VAlign::Bottom: baseline = t0 + availH - (n - i - 1) * lineHeight; break;
                case VAlign::Center: baseline = t0 + (availH - n * lineHeight) / 2 + (i + 1) * lineHeight; break;
                }
                y = m_geometry.y(baseline);
            }

            std::vector<double> advances;
            if (std::size_t(i) < placement.lines.size() && placement.lines[std::size_t(i)].text == text) {
                for (const double advance : placement.lines[std::size_t(i)].advances)
                    advances.push_back(advance * 72.0 / kPlacementDpi);
            }

            line.text("BT");
            line({x, y}, "Td");
            if (italic)
                m_content += "1 0 0.3333 1 " + number(x) + ' ' + number(y) + " Tm\r\n";
            if (bold)
                line.text("2 Tr " + number(size / 35) + " w " + fontColor + " RG");
            line.text(glyphRun(pdfFont, text, memo.rtlReading(), advances, size, cs));
            line.text("ET");
            if (bold)
                line.text("0 Tr");
            if (font.style() & FontStyle::Underline) {
                line.text(fontColor + " RG");
                line({size * 0.08}, "w");
                line({x, y - size * 0.12}, "m");
                line({x + lw * kPointsPerPixel, y - size * 0.12}, "l");
                line.text("S");
            }
            if (font.style() & FontStyle::StrikeOut) {
                line.text(fontColor + " RG");
                line({size * 0.08}, "w");
                line({x, y + size * 0.28}, "m");
                line({x + lw * kPointsPerPixel, y + size * 0.28}, "l");
                line.text("S");
            }
        }
    }
    line.text("Q");
}

void PdfPageContent::writeImage(const View& framed)
{
    // The picture is drawn without the frame's width.
    const std::unique_ptr<View> unframed = standaloneCopy(framed);
    if (!unframed)
        return;
    View& view = *unframed;
    view.frame().setWidth(0);
    const QRectF real = view.getRealBounds();
    const double dx = real.width();
    const double dy = real.height();
    double ox = 0;
    double oy = 0;
    if (dx != view.width() && real.left() != view.absLeft())
        ox = real.right() != view.absLeft() + view.width() ? (dx - view.width()) / 2 : dx - view.width();
    if (dy != view.height() && real.top() != view.absTop())
        oy = real.bottom() != view.absTop() + view.height() ? (dy - view.height()) / 2 : dy - view.height();

    const bool plainBrush = view.brushStyle() == BrushStyle::Solid || view.brushStyle() == BrushStyle::Clear;
    const bool barcode = view.className() == QLatin1String("TfrxBarCodeView");
    double f = (m_options.printOptimized || dynamic_cast<TextObjectBase*>(&view)) && plainBrush ? 3 : 1;
    double d = 0;
    if (barcode && !m_options.printOptimized) {
        f = 2;
        d = 2;
    }
    // An object far larger than any page is drawn no larger than the JPEG encoder takes.
    constexpr double kLargestSide = 30000;
    const int width = int(std::min(f + roundHalfEven(f * dx), kLargestSide));
    const int height = int(std::min(f + roundHalfEven(f * dy), kLargestSide));
    QImage bitmap(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    try {
        QPainter painter(&bitmap);
        drawView(view, painter, f, f, d - roundHalfEven((view.absLeft() - ox) * f), -roundHalfEven((view.absTop() - oy) * f));
    } catch (const Exception&) {
        // What was drawn before the error is embedded.
    }

    const QByteArray jpeg = encodeJpeg(bitmap, barcode ? 95 : 90);
    const QByteArray digest = QCryptographicHash::hash(jpeg, QCryptographicHash::Md5);
    int index = -1;
    for (std::size_t i = 0; i < m_document.images.size(); ++i) {
        if (m_document.images[i].digest == digest) {
            index = int(i);
            break;
        }
    }
    if (index < 0) {
        const int object = m_document.reserveObject();
        m_document.images.push_back({object, digest});
        index = int(m_document.images.size()) - 1;
        m_document.beginObject(object);
        for (const QByteArray& entry : {QByteArray("<<"), QByteArray("/Type /XObject"), QByteArray("/Subtype /Image"),
                 QByteArray("/ColorSpace /DeviceRGB"), QByteArray("/BitsPerComponent 8"), QByteArray("/Filter /DCTDecode"),
                 "/Width " + QByteArray::number(bitmap.width()), "/Height " + QByteArray::number(bitmap.height()),
                 "/Length " + QByteArray::number(jpeg.size()), QByteArray(">>")})
            m_document.writeLine(entry);
        m_document.writeStreamBody(object, jpeg, true);
        m_document.endObject();
    }
    if (std::find(m_document.pageImages.begin(), m_document.pageImages.end(), index) == m_document.pageImages.end())
        m_document.pageImages.push_back(index);

    ContentLines line(m_content);
    line.text("q");
    line({dx * kPointsPerPixel, 0, 0, dy * kPointsPerPixel, m_geometry.x(view.absLeft() - ox),
             m_geometry.y(view.absTop() - oy + dy)},
        "cm");
    line.text("/Im" + QByteArray::number(index) + " Do");
    line.text("Q");
    writeFrame(framed.frame(), boxOf(framed));
}

void PdfPageContent::addLink(const View& view)
{
    const QString& url = view.url();
    PdfAnnotation annotation;
    if (url.startsWith(u'#')) {
        // The prepared pages keep no anchors, so a jump to one has nowhere to go.
        return;
    }
    if (url.startsWith(u'@')) {
        bool ok = false;
        const int page = url.mid(1).toInt(&ok);
        if (!ok || page < 1 || (m_preparedPages && page > m_preparedPages->count()))
            return;
        annotation.destinationPage = page - 1;
        annotation.destinationY = int(std::lround(m_geometry.height - m_geometry.marginTop));
    } else {
        annotation.hyperlink = url;
    }
    const Box b = boxOf(view);
    annotation.rect = number(b.left) + ' ' + number(b.bottom) + ' ' + number(b.right) + ' ' + number(b.top);
    annotation.objectNumber = m_document.reserveObject();
    m_document.pageAnnotations.push_back(annotation.objectNumber);
    m_document.annotations.push_back(std::move(annotation));
}

} // namespace quittung::report
