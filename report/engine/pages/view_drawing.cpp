#include "report/engine/pages/view_drawing.h"

#include "report/document/colors.h"
#include "report/document/line_object.h"
#include "report/document/text_object.h"
#include "report/document/page.h"
#include "report/document/shape_object.h"
#include "report/engine/pages/page_walk.h"
#include "report/engine/text/text_layout.h"
#include "report/engine/pages/report_preparer.h"
#include "report/engine/pages/prepared_pages.h"
#include "runtime/rounding.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <utility>

// Device coordinates name whole pixels: (x, y) is the pixel whose top-left corner is at (x, y).
// Fills take integer rectangles; a cosmetic pen at integer coordinates lights exactly the named
// pixels (end point excluded with a flat cap); a wide pen of width w centred on pixel x covers
// x - w div 2 .. x - w div 2 + w - 1, so it is placed at x + 0.5 when w is odd and at x when even.

namespace quittung::report {

namespace {

int roundToPixel(double value)
{
    return static_cast<int>(roundHalfEven(value));
}

std::optional<QColor> toQColor(Color color)
{
    const std::optional<RgbColor> rgb = colorToRgb(color);
    if (!rgb)
        return std::nullopt;
    return QColor(rgb->red, rgb->green, rgb->blue);
}

// The begin-draw values of a view on the device.
struct Geometry {
    int fx = 0;
    int fy = 0;
    int fx1 = 0;
    int fy1 = 0;
    int fdx = 0;
    int fdy = 0;
    int frameWidth = 0;
};

// The box of a view in report pixels; lines draw a turned copy of their own.
struct Box {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

Box boxOf(const View& view)
{
    return {view.absLeft(), view.absTop(), view.width(), view.height()};
}

Geometry beginDraw(const Box& box, const Frame& frame, double scaleX, double scaleY, double offsetX,
    double offsetY)
{
    Geometry g;
    g.fx = roundToPixel(offsetX + scaleX * box.left);
    g.fy = roundToPixel(offsetY + scaleY * box.top);
    g.fx1 = roundToPixel(offsetX + scaleX * (box.left + box.width));
    g.fy1 = roundToPixel(offsetY + scaleY * (box.top + box.height));
    if (frame.dropShadow()) {
        g.fx1 -= roundToPixel(scaleX * frame.shadowWidth());
        g.fy1 -= roundToPixel(scaleY * frame.shadowWidth());
    }
    g.fdx = g.fx1 - g.fx;
    g.fdy = g.fy1 - g.fy;
    g.frameWidth = roundToPixel(scaleX * frame.width());
    return g;
}

// Pixels from (left, top) to (right, bottom), the right and bottom edges excluded.
QRect edgeRect(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

// The half-pixel shift that centres a pen of width w on a pixel (see the top of the file).
double penCentre(int w)
{
    return (w % 2) * 0.5;
}

std::optional<Qt::BrushStyle> QtBrushStyle(BrushStyle style)
{
    switch (style) {
    case BrushStyle::Solid:
        return Qt::SolidPattern;
    case BrushStyle::Clear:
        return std::nullopt;
    case BrushStyle::Horizontal:
        return Qt::HorPattern;
    case BrushStyle::Vertical:
        return Qt::VerPattern;
    case BrushStyle::ForwardDiagonal:
        return Qt::FDiagPattern;
    case BrushStyle::BackwardDiagonal:
        return Qt::BDiagPattern;
    case BrushStyle::Cross:
        return Qt::CrossPattern;
    case BrushStyle::DiagonalCross:
        return Qt::DiagCrossPattern;
    }
    return Qt::SolidPattern;
}

// The brush of a view's Color and BrushStyle; none when nothing is painted.
std::optional<QBrush> fillBrush(const View& view)
{
    const std::optional<QColor> color = toQColor(view.color());
    const std::optional<Qt::BrushStyle> style = QtBrushStyle(view.brushStyle());
    if (!color || !style)
        return std::nullopt;
    return QBrush(*color, *style);
}

// The dash pattern of a one-pixel pen, in pixels, as the classic desktop draws its cosmetic pens.
// Solid styles have none.
QList<qreal> dashPattern(FrameStyle style)
{
    switch (style) {
    case FrameStyle::Dash:
        return {18, 6};
    case FrameStyle::Dot:
        return {3, 3};
    case FrameStyle::DashDot:
        return {9, 6, 3, 6};
    case FrameStyle::DashDotDot:
        return {9, 3, 3, 3, 3, 3};
    case FrameStyle::AltDot:
        return {1, 1};
    case FrameStyle::Square:
        return {3, 3};
    case FrameStyle::Solid:
    case FrameStyle::Double:
        break;
    }
    return {};
}

bool isSolid(FrameStyle style)
{
    return style == FrameStyle::Solid || style == FrameStyle::Double;
}

// A one-pixel pen; its segments leave out their end point like every thin line on the page.
QPen cosmeticPen(const QColor& color, FrameStyle style)
{
    QPen pen(color, 0);
    pen.setCosmetic(true);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    const QList<qreal> dashes = dashPattern(style);
    if (!dashes.isEmpty())
        pen.setDashPattern(dashes);
    return pen;
}

// The shifts across a segment at which a one-pixel copy of it can touch the paint device, as a
// range first..last (empty when first > last). Shifts run along y when shiftY is set, else along x.
std::pair<qint64, qint64> visibleShifts(const QPainter& canvas, int x1, int y1, int x2, int y2, bool shiftY)
{
    const QPaintDevice* device = canvas.device();
    bool invertible = false;
    const QTransform toLogical = canvas.combinedTransform().inverted(&invertible);
    if (!device || !invertible)
        return {1, 0};
    // A pixel more on each side for the pen's rounding; the pixel ratio only makes it larger.
    const double ratio = std::max(1.0, device->devicePixelRatioF());
    const QRectF area = toLogical.mapRect(QRectF(-1, -1, device->width() * ratio + 2, device->height() * ratio + 2));
    // a runs along the segment, b across it; a1 != a2 since the segment runs more along than across.
    const double a1 = shiftY ? x1 : y1;
    const double a2 = shiftY ? x2 : y2;
    const double b1 = shiftY ? y1 : x1;
    const double b2 = shiftY ? y2 : x2;
    const double from = std::max(std::min(a1, a2), shiftY ? area.left() : area.top());
    const double to = std::min(std::max(a1, a2), shiftY ? area.right() : area.bottom());
    if (from > to)
        return {1, 0};
    const auto across = [&](double a) { return b1 + (b2 - b1) * (a - a1) / (a2 - a1); };
    const double low = std::min(across(from), across(to));
    const double high = std::max(across(from), across(to));
    const double areaLow = shiftY ? area.top() : area.left();
    const double areaHigh = shiftY ? area.bottom() : area.right();
    return {qint64(std::floor(areaLow - high)), qint64(std::ceil(areaHigh - low))};
}

// A line of width w from w one-pixel segments side by side, with the pen already set. A width from
// a file may be millions of pixels: only the segments that can touch the device are drawn.
void strokeParallel(QPainter& canvas, int x1, int y1, int x2, int y2, int w)
{
    if (x1 == x2 && y1 == y2)
        return;
    w = std::max(w, 1);
    const bool shiftY = std::abs(x2 - x1) > std::abs(y2 - y1);
    const auto [firstVisible, lastVisible] = visibleShifts(canvas, x1, y1, x2, y2, shiftY);
    const int first = int(std::max<qint64>(-(w / 2), firstVisible));
    const int last = int(std::min<qint64>(w - 1 - w / 2, lastVisible));
    for (int k = first; k <= last; ++k) {
        const int dx = shiftY ? 0 : k;
        const int dy = shiftY ? k : 0;
        canvas.drawLine(QPoint(x1 + dx, y1 + dy), QPoint(x2 + dx, y2 + dy));
    }
}

void drawBackground(const View& view, QPainter& canvas, const Geometry& g)
{
    const std::optional<QBrush> brush = fillBrush(view);
    if (brush)
        canvas.fillRect(edgeRect(g.fx, g.fy, g.fx1, g.fy1), *brush);
}

enum class Side { Left, Right, Top, Bottom };

void drawSide(QPainter& canvas, Side side, const FrameLine& line, FrameSides typ, const Geometry& g,
    std::optional<QColor> gapColor, double scaleX)
{
    const std::optional<QColor> color = toQColor(line.color());
    if (!color || line.width() <= 0)
        return;
    const int w = std::max(1, roundToPixel(line.width() * scaleX));
    const int half = w / 2;
    const int a = (typ & FrameSide::Top) ? 0 : half;
    const int b = (typ & FrameSide::Bottom) ? 0 : half;
    const int c = (typ & FrameSide::Left) ? 0 : half;
    const int d = (typ & FrameSide::Right) ? 0 : half;
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    switch (side) {
    case Side::Left:
        x1 = x2 = g.fx;
        y1 = g.fy + a;
        y2 = g.fy1 - b;
        break;
    case Side::Right:
        x1 = x2 = g.fx1;
        y1 = g.fy + a;
        y2 = g.fy1 - b;
        break;
    case Side::Top:
        y1 = y2 = g.fy;
        x1 = g.fx + c;
        x2 = g.fx1 - d;
        break;
    case Side::Bottom:
        y1 = y2 = g.fy1;
        x1 = g.fx + c;
        x2 = g.fx1 - d;
        break;
    }
    if (x1 == x2 && y1 == y2)
        return;

    if (isSolid(line.style())) {
        QPen pen(*color, w);
        pen.setCapStyle(Qt::SquareCap);
        pen.setJoinStyle(Qt::MiterJoin);
        canvas.setPen(pen);
        const double centre = penCentre(w);
        canvas.drawLine(QPointF(x1 + centre, y1 + centre), QPointF(x2 + centre, y2 + centre));
        return;
    }
    // The gaps of a dashed side show the view's colour: lay a solid line under the dashes.
    if (gapColor) {
        canvas.setPen(cosmeticPen(*gapColor, FrameStyle::Solid));
        strokeParallel(canvas, x1, y1, x2, y2, w);
    }
    canvas.setPen(cosmeticPen(*color, line.style()));
    strokeParallel(canvas, x1, y1, x2, y2, w);
}

void drawFrame(const Frame& frame, Color viewColor, QPainter& canvas, const Geometry& g, double scaleX,
    double scaleY)
{
    if (frame.dropShadow()) {
        const std::optional<QColor> shadow = toQColor(frame.shadowColor());
        const int sx = roundToPixel(frame.shadowWidth() * scaleX);
        const int sy = roundToPixel(frame.shadowWidth() * scaleY);
        // The strips fill the room the begin-draw step took off the box, shifted down and right.
        if (shadow && sx > 0 && sy > 0) {
            canvas.fillRect(edgeRect(g.fx1 + 1, g.fy + sy, g.fx1 + sx + 1, g.fy1 + sy + 1), *shadow);
            canvas.fillRect(edgeRect(g.fx + sx, g.fy1 + 1, g.fx1 + sx + 1, g.fy1 + sy + 1), *shadow);
        }
    }
    const FrameSides typ = frame.sides();
    if (!typ || !toQColor(frame.color()) || frame.width() == 0)
        return;
    const std::optional<QColor> gapColor = toQColor(viewColor);
    if (typ & FrameSide::Left)
        drawSide(canvas, Side::Left, frame.leftLine(), typ, g, gapColor, scaleX);
    if (typ & FrameSide::Right)
        drawSide(canvas, Side::Right, frame.rightLine(), typ, g, gapColor, scaleX);
    if (typ & FrameSide::Top)
        drawSide(canvas, Side::Top, frame.topLine(), typ, g, gapColor, scaleX);
    if (typ & FrameSide::Bottom)
        drawSide(canvas, Side::Bottom, frame.bottomLine(), typ, g, gapColor, scaleX);
}

void drawPlainView(const View& view, QPainter& canvas, double scaleX, double scaleY, double offsetX, double offsetY)
{
    const Geometry g = beginDraw(boxOf(view), view.frame(), scaleX, scaleY, offsetX, offsetY);
    drawBackground(view, canvas, g);
    drawFrame(view.frame(), view.color(), canvas, g, scaleX, scaleY);
}

void drawShape(const ShapeObject& shape, QPainter& canvas, double scaleX, double scaleY, double offsetX,
    double offsetY)
{
    const Frame& frame = shape.frame();
    const Geometry g = beginDraw(boxOf(shape), frame, scaleX, scaleY, offsetX, offsetY);
    const std::optional<QColor> penColor = toQColor(frame.color());
    const int w = std::max(1, g.frameWidth);

    if (shape.shape() == ShapeKind::Diagonal1 || shape.shape() == ShapeKind::Diagonal2) {
        if (!penColor)
            return;
        canvas.setPen(cosmeticPen(*penColor, frame.style()));
        if (shape.shape() == ShapeKind::Diagonal1)
            strokeParallel(canvas, g.fx, g.fy1, g.fx1, g.fy, g.frameWidth);
        else
            strokeParallel(canvas, g.fx, g.fy, g.fx1, g.fy1, g.frameWidth);
        return;
    }

    // A one-pixel outline lights the pixels at the corner coordinates; a wider one is centred on
    // them. Wide pens are solid whatever the style, as on the classic desktop.
    double shift = 0;
    if (!penColor) {
        canvas.setPen(Qt::NoPen);
    } else if (w == 1) {
        canvas.setPen(cosmeticPen(*penColor, frame.style()));
    } else {
        QPen pen(*penColor, w);
        pen.setJoinStyle(Qt::MiterJoin);
        pen.setCapStyle(Qt::SquareCap);
        canvas.setPen(pen);
        shift = penCentre(w);
    }
    const std::optional<QBrush> brush = fillBrush(shape);
    canvas.setBrush(brush ? *brush : QBrush(Qt::NoBrush));
    const std::optional<QColor> background = toQColor(shape.color());
    if (background) {
        canvas.setBackgroundMode(Qt::OpaqueMode);
        canvas.setBackground(*background);
    }

    const double x = g.fx + shift;
    const double y = g.fy + shift;
    const double x1 = g.fx1 + shift;
    const double y1 = g.fy1 + shift;
    const QRectF box(x, y, g.fdx, g.fdy);
    switch (shape.shape()) {
    case ShapeKind::Rectangle:
        canvas.drawRect(box);
        break;
    case ShapeKind::RoundRectangle: {
        const int corner = shape.curve() != 0 ? roundToPixel(shape.curve() * scaleX * 10) : std::min(g.fdx, g.fdy) / 4;
        canvas.drawRoundedRect(box, corner / 2.0, corner / 2.0, Qt::AbsoluteSize);
        break;
    }
    case ShapeKind::Ellipse:
        canvas.drawEllipse(box);
        break;
    case ShapeKind::Triangle: {
        const QPointF points[] = {{x1, y1}, {x, y1}, {x + g.fdx / 2, y}};
        canvas.drawPolygon(points, 3);
        break;
    }
    case ShapeKind::Diamond: {
        const QPointF points[] = {{x + g.fdx / 2, y}, {x1, y + g.fdy / 2}, {x + g.fdx / 2, y1}, {x, y + g.fdy / 2}};
        canvas.drawPolygon(points, 4);
        break;
    }
    case ShapeKind::Diagonal1:
    case ShapeKind::Diagonal2:
        break;
    }
}

void drawLine(const LineObjectBase& line, QPainter& canvas, double scaleX, double scaleY, double offsetX,
    double offsetY)
{
    const Frame& frame = line.frame();
    Box box = boxOf(line);
    if (line.diagonal()) {
        const std::optional<QColor> color = toQColor(frame.color());
        if (!color || frame.width() == 0)
            return;
        const Geometry g = beginDraw(box, frame, scaleX, scaleY, offsetX, offsetY);
        canvas.setPen(cosmeticPen(*color, frame.style()));
        strokeParallel(canvas, g.fx, g.fy, g.fx1, g.fy1, g.frameWidth);
        return;
    }
    // The prepared line keeps its box; only this drawing turns it upright or flat.
    Frame turned(frame);
    if (box.width <= box.height) {
        box.width = 0;
        turned.setSides(FrameSide::Left);
    } else {
        box.height = 0;
        turned.setSides(FrameSide::Top);
    }
    const Geometry g = beginDraw(box, turned, scaleX, scaleY, offsetX, offsetY);
    drawFrame(turned, line.color(), canvas, g, scaleX, scaleY);
}

// The text rectangle inside the frame and the gaps: left, top, right, bottom.
struct TextEdges {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

TextEdges textRect(const TextObjectBase& memo, const Geometry& g, double scaleX, double scaleY)
{
    const FrameSides typ = memo.frame().sides();
    const double w = memo.frame().width();
    TextEdges edges;
    edges.left = g.fx + ((typ & FrameSide::Left) ? roundToPixel((scaleX * w - 1) / 2) : 0)
        + roundToPixel(scaleX * memo.gapX());
    edges.top
        = g.fy + ((typ & FrameSide::Top) ? roundToPixel((scaleY * w - 1) / 2) : 0) + roundToPixel(scaleY * memo.gapY());
    edges.right = g.fx1 - ((typ & FrameSide::Right) ? roundToPixel(scaleX * w / 2) : 0)
        - roundToPixel(scaleX * memo.gapX()) + 1;
    edges.bottom = g.fy1 - ((typ & FrameSide::Bottom) ? roundToPixel(scaleY * w / 2) : 0)
        - roundToPixel(scaleY * memo.gapY()) + 1;
    return edges;
}

// A text object's text rectangle in design pixels at scale 1 for a box.
QRectF originalRect(const TextObjectBase& memo, const Box& box)
{
    const TextEdges original = textRect(memo, beginDraw(box, memo.frame(), 1, 1, 0, 0), 1, 1);
    return QRectF(original.left, original.top, original.right - original.left, original.bottom - original.top);
}

// The box of an auto-width object once its text is laid out: as wide as the widest line and both
// gaps, keeping the right edge of right-aligned text and the centre of centred text.
Box autoWidthBox(Box box, const TextObjectBase& memo, const TextLayout& layout)
{
    const double width = layout.calcWidth() + 2 * memo.gapX();
    if (memo.hAlign() == HAlign::Right)
        box.left += box.width - width;
    else if (memo.hAlign() == HAlign::Center)
        box.left += (box.width - width) / 2;
    box.width = width;
    return box;
}

// The text object's text laid out for its box, and the box it takes (an auto-width object's own).
struct MemoText {
    Box box;
    TextLayout layout;
};

MemoText layOutMemo(const TextObjectBase& memo)
{
    Box box = boxOf(memo);
    TextLayout layout = TextLayout::layOut(TextLayoutSpec::of(memo, originalRect(memo, box)), memo.lines());
    if (memo.autoWidth()) {
        box = autoWidthBox(box, memo, layout);
        layout = TextLayout::layOut(TextLayoutSpec::of(memo, originalRect(memo, box)), memo.lines());
    }
    return {box, std::move(layout)};
}

void drawMemo(const TextObjectBase& memo, QPainter& canvas, double scaleX, double scaleY, double offsetX,
    double offsetY)
{
    const MemoText text = layOutMemo(memo);
    const Geometry g = beginDraw(text.box, memo.frame(), scaleX, scaleY, offsetX, offsetY);
    const TextEdges scaled = textRect(memo, g, scaleX, scaleY);

    drawBackground(memo, canvas, g);
    drawFrame(memo.frame(), memo.color(), canvas, g, scaleX, scaleY);

    if (memo.underlines()) {
        const std::optional<QColor> color = toQColor(memo.frame().color());
        if (color) {
            canvas.setPen(cosmeticPen(*color, FrameStyle::Solid));
            const double step = text.layout.lineHeight() * scaleY;
            const auto lines = static_cast<int>(text.layout.lines().size());
            for (int i = 1; i <= lines; ++i) {
                const int y = scaled.top + roundToPixel(i * step);
                strokeParallel(canvas, scaled.left, y, scaled.right, y, g.frameWidth);
            }
        }
    }

    TextTarget target;
    target.rect = QRect(scaled.left, scaled.top, scaled.right - scaled.left, scaled.bottom - scaled.top);
    target.scaleX = scaleX;
    target.scaleY = scaleY;
    if (canvas.device())
        target.device = TextDevice::of(*canvas.device());
    text.layout.draw(canvas, target, memo.hAlign(), memo.vAlign());
}

void drawAnyView(const View& view, QPainter& canvas, double scaleX, double scaleY, double offsetX, double offsetY)
{
    canvas.save();
    // Shapes and frames land on whole pixels; text sets its own hints.
    canvas.setRenderHint(QPainter::Antialiasing, false);
    canvas.setBackgroundMode(Qt::TransparentMode);
    if (auto* memo = dynamic_cast<const TextObjectBase*>(&view))
        drawMemo(*memo, canvas, scaleX, scaleY, offsetX, offsetY);
    else if (auto* shape = dynamic_cast<const ShapeObject*>(&view))
        drawShape(*shape, canvas, scaleX, scaleY, offsetX, offsetY);
    else if (auto* line = dynamic_cast<const LineObjectBase*>(&view))
        drawLine(*line, canvas, scaleX, scaleY, offsetX, offsetY);
    else
        drawPlainView(view, canvas, scaleX, scaleY, offsetX, offsetY);
    canvas.restore();
}

bool isPrinter(const QPainter& canvas)
{
    return canvas.device() && canvas.device()->devType() == QInternal::Printer;
}

} // namespace

TextLayout layOutText(const TextObjectBase& memo)
{
    return layOutMemo(memo).layout;
}

void fitAutoWidth(TextObjectBase& memo)
{
    if (!memo.autoWidth())
        return;
    const Box box = boxOf(memo);
    const Box fitted = layOutMemo(memo).box;
    memo.setLeft(memo.left() + fitted.left - box.left);
    memo.setWidth(fitted.width);
}

void drawView(const View& view, QPainter& canvas, double scaleX, double scaleY, double offsetX, double offsetY)
{
    drawAnyView(view, canvas, scaleX, scaleY, offsetX, offsetY);
}

QRect paperRect(const ReportPage& page, double scaleX, double scaleY, double offsetX, double offsetY)
{
    return edgeRect(roundToPixel(offsetX), roundToPixel(offsetY),
        roundToPixel(page.paperWidth() * PixelsPerMm * scaleX + offsetX) - 1,
        roundToPixel(page.paperHeight() * PixelsPerMm * scaleY + offsetY) - 1);
}

void drawPage(const PreparedPages& pages, int index, QPainter& canvas, double scaleX, double scaleY, double offsetX,
    double offsetY)
{
    const ReportPage* page = pages.page(index);
    if (!page || !canvas.isActive())
        return;
    const bool printer = isPrinter(canvas);
    canvas.save();
    if (!printer) {
        canvas.setClipRect(paperRect(*page, scaleX, scaleY, offsetX, offsetY),
            canvas.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    }
    const QRect visible = canvas.hasClipping()
        ? canvas.clipBoundingRect().toAlignedRect()
        : QRect(0, 0, canvas.device()->width(), canvas.device()->height());

    PageWalkOptions options;
    options.totalPages = pages.count();
    options.includeNotPrintable = !printer;
    // The objects count from the printable area's corner.
    const QPointF origin = pageOrigin(*page, index);
    const double objectsX = offsetX + origin.x() * scaleX;
    const double objectsY = offsetY + origin.y() * scaleY;
    walkPage(pages, index, options, [&](const ReportObject& object) {
        const auto* view = dynamic_cast<const View*>(&object);
        if (!view)
            return true;
        // Objects far outside what the canvas shows are not drawn at all.
        const Geometry g = beginDraw(boxOf(*view), view->frame(), scaleX, scaleY, objectsX, objectsY);
        const QRect reach(QPoint(std::min(g.fx, g.fx1) - 20, std::min(g.fy, g.fy1) - 20),
            QPoint(std::max(g.fx, g.fx1) + 20, std::max(g.fy, g.fy1) + 20));
        if (reach.intersects(visible))
            drawAnyView(*view, canvas, scaleX, scaleY, objectsX, objectsY);
        return true;
    });
    canvas.restore();
}

} // namespace quittung::report
