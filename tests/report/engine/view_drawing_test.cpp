#include "report/engine/pages/view_drawing.h"

#include "report/document/band.h"
#include "report/document/builtin_design.h"
#include "report/document/line_object.h"
#include "report/document/text_object.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/document/shape_object.h"
#include "report/engine/text/text_layout.h"
#include "report/engine/pages/report_preparer.h"
#include "report/engine/pages/prepared_pages.h"
#include "tools/example_receipt.h"
#include "tests/support/qt_printers.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace quittung;
using namespace quittung::report;

namespace {

constexpr Color kRed = 0x0000FF;
constexpr Color kBlue = 0xFF0000;

// A small white canvas; pixels read back as '#' black, 'r' red, 'b' blue, '.' white, '?' else.
struct Canvas {
    explicit Canvas(int width = 16, int height = 12)
        : image(width, height, QImage::Format_RGB32)
    {
        image.fill(Qt::white);
    }

    QString art() const
    {
        QString text;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y) & 0xFFFFFF;
                text += pixel == 0x000000 ? '#'
                    : pixel == 0xFF0000   ? 'r'
                    : pixel == 0x0000FF   ? 'b'
                    : pixel == 0xFFFFFF   ? '.'
                                          : '?';
            }
            text += '\n';
        }
        return text;
    }

    void draw(View& view, double scale = 1, double offsetX = 0, double offsetY = 0)
    {
        QPainter painter(&image);
        drawView(view, painter, scale, scale, offsetX, offsetY);
    }

    QImage image;
};

// Rows of pixel art joined, one string per image row.
QString rows(std::initializer_list<const char*> lines)
{
    QString text;
    for (const char* line : lines)
        text += QString::fromLatin1(line) + '\n';
    return text;
}

// A paint device that claims to be a printer and counts what reaches its engine.
class RecordingEngine : public QPaintEngine {
public:
    RecordingEngine()
        : QPaintEngine(QPaintEngine::AllFeatures)
    {
    }
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    Type type() const override { return QPaintEngine::User; }
    using QPaintEngine::drawLines;
    using QPaintEngine::drawPolygon;
    using QPaintEngine::drawRects;
    void drawRects(const QRectF*, int count) override { calls += count; }
    void drawLines(const QLineF*, int count) override { calls += count; }
    void drawPath(const QPainterPath&) override { ++calls; }
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override { ++calls; }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override { ++calls; }
    void drawTextItem(const QPointF&, const QTextItem&) override { ++calls; }

    int calls = 0;
};

class RecordingPrinter : public QPaintDevice {
public:
    int devType() const override { return QInternal::Printer; }
    QPaintEngine* paintEngine() const override { return &engine; }

    mutable RecordingEngine engine;

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
        case PdmHeight:
            return 200;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 0;
        }
    }
};

template <class T>
std::unique_ptr<T> makeView(double left, double top, double width, double height)
{
    auto view = std::make_unique<T>();
    view->setBounds(left, top, width, height);
    return view;
}

} // namespace

TEST(ViewDrawing, BackgroundFillsFromTheRoundedCornerUpToButExcludingTheFarEdges)
{
    struct Case {
        double left, top, width, height, scale, offsetX, offsetY;
        QRect pixels;
    };
    const Case cases[] = {
        {2, 3, 5, 4, 1, 0, 0, QRect(2, 3, 5, 4)},
        // Halves go to the even neighbour: 0.5 → 0, 2.5 → 2, 7.5 → 8.
        {0.5, 2.5, 7, 5, 1, 0, 0, QRect(0, 2, 8, 6)},
        {2, 1, 3, 2, 2, 1.25, 0.5, QRect(5, 2, 6, 4)},
    };
    for (const Case& c : cases) {
        Canvas canvas;
        auto view = makeView<View>(c.left, c.top, c.width, c.height);
        view->setColor(kRed);
        canvas.draw(*view, c.scale, c.offsetX, c.offsetY);
        Canvas expected;
        QPainter(&expected.image).fillRect(c.pixels, Qt::red);
        EXPECT_EQ(canvas.art(), expected.art()) << c.left << ' ' << c.top << " scale " << c.scale;
    }
}

