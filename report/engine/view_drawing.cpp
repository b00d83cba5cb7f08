#include "report/engine/view_drawing.h"

#include "report/document/colors.h"
#include "report/document/line_view.h"
#include "report/document/memo_view.h"
#include "report/document/page.h"
#include "report/document/shape_view.h"
#include "report/engine/draw_text.h"
#include "report/engine/engine.h"
#include "report/engine/preview_pages.h"
#include "runtime/rounding.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <optional>

// Device coordinates name whole pixels: (x, y) is the pixel whose top-left corner is at (x, y).
// Fills take integer rectangles; a cosmetic pen at integer coordinates lights exactly the named
// pixels (end point excluded with a flat cap); a wide pen of width w centred on pixel x covers
// x - w div 2 .. x - w div 2 + w - 1, so it is placed at x + 0.5 when w is odd and at x when even.

namespace quittung {

namespace {

int Round(double value)
{
    return static_cast<int>(RoundHalfEven(value));
}

std::optional<QColor> ToQColor(TColor color)
{
    const std::optional<RgbColor> rgb = ColorToRgb(color);
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

Box BoxOf(const TfrxView& view)
{
    return {view.AbsLeft(), view.AbsTop(), view.Width(), view.Height()};
}

Geometry BeginDraw(const Box& box, const TfrxFrame& frame, double scaleX, double scaleY, double offsetX,
    double offsetY)
{
    Geometry g;
    g.fx = Round(offsetX + scaleX * box.left);
    g.fy = Round(offsetY + scaleY * box.top);
    g.fx1 = Round(offsetX + scaleX * (box.left + box.width));
    g.fy1 = Round(offsetY + scaleY * (box.top + box.height));
    if (frame.DropShadow()) {
        g.fx1 -= Round(scaleX * frame.ShadowWidth());
        g.fy1 -= Round(scaleY * frame.ShadowWidth());
    }
    g.fdx = g.fx1 - g.fx;
    g.fdy = g.fy1 - g.fy;
    g.frameWidth = Round(scaleX * frame.Width());
    return g;
}

// Pixels from (left, top) to (right, bottom), the right and bottom edges excluded.
QRect EdgeRect(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

// The half-pixel shift that centres a pen of width w on a pixel (see the top of the file).
double PenCentre(int w)
{
    return (w % 2) * 0.5;
}

std::optional<Qt::BrushStyle> QtBrushStyle(TBrushStyle style)
{
    switch (style) {
    case TBrushStyle::bsSolid:
        return Qt::SolidPattern;
    case TBrushStyle::bsClear:
        return std::nullopt;
    case TBrushStyle::bsHorizontal:
        return Qt::HorPattern;
    case TBrushStyle::bsVertical:
        return Qt::VerPattern;
    case TBrushStyle::bsFDiagonal:
        return Qt::FDiagPattern;
    case TBrushStyle::bsBDiagonal:
        return Qt::BDiagPattern;
    case TBrushStyle::bsCross:
        return Qt::CrossPattern;
    case TBrushStyle::bsDiagCross:
        return Qt::DiagCrossPattern;
    }
    return Qt::SolidPattern;
}

// The brush of a view's Color and BrushStyle; none when nothing is painted.
std::optional<QBrush> FillBrush(const TfrxView& view)
{
    const std::optional<QColor> color = ToQColor(view.Color());
    const std::optional<Qt::BrushStyle> style = QtBrushStyle(view.BrushStyle());
    if (!color || !style)
        return std::nullopt;
    return QBrush(*color, *style);
}

// The dash pattern of a one-pixel pen, in pixels, as the classic desktop draws its cosmetic pens.
// Solid styles have none.
QList<qreal> DashPattern(TfrxFrameStyle style)
{
    switch (style) {
    case TfrxFrameStyle::fsDash:
        return {18, 6};
    case TfrxFrameStyle::fsDot:
        return {3, 3};
    case TfrxFrameStyle::fsDashDot:
        return {9, 6, 3, 6};
    case TfrxFrameStyle::fsDashDotDot:
        return {9, 3, 3, 3, 3, 3};
    case TfrxFrameStyle::fsAltDot:
        return {1, 1};
    case TfrxFrameStyle::fsSquare:
        return {3, 3};
    case TfrxFrameStyle::fsSolid:
    case TfrxFrameStyle::fsDouble:
        break;
    }
    return {};
}

bool IsSolid(TfrxFrameStyle style)
{
    return style == TfrxFrameStyle::fsSolid || style == TfrxFrameStyle::fsDouble;
}

// A one-pixel pen; its segments leave out their end point like every thin line on the page.
QPen CosmeticPen(const QColor& color, TfrxFrameStyle style)
{
    QPen pen(color, 0);
    pen.setCosmetic(true);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    const QList<qreal> dashes = DashPattern(style);
    if (!dashes.isEmpty())
        pen.setDashPattern(dashes);
    return pen;
}

// A line of width w from w one-pixel segments side by side, with the pen already set.
void StrokeParallel(QPainter& canvas, int x1, int y1, int x2, int y2, int w)
{
    if (x1 == x2 && y1 == y2)
        return;
    w = std::max(w, 1);
    const bool shiftY = std::abs(x2 - x1) > std::abs(y2 - y1);
    for (int k = -(w / 2); k <= w - 1 - w / 2; ++k) {
        const int dx = shiftY ? 0 : k;
        const int dy = shiftY ? k : 0;
        canvas.drawLine(QPoint(x1 + dx, y1 + dy), QPoint(x2 + dx, y2 + dy));
    }
}

void DrawBackground(const TfrxView& view, QPainter& canvas, const Geometry& g)
{
    const std::optional<QBrush> brush = FillBrush(view);
    if (brush)
        canvas.fillRect(EdgeRect(g.fx, g.fy, g.fx1, g.fy1), *brush);
}

enum class Side { Left, Right, Top, Bottom };

void DrawSide(QPainter& canvas, Side side, const TfrxFrameLine& line, int typ, const Geometry& g,
    std::optional<QColor> gapColor, double scaleX)
{
    const std::optional<QColor> color = ToQColor(line.Color());
    if (!color || line.Width() <= 0)
        return;
    const int w = std::max(1, Round(line.Width() * scaleX));
    const int half = w / 2;
    const int a = (typ & ftTop) ? 0 : half;
    const int b = (typ & ftBottom) ? 0 : half;
    const int c = (typ & ftLeft) ? 0 : half;
    const int d = (typ & ftRight) ? 0 : half;
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

    if (IsSolid(line.Style())) {
        QPen pen(*color, w);
        pen.setCapStyle(Qt::SquareCap);
        pen.setJoinStyle(Qt::MiterJoin);
        canvas.setPen(pen);
        const double centre = PenCentre(w);
        canvas.drawLine(QPointF(x1 + centre, y1 + centre), QPointF(x2 + centre, y2 + centre));
        return;
    }
    // The gaps of a dashed side show the view's colour: lay a solid line under the dashes.
    if (gapColor) {
        canvas.setPen(CosmeticPen(*gapColor, TfrxFrameStyle::fsSolid));
        StrokeParallel(canvas, x1, y1, x2, y2, w);
    }
    canvas.setPen(CosmeticPen(*color, line.Style()));
    StrokeParallel(canvas, x1, y1, x2, y2, w);
}

void DrawFrame(const TfrxFrame& frame, TColor viewColor, QPainter& canvas, const Geometry& g, double scaleX,
    double scaleY)
{
    if (frame.DropShadow()) {
        const std::optional<QColor> shadow = ToQColor(frame.ShadowColor());
        const int sx = Round(frame.ShadowWidth() * scaleX);
        const int sy = Round(frame.ShadowWidth() * scaleY);
        // The strips fill the room the begin-draw step took off the box, shifted down and right.
        if (shadow && sx > 0 && sy > 0) {
            canvas.fillRect(EdgeRect(g.fx1 + 1, g.fy + sy, g.fx1 + sx + 1, g.fy1 + sy + 1), *shadow);
            canvas.fillRect(EdgeRect(g.fx + sx, g.fy1 + 1, g.fx1 + sx + 1, g.fy1 + sy + 1), *shadow);
        }
    }
    const int typ = frame.Typ();
    if (typ == 0 || !ToQColor(frame.Color()) || frame.Width() == 0)
        return;
    const std::optional<QColor> gapColor = ToQColor(viewColor);
    if (typ & ftLeft)
        DrawSide(canvas, Side::Left, frame.LeftLine(), typ, g, gapColor, scaleX);
    if (typ & ftRight)
        DrawSide(canvas, Side::Right, frame.RightLine(), typ, g, gapColor, scaleX);
    if (typ & ftTop)
        DrawSide(canvas, Side::Top, frame.TopLine(), typ, g, gapColor, scaleX);
    if (typ & ftBottom)
        DrawSide(canvas, Side::Bottom, frame.BottomLine(), typ, g, gapColor, scaleX);
}

void DrawPlainView(TfrxView& view, QPainter& canvas, double scaleX, double scaleY, double offsetX, double offsetY)
{
    const Geometry g = BeginDraw(BoxOf(view), view.Frame(), scaleX, scaleY, offsetX, offsetY);
    DrawBackground(view, canvas, g);
    DrawFrame(view.Frame(), view.Color(), canvas, g, scaleX, scaleY);
}

void DrawShape(TfrxShapeView& shape, QPainter& canvas, double scaleX, double scaleY, double offsetX,
    double offsetY)
{
    const TfrxFrame& frame = shape.Frame();
    const Geometry g = BeginDraw(BoxOf(shape), frame, scaleX, scaleY, offsetX, offsetY);
    const std::optional<QColor> penColor = ToQColor(frame.Color());
    const int w = std::max(1, g.frameWidth);

    if (shape.Shape() == TfrxShapeKind::skDiagonal1 || shape.Shape() == TfrxShapeKind::skDiagonal2) {
        if (!penColor)
            return;
        canvas.setPen(CosmeticPen(*penColor, frame.Style()));
        if (shape.Shape() == TfrxShapeKind::skDiagonal1)
            StrokeParallel(canvas, g.fx, g.fy1, g.fx1, g.fy, g.frameWidth);
        else
            StrokeParallel(canvas, g.fx, g.fy, g.fx1, g.fy1, g.frameWidth);
        return;
    }

    // A one-pixel outline lights the pixels at the corner coordinates; a wider one is centred on
    // them. Wide pens are solid whatever the style, as on the classic desktop.
    double shift = 0;
    if (!penColor) {
        canvas.setPen(Qt::NoPen);
    } else if (w == 1) {
        canvas.setPen(CosmeticPen(*penColor, frame.Style()));
    } else {
        QPen pen(*penColor, w);
        pen.setJoinStyle(Qt::MiterJoin);
        pen.setCapStyle(Qt::SquareCap);
        canvas.setPen(pen);
        shift = PenCentre(w);
    }
    const std::optional<QBrush> brush = FillBrush(shape);
    canvas.setBrush(brush ? *brush : QBrush(Qt::NoBrush));
    const std::optional<QColor> background = ToQColor(shape.Color());
    if (background) {
        canvas.setBackgroundMode(Qt::OpaqueMode);
        canvas.setBackground(*background);
    }

    const double x = g.fx + shift;
    const double y = g.fy + shift;
    const double x1 = g.fx1 + shift;
    const double y1 = g.fy1 + shift;
    const QRectF box(x, y, g.fdx, g.fdy);
    switch (shape.Shape()) {
    case TfrxShapeKind::skRectangle:
        canvas.drawRect(box);
        break;
    case TfrxShapeKind::skRoundRectangle: {
        const int corner = shape.Curve() != 0 ? Round(shape.Curve() * scaleX * 10) : std::min(g.fdx, g.fdy) / 4;
        canvas.drawRoundedRect(box, corner / 2.0, corner / 2.0, Qt::AbsoluteSize);
        break;
    }
    case TfrxShapeKind::skEllipse:
        canvas.drawEllipse(box);
        break;
    case TfrxShapeKind::skTriangle: {
        const QPointF points[] = {{x1, y1}, {x, y1}, {x + g.fdx / 2, y}};
        canvas.drawPolygon(points, 3);
        break;
    }
    case TfrxShapeKind::skDiamond: {
        const QPointF points[] = {{x + g.fdx / 2, y}, {x1, y + g.fdy / 2}, {x + g.fdx / 2, y1}, {x, y + g.fdy / 2}};
        canvas.drawPolygon(points, 4);
        break;
    }
    case TfrxShapeKind::skDiagonal1:
    case TfrxShapeKind::skDiagonal2:
        break;
    }
}

void DrawLine(TfrxCustomLineView& line, QPainter& canvas, double scaleX, double scaleY, double offsetX,
    double offsetY)
{
    const TfrxFrame& frame = line.Frame();
    Box box = BoxOf(line);
    if (line.Diagonal()) {
        const std::optional<QColor> color = ToQColor(frame.Color());
        if (!color || frame.Width() == 0)
            return;
        const Geometry g = BeginDraw(box, frame, scaleX, scaleY, offsetX, offsetY);
        canvas.setPen(CosmeticPen(*color, frame.Style()));
        StrokeParallel(canvas, g.fx, g.fy, g.fx1, g.fy1, g.frameWidth);
        return;
    }
    // The prepared line keeps its box; only this drawing turns it upright or flat.
    TfrxFrame turned(frame);
    if (box.width <= box.height) {
        box.width = 0;
        turned.SetTyp(ftLeft);
    } else {
        box.height = 0;
        turned.SetTyp(ftTop);
    }
    const Geometry g = BeginDraw(box, turned, scaleX, scaleY, offsetX, offsetY);
    DrawFrame(turned, line.Color(), canvas, g, scaleX, scaleY);
}

// The text rectangle inside the frame and the gaps: left, top, right, bottom.
struct TextEdges {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

TextEdges TextRect(const TfrxCustomMemoView& memo, const Geometry& g, double scaleX, double scaleY)
{
    const int typ = memo.Frame().Typ();
    const double w = memo.Frame().Width();
    TextEdges edges;
    edges.left = g.fx + ((typ & ftLeft) ? Round((scaleX * w - 1) / 2) : 0) + Round(scaleX * memo.GapX());
    edges.top = g.fy + ((typ & ftTop) ? Round((scaleY * w - 1) / 2) : 0) + Round(scaleY * memo.GapY());
    edges.right = g.fx1 - ((typ & ftRight) ? Round(scaleX * w / 2) : 0) - Round(scaleX * memo.GapX()) + 1;
    edges.bottom = g.fy1 - ((typ & ftBottom) ? Round(scaleY * w / 2) : 0) - Round(scaleY * memo.GapY()) + 1;
    return edges;
}

// Unlocks the report's layout object however the drawing ends.
class DrawTextLock {
public:
    explicit DrawTextLock(TfrxDrawText& drawText)
        : m_drawText(drawText)
    {
        m_drawText.Lock();
    }
    ~DrawTextLock() { m_drawText.Unlock(); }
    DrawTextLock(const DrawTextLock&) = delete;
    DrawTextLock& operator=(const DrawTextLock&) = delete;

private:
    TfrxDrawText& m_drawText;
};

// The text of a text object laid out in a box, at a scale and an offset.
struct TextLayoutOf {
    Geometry g;
    TextEdges scaled;
};

TextLayoutOf LayOutMemo(const TfrxCustomMemoView& memo, const Box& box, double scaleX, double scaleY, double offsetX,
    double offsetY, TfrxDrawText& drawText)
{
    TextLayoutOf layout;
    layout.g = BeginDraw(box, memo.Frame(), scaleX, scaleY, offsetX, offsetY);
    layout.scaled = TextRect(memo, layout.g, scaleX, scaleY);
    const TextEdges original = TextRect(memo, BeginDraw(box, memo.Frame(), 1, 1, 0, 0), 1, 1);
    const TextEdges& scaled = layout.scaled;
    drawText.SetDimensions(scaleX, scaleY, 1,
        QRectF(original.left, original.top, original.right - original.left, original.bottom - original.top),
        QRect(scaled.left, scaled.top, scaled.right - scaled.left, scaled.bottom - scaled.top));
    drawText.SetText(memo.Memo());
    drawText.SetParaBreaks(memo.FirstParaBreak(), memo.LastParaBreak());
    return layout;
}

void SetUpText(const TfrxCustomMemoView& memo, TfrxDrawText& drawText)
{
    drawText.SetFont(memo.Font());
    drawText.SetOptions(memo.WordWrap(), memo.AllowHTMLTags(), memo.RTLReading(), memo.WordBreak(), memo.Clipped(),
        memo.Wysiwyg(), memo.Rotation());
    drawText.SetGaps(memo.ParagraphGap(), memo.CharSpacing(), memo.LineSpacing());
}

// The box of an auto-width object once its text is laid out: as wide as the widest line and both
// gaps, keeping the right edge of right-aligned text and the centre of centred text.
Box AutoWidthBox(Box box, const TfrxCustomMemoView& memo, const TfrxDrawText& drawText)
{
    const double width = drawText.CalcWidth() + 2 * memo.GapX();
    if (memo.HAlign() == TfrxHAlign::haRight)
        box.left += box.width - width;
    else if (memo.HAlign() == TfrxHAlign::haCenter)
        box.left += (box.width - width) / 2;
    box.width = width;
    return box;
}

void DrawMemo(TfrxCustomMemoView& memo, QPainter& canvas, double scaleX, double scaleY, double offsetX,
    double offsetY, TfrxDrawText& drawText)
{
    const DrawTextLock lock(drawText);
    SetUpText(memo, drawText);

    Box box = BoxOf(memo);
    TextLayoutOf layout = LayOutMemo(memo, box, scaleX, scaleY, offsetX, offsetY, drawText);
    if (memo.AutoWidth()) {
        box = AutoWidthBox(box, memo, drawText);
        layout = LayOutMemo(memo, box, scaleX, scaleY, offsetX, offsetY, drawText);
    }
    const Geometry& g = layout.g;
    const TextEdges& scaled = layout.scaled;

    DrawBackground(memo, canvas, g);
    DrawFrame(memo.Frame(), memo.Color(), canvas, g, scaleX, scaleY);

    if (memo.Underlines()) {
        const std::optional<QColor> color = ToQColor(memo.Frame().Color());
        if (color) {
            canvas.setPen(CosmeticPen(*color, TfrxFrameStyle::fsSolid));
            const double step = drawText.LineHeight() * scaleY;
            const auto lines = static_cast<int>(drawText.Lines().size());
            for (int i = 1; i <= lines; ++i) {
                const int y = scaled.top + Round(i * step);
                StrokeParallel(canvas, scaled.left, y, scaled.right, y, g.frameWidth);
            }
        }
    }

    drawText.DrawText(canvas, memo.HAlign(), memo.VAlign());
}

// What DrawPage hands every text object beyond the view's own drawing.
struct OutputContext {
    int totalPages = 0;
    int copyNumber = 1;
};

// The macros are expanded for one drawing only, so that the next copy names itself anew and the
// prepared page stays as the engine made it.
class KeptText {
public:
    explicit KeptText(TfrxCustomMemoView& memo)
        : m_memo(memo)
        , m_lines(memo.Memo())
    {
    }
    ~KeptText() { m_memo.SetMemo(m_lines); }
    KeptText(const KeptText&) = delete;
    KeptText& operator=(const KeptText&) = delete;

private:
    TfrxCustomMemoView& m_memo;
    QStringList m_lines;
};

void DrawAnyView(TfrxView& view, QPainter& canvas, double scaleX, double scaleY, double offsetX, double offsetY,
    TfrxDrawText& drawText, const OutputContext* output)
{
    canvas.save();
    // Shapes and frames land on whole pixels; text sets its own hints.
    canvas.setRenderHint(QPainter::Antialiasing, false);
    canvas.setBackgroundMode(Qt::TransparentMode);
    if (auto* memo = dynamic_cast<TfrxCustomMemoView*>(&view)) {
        const KeptText kept(*memo);
        if (output)
            ExtractMacros(*memo, output->totalPages, output->copyNumber);
        DrawMemo(*memo, canvas, scaleX, scaleY, offsetX, offsetY, drawText);
    } else if (auto* shape = dynamic_cast<TfrxShapeView*>(&view)) {
        DrawShape(*shape, canvas, scaleX, scaleY, offsetX, offsetY);
    } else if (auto* line = dynamic_cast<TfrxCustomLineView*>(&view)) {
        DrawLine(*line, canvas, scaleX, scaleY, offsetX, offsetY);
    } else {
        DrawPlainView(view, canvas, scaleX, scaleY, offsetX, offsetY);
    }
    canvas.restore();
}

bool IsPrinter(const QPainter& canvas)
{
    return canvas.device() && canvas.device()->devType() == QInternal::Printer;
}

} // namespace

void FitAutoWidth(TfrxCustomMemoView& memo, TfrxDrawText& drawText)
{
    if (!memo.AutoWidth())
        return;
    const DrawTextLock lock(drawText);
    SetUpText(memo, drawText);
    const Box box = BoxOf(memo);
    LayOutMemo(memo, box, 1, 1, 0, 0, drawText);
    const Box fitted = AutoWidthBox(box, memo, drawText);
    memo.SetLeft(memo.Left() + fitted.left - box.left);
    memo.SetWidth(fitted.width);
}

void DrawView(TfrxView& view, QPainter& canvas, double scaleX, double scaleY, double offsetX, double offsetY,
    TfrxDrawText& drawText)
{
    DrawAnyView(view, canvas, scaleX, scaleY, offsetX, offsetY, drawText, nullptr);
}

void DrawPage(const TfrxPreviewPages& pages, int index, QPainter& canvas, double scaleX, double scaleY,
    double offsetX, double offsetY, TfrxDrawText& drawText, int copyNumber)
{
    TfrxReportPage* page = pages.Page(index);
    if (!page || !canvas.isActive())
        return;
    double leftMargin = page->LeftMargin();
    const double topMargin = page->TopMargin();
    if (page->MirrorMargins() && index % 2 == 1)
        leftMargin = page->RightMargin();

    const bool printer = IsPrinter(canvas);
    canvas.save();
    if (!printer) {
        const QRect paper = EdgeRect(Round(offsetX), Round(offsetY),
            Round(page->PaperWidth() * PixelsPerMm * scaleX + offsetX) - 1,
            Round(page->PaperHeight() * PixelsPerMm * scaleY + offsetY) - 1);
        canvas.setClipRect(paper, canvas.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    }
    const QRect visible = canvas.hasClipping()
        ? canvas.clipBoundingRect().toAlignedRect()
        : QRect(0, 0, canvas.device()->width(), canvas.device()->height());

    offsetX += leftMargin * PixelsPerMm * scaleX;
    offsetY += topMargin * PixelsPerMm * scaleY;

    const OutputContext output{pages.Count(), copyNumber};
    for (TfrxComponent* object : page->AllObjects()) {
        auto* view = dynamic_cast<TfrxView*>(object);
        if (!view)
            continue;
        if (printer && !view->Printable())
            continue;
        const Geometry g = BeginDraw(BoxOf(*view), view->Frame(), scaleX, scaleY, offsetX, offsetY);
        const QRect reach(QPoint(std::min(g.fx, g.fx1) - 20, std::min(g.fy, g.fy1) - 20),
            QPoint(std::max(g.fx, g.fx1) + 20, std::max(g.fy, g.fy1) + 20));
        if (!reach.intersects(visible))
            continue;
        DrawAnyView(*view, canvas, scaleX, scaleY, offsetX, offsetY, drawText, &output);
    }
    canvas.restore();
}

} // namespace quittung