TEST(ViewDrawing, OnePixelFrameCoversFirstToLastPixelInclusive)
{
    Canvas canvas(12, 9);
    auto view = makeView<View>(2, 1, 7, 5);
    view->frame().setSides(FrameSide::Left | FrameSide::Right | FrameSide::Top | FrameSide::Bottom);
    view->setColor(kBlue);
    canvas.draw(*view);
    EXPECT_EQ(canvas.art(), rows({
                                "............",
                                "..########..",
                                "..#bbbbbb#..",
                                "..#bbbbbb#..",
                                "..#bbbbbb#..",
                                "..#bbbbbb#..",
                                "..########..",
                                "............",
                                "............",
                            }));
}

TEST(ViewDrawing, FrameWithoutColourOrWidthDrawsNothingButTheBackground)
{
    struct Case {
        const char* name;
        void (*change)(Frame&);
    };
    const Case cases[] = {
        {"colour clNone", [](Frame& frame) { frame.setColor(colors::None); }},
        {"width 0", [](Frame& frame) { frame.setWidth(0); }},
        {"no sides", [](Frame& frame) { frame.setSides({}); }},
    };
    for (const Case& c : cases) {
        Canvas canvas(8, 6);
        auto view = makeView<View>(1, 1, 5, 3);
        view->frame().setSides(AllFrameSides);
        view->setColor(kRed);
        c.change(view->frame());
        canvas.draw(*view);
        EXPECT_EQ(canvas.art(), rows({
                                    "........",
                                    ".rrrrr..",
                                    ".rrrrr..",
                                    ".rrrrr..",
                                    "........",
                                    "........",
                                }))
            << c.name;
    }
}

TEST(ViewDrawing, WideSidesHaveSquareCapsAndShortenWhereNoNeighbourIsDrawn)
{
    struct Case {
        FrameSides typ;
        QString art;
    };
    const Case cases[] = {
        // Left and top meet: the caps close the corner; the free ends lose half the width.
        {FrameSide::Left | FrameSide::Top, rows({
                             "..............",
                             "..............",
                             "..###########.",
                             "..###########.",
                             "..###########.",
                             "..###.........",
                             "..###.........",
                             "..###.........",
                             "..###.........",
                             "..###.........",
                             "..............",
                             "..............",
                         })},
        // Alone, a side starts and ends half its width inside the box.
        {FrameSide::Bottom, rows({
                       "..............",
                       "..............",
                       "..............",
                       "..............",
                       "..............",
                       "..............",
                       "..............",
                       "..............",
                       "...##########.",
                       "...##########.",
                       "...##########.",
                       "..............",
                   })},
    };
    for (const Case& c : cases) {
        Canvas canvas(14, 12);
        auto view = makeView<View>(3, 3, 9, 6);
        view->frame().setSides(c.typ);
        view->frame().setWidth(3);
        canvas.draw(*view);
        EXPECT_EQ(canvas.art(), c.art) << "Typ " << c.typ;
    }
}

TEST(ViewDrawing, SidesUseTheirOwnLineColourAndWidth)
{
    Canvas canvas(10, 8);
    auto view = makeView<View>(1, 1, 7, 5);
    view->frame().setSides(FrameSide::Left | FrameSide::Top);
    view->frame().leftLine().setColor(kRed);
    view->frame().topLine().setWidth(2);
    canvas.draw(*view, 1);
    EXPECT_EQ(canvas.art(), rows({
                                "########..",
                                "########..",
                                ".r........",
                                ".r........",
                                ".r........",
                                ".r........",
                                ".r........",
                                "..........",
                            }));
}

TEST(ViewDrawing, DashedSidesAreParallelOnePixelLinesWithTheViewColourInTheGaps)
{
    struct Case {
        Color color;
        double width;
        QString art;
    };
    const Case cases[] = {
        {colors::None, 1, rows({"................", "..###...###...##", "................"})},
        {kRed, 1, rows({"................", "..###rrr###rrr##", "................"})},
        // Two pixels wide, the side loses one pixel at each free end.
        {colors::None, 2, rows({"...###...###....", "...###...###....", "................"})},
    };
    for (const Case& c : cases) {
        Canvas canvas(16, 3);
        auto view = makeView<View>(2, 1, 14, 0);
        view->setColor(c.color);
        view->frame().setSides(FrameSide::Top);
        view->frame().setStyle(FrameStyle::Dot);
        view->frame().setWidth(c.width);
        canvas.draw(*view);
        EXPECT_EQ(canvas.art(), c.art) << "width " << c.width;
    }
}

TEST(ViewDrawing, DropShadowFillsTheRoomTakenOffTheBox)
{
    Canvas canvas(10, 9);
    auto view = makeView<View>(1, 1, 7, 6);
    view->frame().setDropShadow(true);
    view->frame().setShadowWidth(2);
    view->frame().setShadowColor(kRed);
    view->frame().setSides(AllFrameSides);
    canvas.draw(*view);
    EXPECT_EQ(canvas.art(), rows({
                                "..........",
                                ".######...",
                                ".#....#...",
                                ".#....#rr.",
                                ".#....#rr.",
                                ".######rr.",
                                "...rrrrrr.",
                                "...rrrrrr.",
                                "..........",
                            }));
}

TEST(ViewDrawing, HorizontalLineIsOneSegmentWithSquareCaps)
{
    struct Case {
        double frameWidth;
        int firstRow, lastRow;
    };
    for (const Case& c : {Case{1, 3, 3}, Case{3, 2, 4}}) {
        Canvas canvas(24, 7);
        auto line = makeView<LineObject>(2, 3, 18.89765, 0);
        line->frame().setSides(FrameSide::Top);
        line->frame().setWidth(c.frameWidth);
        canvas.draw(*line);
        for (int y = 0; y < canvas.image.height(); ++y) {
            const bool inked = y >= c.firstRow && y <= c.lastRow;
            // FX = 2 and FX1 = round(20.89765) = 21; half a width in and a square cap out again.
            const QString expected = inked ? QString("..") + QString(20, '#') + ".." : QString(24, '.');
            EXPECT_EQ(canvas.art().split('\n')[y], expected) << "width " << c.frameWidth << " row " << y;
        }
    }
}

TEST(ViewDrawing, LineNotWiderThanHighTurnsVerticalForThisDrawingOnly)
{
    for (const FrameSides typ : {FrameSides(FrameSide::Top), FrameSides(FrameSide::Bottom), FrameSides()}) {
        Canvas canvas(8, 8);
        auto line = makeView<LineObject>(2, 1, 3, 5);
        line->frame().setSides(typ);
        canvas.draw(*line);
        EXPECT_EQ(canvas.art(), rows({
                                    "........",
                                    "..#.....",
                                    "..#.....",
                                    "..#.....",
                                    "..#.....",
                                    "..#.....",
                                    "..#.....",
                                    "........",
                                }))
            << "Typ " << typ;
        EXPECT_EQ(line->width(), 3);
        EXPECT_EQ(line->frame().sides(), typ);
    }
}

TEST(ViewDrawing, DiagonalLineOfHeightZeroIsARuleWithoutItsEndPoint)
{
    Canvas canvas(12, 5);
    auto line = makeView<LineObject>(1, 2, 9, 0);
    line->setDiagonal(true);
    line->frame().setWidth(2);
    canvas.draw(*line);
    EXPECT_EQ(canvas.art(), rows({
                                "............",
                                ".#########..",
                                ".#########..",
                                "............",
                                "............",
                            }));
}

TEST(ViewDrawing, RectangleShapeOutlinesFirstToLastPixelAndFillsInside)
{
    struct Case {
        Color fill;
        Color frame;
        QString art;
    };
    const Case cases[] = {
        {colors::None, colors::Black, rows({"..........", ".#######..", ".#.....#..", ".#.....#..", ".#######..", ".........."})},
        {kRed, colors::Black, rows({"..........", ".#######..", ".#rrrrr#..", ".#rrrrr#..", ".#######..", ".........."})},
        // Without a pen the fill stops before the far edges, like a background.
        {kRed, colors::None, rows({"..........", ".rrrrrr...", ".rrrrrr...", ".rrrrrr...", "..........", ".........."})},
    };
    for (const Case& c : cases) {
        Canvas canvas(10, 6);
        auto shape = makeView<ShapeObject>(1, 1, 6, 3);
        shape->setColor(c.fill);
        shape->frame().setColor(c.frame);
        canvas.draw(*shape);
        EXPECT_EQ(canvas.art(), c.art);
    }
}

TEST(ViewDrawing, WideRectangleOutlineIsCentredOnTheEdgePixels)
{
    Canvas canvas(12, 10);
    auto shape = makeView<ShapeObject>(2, 2, 7, 5);
    shape->frame().setWidth(3);
    canvas.draw(*shape);
    EXPECT_EQ(canvas.art(), rows({
                                "............",
                                ".##########.",
                                ".##########.",
                                ".##########.",
                                ".###....###.",
                                ".###....###.",
                                ".##########.",
                                ".##########.",
                                ".##########.",
                                "............",
                            }));
}

TEST(ViewDrawing, OtherShapesStayInsideTheirBox)
{
    for (const ShapeKind kind : {ShapeKind::RoundRectangle, ShapeKind::Ellipse, ShapeKind::Triangle, ShapeKind::Diamond,
             ShapeKind::Diagonal1, ShapeKind::Diagonal2}) {
        Canvas canvas(24, 20);
        auto shape = makeView<ShapeObject>(3, 2, 16, 12);
        shape->setShape(kind);
        shape->setColor(kRed);
        canvas.draw(*shape);
        int black = 0;
        for (int y = 0; y < canvas.image.height(); ++y) {
            for (int x = 0; x < canvas.image.width(); ++x) {
                if (canvas.image.pixel(x, y) == qRgb(255, 255, 255))
                    continue;
                EXPECT_TRUE(x >= 3 && x <= 19 && y >= 2 && y <= 14) << int(kind) << " at " << x << ',' << y;
                black += canvas.image.pixel(x, y) == qRgb(0, 0, 0);
            }
        }
        EXPECT_GT(black, 12) << int(kind);
    }
}

// A frame width from a template may be millions of pixels, each drawn as a one-pixel copy of the
// stroke: only the copies that can touch the device are drawn.
TEST(ViewDrawing, WideStrokesDrawOnlyTheCopiesTheDeviceShows)
{
    const auto dashedFrame = [](double width) {
        auto view = makeView<View>(-30, 4, 60, 20);
        view->setColor(kRed);
        view->frame().setSides(AllFrameSides);
        view->frame().setStyle(FrameStyle::Dash);
        view->frame().setWidth(width);
        return view;
    };
    // Covered by the frame's sides, the whole canvas is black, however wide they are.
    const QString black = QString(QStringLiteral("################\n")).repeated(12);
    for (const double width : {41.0, 1e7}) {
        Canvas canvas;
        canvas.draw(*dashedFrame(width));
        EXPECT_EQ(canvas.art(), black) << width;
    }

    const auto frame = dashedFrame(1e7);
    auto diagonal = makeView<ShapeObject>(-5, -20, 40, 70);
    diagonal->setShape(ShapeKind::Diagonal1);
    diagonal->frame().setStyle(FrameStyle::Dot);
    diagonal->frame().setWidth(1e7);
    for (View* view : {static_cast<View*>(frame.get()), static_cast<View*>(diagonal.get())}) {
        RecordingPrinter printer;
        {
            QPainter painter(&printer);
            drawView(*view, painter, 1, 1, 0, 0);
        }
        EXPECT_GT(printer.engine.calls, 0);
        EXPECT_LT(printer.engine.calls, 5000);
    }
}

namespace {

// One output page of a given paper with its margins in millimetres, objects added at page
// coordinates below a null band.
struct HandMadePages {
    ReportPage& addPage(double paperWidth, double paperHeight, double left, double top, double right)
    {
        ReportPage source;
        source.setPaperWidth(paperWidth);
        source.setPaperHeight(paperHeight);
        source.setLeftMargin(left);
        source.setTopMargin(top);
        source.setRightMargin(right);
        ReportPage& page = pages.addPage(source);
        page.add<PageObjectsBand>();
        return page;
    }

    template <class T>
    T* addObject(ReportPage& page, double left, double top, double width, double height)
    {
        auto* object = page.children().front()->add<T>();
        object->setBounds(left, top, width, height);
        return object;
    }

    quittung::report::PreparedPages pages;
};

} // namespace

TEST(DrawPage, MarginsMoveTheObjectsWithoutRoundingAndMirrorOnOddPages)
{
    // Left margins of 0.6 mm (2.268 px) and 2 mm (7.559 px): with the offset of 0.3 only their
    // unrounded sum moves the box a pixel further.
    HandMadePages prepared;
    for (int i = 0; i < 2; ++i) {
        ReportPage& page = prepared.addPage(10, 5, 0.6, 1, 2);
        page.setMirrorMargins(true);
        prepared.addObject<View>(page, 0, 0, 3, 2)->setColor(kRed);
    }
    struct Case {
        int index;
        QRect pixels;
    };
    for (const Case& c : {Case{0, QRect(3, 4, 3, 2)}, Case{1, QRect(8, 4, 3, 2)}}) {
        Canvas canvas(20, 10);
        {
            QPainter painter(&canvas.image);
            drawPage(prepared.pages, c.index, painter, 1, 1, 0.3, 0.2);
        }
        Canvas expected(20, 10);
        QPainter(&expected.image).fillRect(c.pixels, Qt::red);
        EXPECT_EQ(canvas.art(), expected.art()) << "page " << c.index;
    }
}

TEST(DrawPage, ObjectsAreClippedBeforeThePaperEdge)
{
    // 5 mm of paper at offset 2 end at round(20.898) - 1 = 20, and that edge is excluded.
    HandMadePages prepared;
    ReportPage& page = prepared.addPage(5, 3, 0, 0, 0);
    prepared.addObject<View>(page, 10, 2, 30, 4)->setColor(kRed);
    Canvas canvas(28, 8);
    {
        QPainter painter(&canvas.image);
        drawPage(prepared.pages, 0, painter, 1, 1, 2, 0);
    }
    Canvas expected(28, 8);
    QPainter(&expected.image).fillRect(QRect(12, 2, 8, 4), Qt::red);
    EXPECT_EQ(canvas.art(), expected.art());
}

TEST(DrawPage, PrinterSkipsUnprintableObjectsAndObjectsFarOutsideTheDevice)
{
    struct Case {
        double left;
        bool printable;
        bool printerDraws;
    };
    // The recording printer is 200 pixels wide; an object within 20 pixels of it still counts.
    const Case cases[] = {
        {10, true, true},
        {10, false, false},
        {215, true, true},
        {225, true, false},
    };
    for (const Case& c : cases) {
        HandMadePages prepared;
        ReportPage& page = prepared.addPage(100, 100, 0, 0, 0);
        auto* shape = prepared.addObject<ShapeObject>(page, c.left, 10, 5, 5);
        shape->setPrintable(c.printable);

        RecordingPrinter printer;
        {
            QPainter painter(&printer);
            drawPage(prepared.pages, 0, painter, 1, 1, 0, 0);
        }
        EXPECT_EQ(printer.engine.calls > 0, c.printerDraws) << c.left << ' ' << c.printable;

        // The preview draws unprintable objects.
        if (c.left < 100) {
            Canvas canvas(30, 30);
            {
                QPainter painter(&canvas.image);
                drawPage(prepared.pages, 0, painter, 1, 1, 0, 0);
            }
            EXPECT_EQ(canvas.image.pixel(10, 10), qRgb(0, 0, 0)) << c.printable;
        }
    }
}

TEST(DrawPage, TextObjectsShowThePageCountForThisDrawingOnly)
{
    const auto render = [](const QString& text) {
        HandMadePages prepared;
        for (int i = 0; i < 2; ++i) {
            ReportPage& page = prepared.addPage(40, 10, 0, 0, 0);
            auto* memo = prepared.addObject<TextObject>(page, 2, 2, 100, 20);
            memo->setText(text);
        }
        Canvas canvas(110, 26);
        {
            QPainter painter(&canvas.image);
            drawPage(prepared.pages, 0, painter, 1, 1, 0, 0);
        }
        const auto* memo = static_cast<TextObject*>(prepared.pages.page(0)->allObjects().back());
        EXPECT_EQ(memo->lines(), QStringList{text});
        return canvas.image;
    };
    const QImage macro = render(QStringLiteral("Seite 1 von [TotalPages#]"));
    EXPECT_EQ(macro, render(QStringLiteral("Seite 1 von 2")));
    EXPECT_NE(macro, render(QStringLiteral("Seite 1 von 3")));
}

TEST(ViewDrawing, TextStaysInsideItsRectangleAndFrame)
{
    Canvas canvas(120, 40);
    auto memo = makeView<TextObject>(5, 5, 100, 22);
    memo->setText(QStringLiteral("Quittung über einen sehr langen Betrag"));
    memo->frame().setSides(AllFrameSides);
    canvas.draw(*memo);
    // The frame is 5..105 × 5..27; the text rectangle starts after the gaps (left 7, top 6).
    int inked = 0;
    for (int y = 0; y < canvas.image.height(); ++y) {
        for (int x = 0; x < canvas.image.width(); ++x) {
            if (canvas.image.pixel(x, y) == qRgb(255, 255, 255))
                continue;
            const bool onFrame
                = ((x == 5 || x == 105) && y >= 5 && y <= 27) || ((y == 5 || y == 27) && x >= 5 && x <= 105);
            if (onFrame)
                continue;
            ++inked;
            EXPECT_TRUE(x >= 7 && x < 104 && y >= 6 && y < 27) << x << ',' << y;
        }
    }
    EXPECT_GT(inked, 50);
}

namespace {

// Antialiased text may come out a few steps lighter or darker with another FreeType build or
// another of Qt's blending routines. A pixel further off than that is a change of the drawing; a
// handful of them is allowed for such a pixel at the edge of a glyph, not for a missing word or a
// moved line.
constexpr int kChannelTolerance = 16;
constexpr int kStrayPixels = 8;

// The pixels in which some channel differs by more than the tolerance.
int differingPixels(const QImage& actual, const QImage& expected)
{
    int count = 0;
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            const QRgb a = actual.pixel(x, y);
            const QRgb e = expected.pixel(x, y);
            if (std::abs(qRed(a) - qRed(e)) > kChannelTolerance || std::abs(qGreen(a) - qGreen(e)) > kChannelTolerance
                || std::abs(qBlue(a) - qBlue(e)) > kChannelTolerance)
                ++count;
        }
    }
    return count;
}

QString goldenPath(const char* name)
{
    return QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("data/") + QLatin1String(name));
}

QImage goldenImage(const char* name)
{
    return QImage(goldenPath(name)).convertToFormat(QImage::Format_RGB32);
}

// The first page of the built-in design with the example receipt, drawn at scale 1; `change` alters
// the design before it is prepared.
QImage drawBuiltinDesign(const std::function<void(Report&)>& change = {})
{
    const QDateTime now(QDate(2020, 7, 3), QTime(12, 0));
    Report report([now] { return now; });
    applyBuiltinDesign(report);
    if (change)
        change(report);
    report.setLocaleSettings(FormatSettings::german());
    report.events().getValue = answerExampleReceipt;
    ReportPreparer engine(report, [now] { return now; });
    if (!engine.prepareReport() || engine.preparedPages().count() < 1) {
        ADD_FAILURE() << "the built-in design did not prepare";
        return {};
    }
    QImage image(794, 1123, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    drawPage(engine.preparedPages(), 0, painter, 1, 1, 0, 0);
    return image;
}

} // namespace

// QUITTUNG_UPDATE_GOLDEN=1 rewrites the picture after a deliberate change of the drawing.
TEST(DrawPage, BuiltinDesignLooksAsRecorded)
{
    const QImage actual = drawBuiltinDesign();
    ASSERT_FALSE(actual.isNull());
    const QString golden = goldenPath("builtin_design.png");
    if (qEnvironmentVariableIntValue("QUITTUNG_UPDATE_GOLDEN") == 1) {
        ASSERT_TRUE(actual.save(golden));
    }
    const QImage expected = goldenImage("builtin_design.png");
    ASSERT_FALSE(expected.isNull()) << golden.toStdString();
    ASSERT_EQ(actual.size(), expected.size());
    const int differing = differingPixels(actual, expected);
    if (differing > kStrayPixels) {
        const QString written = QDir::current().filePath(QStringLiteral("builtin_design.actual.png"));
        actual.save(written);
        FAIL() << differing << " pixels differ; the drawing is in " << written.toStdString();
    }
}

// The comparison above must not let the smallest visible faults through.
TEST(DrawPage, BuiltinDesignComparisonCatchesAMissingWordAndAFrameMovedByOnePixel)
{
    struct Case {
        const char* name;
        void (*change)(Report&);
    };
    const Case cases[] = {
        {"\"Nr. [QID]\" blanked", [](Report& report) {
             static_cast<TextObject*>(report.findObject(QStringLiteral("Memo2")))->setText(QString());
         }},
        {"frame of the gross amount one pixel to the right", [](Report& report) {
             ReportObject* shape = report.findObject(QStringLiteral("Shape2"));
             shape->setLeft(shape->left() + 1);
         }},
    };
    const QImage expected = goldenImage("builtin_design.png");
    ASSERT_FALSE(expected.isNull());
    for (const Case& c : cases) {
        const QImage changed = drawBuiltinDesign(c.change);
        ASSERT_EQ(changed.size(), expected.size()) << c.name;
        const int differing = differingPixels(changed, expected);
        EXPECT_GT(differing, kStrayPixels) << c.name;
    }
}
