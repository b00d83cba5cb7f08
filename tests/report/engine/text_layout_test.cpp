#include "report/engine/text/text_layout.h"

#include "report/engine/text/font_service.h"
#include "runtime/rounding.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cmath>
#include <numeric>

using namespace quittung;
using namespace quittung::report;

namespace {

using Device = TextDevice;

// A text object's layout settings; the defaults are a receipt's Arial 10 at scale 1.
struct Layout {
    int fontHeight = -13;
    FontStyles fontStyle;
    Color fontColor = colors::Black;
    double width = 200;
    double height = 100;
    bool wordWrap = true;
    bool html = false;
    bool rtl = false;
    bool wordBreak = false;
    bool clipped = true;
    bool wysiwyg = true;
    int rotation = 0;
    double paragraphGap = 0;
    double charSpacing = 0;
    double lineSpacing = 2;
    double scale = 1;
    double printScale = 1;
    QPoint origin{0, 0};
    bool firstParaBreak = false;
    bool lastParaBreak = false;
};

// The line marks as the numbers they add up to: 1 paragraph start, 2 paragraph end.
std::vector<int> flagBits(const std::vector<TextLayout::LineFlags>& flags)
{
    return std::vector<int>(flags.begin(), flags.end());
}

int rnd(double value)
{
    return int(roundHalfEven(value));
}

TextLayout laidOut(const Layout& layout, const QStringList& lines)
{
    TextLayoutSpec layoutSpec;
    layoutSpec.font.setHeight(layout.fontHeight);
    layoutSpec.font.setStyle(layout.fontStyle);
    layoutSpec.font.setColor(layout.fontColor);
    layoutSpec.wordWrap = layout.wordWrap;
    layoutSpec.htmlTags = layout.html;
    layoutSpec.rtlReading = layout.rtl;
    layoutSpec.wordBreak = layout.wordBreak;
    layoutSpec.clipped = layout.clipped;
    layoutSpec.wysiwyg = layout.wysiwyg;
    layoutSpec.rotation = layout.rotation;
    layoutSpec.paragraphGap = layout.paragraphGap;
    layoutSpec.charSpacing = layout.charSpacing;
    layoutSpec.lineSpacing = layout.lineSpacing;
    layoutSpec.rect = QRectF(0, 0, layout.width, layout.height);
    layoutSpec.firstParaBreak = layout.firstParaBreak;
    layoutSpec.lastParaBreak = layout.lastParaBreak;
    return TextLayout::layOut(layoutSpec, lines);
}

// Where the layout's text goes on a device: its rectangle at the layout's scale and origin.
TextTarget targetOf(const Layout& layout, Device device = {})
{
    TextTarget target;
    target.rect = QRect(layout.origin.x(), layout.origin.y(), rnd(layout.width * layout.scale),
        rnd(layout.height * layout.scale));
    target.scaleX = layout.scale;
    target.scaleY = layout.scale;
    target.printScale = layout.printScale;
    target.device = device;
    return target;
}

TextLayout::TextPlacement placeLines(const Layout& layout, const TextLayout& text, Device device, HAlign hAlign,
    VAlign vAlign)
{
    return text.place(targetOf(layout, device), hAlign, vAlign);
}

// Whole measuring pixels after each character of a 10-point Arial line.
std::vector<int> measuringPositions(const QString& text)
{
    std::vector<int> positions;
    for (double advance : FontService::instance().face(QStringLiteral("Arial"), 0)->cumulativeAdvances(text, 83))
        positions.push_back(rnd(advance));
    return positions;
}

// A design width that holds the text with a pixel to spare.
double widthFor(const QString& text)
{
    return measuringPositions(text).back() / 6.25 + 1;
}

std::vector<int> tops(const TextLayout::TextPlacement& placement)
{
    std::vector<int> result;
    for (const auto& line : placement.lines)
        result.push_back(line.top);
    return result;
}

// Where a placed line ends; the corrected advances add up to a whole pixel.
int lineEnd(const TextLayout::PlacedLine& line)
{
    const double end = line.x + std::accumulate(line.advances.begin(), line.advances.end(), 0.0);
    EXPECT_NEAR(end, std::round(end), 1e-9);
    return int(std::lround(end));
}

QImage drawn(const Layout& layout, const TextLayout& text, QSize size, HAlign hAlign = HAlign::Left,
    VAlign vAlign = VAlign::Top)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    text.draw(painter, targetOf(layout, TextDevice::of(image)), hAlign, vAlign);
    return image;
}

bool isInk(QRgb pixel)
{
    return qGray(pixel) < 160;
}

// The bounding box of all ink, empty when nothing was drawn.
QRect inkBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (isInk(image.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

TEST(TextLayoutFormulas, HeightsComeFromTheMeasuringEm)
{
    struct Case {
        int fontHeight;
        int points;
        double textHeight;
    };
    for (const Case& c : {Case{-13, 10, 13.28}, Case{-11, 8, 10.72}, Case{-21, 16, 21.28}, Case{-8, 6, 8},
             Case{-14, 11, 14.72}, Case{13, 10, 13.28}}) {
        SCOPED_TRACE(c.fontHeight);
        Layout layout;
        layout.fontHeight = c.fontHeight;
        const TextLayout text = laidOut(layout, {QStringLiteral("x")});
        EXPECT_EQ(text.fontSize(), c.points);
        EXPECT_DOUBLE_EQ(text.textHeight(), c.textHeight);
        EXPECT_DOUBLE_EQ(text.lineHeight(), c.textHeight + 2);
    }
}

TEST(TextLayoutFormulas, CalcHeightCountsTheLineSpacingOfEveryLine)
{
    struct Case {
        QStringList lines;
        double lineSpacing;
        double height;
    };
    for (const Case& c : {Case{{"a", "b", "c"}, 2, 3 * 15.28}, Case{{"a", "b"}, -1, 2 * 12.28 + 1},
             Case{{}, 2, 0}}) {
        Layout layout;
        layout.lineSpacing = c.lineSpacing;
        EXPECT_DOUBLE_EQ(laidOut(layout, c.lines).calcHeight(), c.height) << c.lines.join(u',').toStdString();
    }
}

TEST(TextLayoutFormulas, CalcWidthIsTheWidestLineWithItsSpacing)
{
    const int hallo = measuringPositions(QStringLiteral("Hallo")).back();
    const int welt = measuringPositions(QStringLiteral("Welt")).back();
    ASSERT_GT(hallo, welt);
    struct Case {
        double charSpacing;
        double paragraphGap;
        int measuring;
    };
    // 5 × 1 × 6.25 = 31.25 → 31; 2 × 6.25 = 12.5 → 12 (halves to even).
    for (const Case& c : {Case{0, 0, hallo}, Case{1, 0, hallo + 31}, Case{0, 2, hallo + 12}}) {
        Layout layout;
        layout.charSpacing = c.charSpacing;
        layout.paragraphGap = c.paragraphGap;
        EXPECT_DOUBLE_EQ(laidOut(layout, {"Hallo", "Welt"}).calcWidth(), c.measuring / 6.25);
    }
    EXPECT_DOUBLE_EQ(laidOut(Layout{}, {}).calcWidth(), 0);
}

TEST(TextLayoutWrapping, TextsBreakIntoLines)
{
    struct Case {
        const char* name;
        QStringList lines;
        QString fits; // the design width holds this text
        QStringList wrapped;
        std::vector<int> flags;
        bool wordBreak = false;
        double paragraphGap = 0;
        bool wordWrap = true;
    };
    const std::vector<Case> cases = {
        {"at the last fitting space", {"Hallo Welt und mehr"}, "Hallo Welt und", {"Hallo Welt und", "mehr"}, {1, 2}},
        {"spaces before the break stay", {"aa  bb"}, "aa  ", {"aa ", "bb"}, {1, 2}},
        {"a long word is cut without hyphen", {"Rechnungsbetrag"}, "Rechnungs", {"Rechnungs", "betrag"}, {1, 2}},
        {"a character wider than the line stands alone", {"WiW"}, "", {"W", "i", "W"}, {1, 0, 2}},
        {"a single character is never wrapped", {"W"}, "", {"W"}, {3}},
        {"an empty line is a space", {"Eins", "", "Drei"}, "Eins Drei", {"Eins", " ", "Drei"}, {3, 3, 3}},
        {"the first line leaves the paragraph gap", {"aa aa aa"}, "aa aa", {"aa", "aa aa"}, {1, 2}, false,
            widthFor(QStringLiteral("aa aa")) - widthFor(QStringLiteral("aa")) + 0.5},
        {"without word wrap one line", {"Hallo Welt und mehr"}, "Hallo", {"Hallo Welt und mehr"}, {3}, false, 0,
            false},
        {"German words get no hyphens", {"Rechnungsbetrag"}, "Rechnungs", {"Rechnungs", "betrag"}, {1, 2}, true},
        {"Russian words are hyphenated", {"ПРОГРАММИРОВАНИЕ"}, "ПРОГРАММИР", {"ПРОГРАММИ-", "РОВАНИЕ"}, {1, 2},
            true},
        {"Russian without word break", {"ПРОГРАММИРОВАНИЕ"}, "ПРОГРАММИР", {"ПРОГРАММИР", "ОВАНИЕ"}, {1, 2}},
        {"a hyphenated word after a space", {"ЭТО ПРОГРАММИРОВАНИЕ"}, "ЭТО ПРОГРАММ", {"ЭТО ПРОГРАМ-", "МИРОВАНИЕ"},
            {1, 2}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Layout layout;
        layout.width = c.fits.isEmpty() ? 1 : widthFor(c.fits);
        layout.wordBreak = c.wordBreak;
        layout.paragraphGap = c.paragraphGap;
        layout.wordWrap = c.wordWrap;
        const TextLayout text = laidOut(layout, c.lines);
        EXPECT_EQ(text.lines(), c.wrapped);
        EXPECT_EQ(flagBits(text.lineFlags()), c.flags);
    }
}

TEST(TextLayoutWrapping, TheLimitOfA462PixelRectangleIs2888MeasuringPixels)
{
    // Find a run of a's and l's that ends exactly at 2888 measuring pixels.
    QString fitting;
    for (int as = 0; as < 60 && fitting.isEmpty(); ++as) {
        for (int ls = 0; ls < 160; ++ls) {
            const QString candidate = QString(as, u'a') + QString(ls, u'l');
            const int end = candidate.isEmpty() ? 0 : measuringPositions(candidate + u'a')[candidate.size() - 1];
            if (end == 2888)
                fitting = candidate;
            if (end >= 2888)
                break;
        }
    }
    ASSERT_FALSE(fitting.isEmpty());
    Layout layout;
    layout.width = 462;
    EXPECT_EQ(laidOut(layout, {fitting + u'a'}).lines().value(0), fitting);
    layout.width = 461.9; // round(2886.875) = 2887
    EXPECT_EQ(laidOut(layout, {fitting + u'a'}).lines().value(0), fitting.chopped(1));
}

// Lines of hundreds of thousands of characters, as a template may hold them.
TEST(TextLayoutWrapping, ARunOfLettersTooLongForAWordBreaksWithoutHyphens)
{
    // Every break would look at the whole rest of the run again for a place to hyphenate.
    const QStringList run{QString(300000, QChar(0x0416))};
    Layout layout;
    const QStringList plain = laidOut(layout, run).lines();
    layout.wordBreak = true;
    EXPECT_EQ(laidOut(layout, run).lines(), plain);
    EXPECT_GT(plain.size(), 10000);
}

TEST(TextLayoutWrapping, HugeWidthsStayInRange)
{
    // 4000 characters 100 000 pixels apart would need 2.5e9 measuring pixels on one line.
    Layout spaced;
    spaced.charSpacing = 100000;
    EXPECT_EQ(laidOut(spaced, {QString(4000, u'W')}).lines().size(), 4000);

    // 200 000 letters at 15 000 points: 2.4e10 measuring and 3.8e9 device pixels. The measured
    // width stops at 2^30 measuring pixels; placed, the line still starts and ends where it should.
    Layout huge;
    huge.fontHeight = -20000;
    huge.wordWrap = false;
    const TextLayout text = laidOut(huge, {QString(200000, u'W')});
    EXPECT_EQ(text.calcWidth(), 1073741824 / 6.25);
    const auto end = [](const TextLayout::PlacedLine& line) {
        return line.x + std::accumulate(line.advances.begin(), line.advances.end(), 0.0);
    };
    const auto left = placeLines(huge, text, Device{}, HAlign::Left, VAlign::Top);
    ASSERT_EQ(left.lines.size(), 1u);
    EXPECT_EQ(left.lines[0].x, 0);
    EXPECT_NEAR(end(left.lines[0]), 171798692, 1);
    const auto right = placeLines(huge, text, Device{}, HAlign::Right, VAlign::Top);
    EXPECT_NEAR(end(right.lines[0]), 200, 1);
}

TEST(TextLayoutWrapping, TextsKeepTheirSourceForm)
{
    Layout layout;
    const TextLayout text = laidOut(layout, {"Eins", "", "Zwei"});
    EXPECT_EQ(text.wrappedText(), QStringLiteral("Eins\r\n \r\nZwei\r\n"));
    EXPECT_EQ(text.plainText(), QStringLiteral("Eins\r\n \r\nZwei\r\n"));
    layout.firstParaBreak = true;
    layout.lastParaBreak = true;
    EXPECT_EQ(flagBits(laidOut(layout, {"Eins", "", "Zwei"}).lineFlags()), (std::vector<int>{2, 3, 1}));
}

TEST(TextLayoutPlacement, LinesStepByTheirIdealHeight)
{
    struct Case {
        const char* name;
        Device device;
        double scale;
        int lines;
        VAlign vAlign;
        int em;
        int block;
        std::vector<int> tops;
    };
    const Device screen;
    const Device printer{true, 600, 600};
    const std::vector<Case> cases = {
        // B = round(3 × 15.28) = 46 with steps of 15: the extra pixel goes into the first gap.
        {"screen", screen, 1, 3, VAlign::Top, 13, 46, {0, 16, 31}},
        {"one line", screen, 1, 1, VAlign::Top, 13, 15, {0}},
        {"zoomed", screen, 1.5, 3, VAlign::Top, 20, 69, {0, 23, 46}},
        // Steps of round(12.5) + 83 = 95 and B = 382: two pixels spread over three gaps.
        {"printer", printer, 6.25, 4, VAlign::Top, 83, 382, {0, 96, 192, 287}},
        {"bottom", screen, 1, 3, VAlign::Bottom, 13, 46, {54, 70, 85}},
        {"centre", screen, 1, 3, VAlign::Center, 13, 46, {27, 43, 58}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Layout layout;
        layout.scale = c.scale;
        layout.origin = {0, 0};
        QStringList lines;
        for (int i = 0; i < c.lines; ++i)
            lines << QStringLiteral("Zeile");
        const auto placement = placeLines(layout, laidOut(layout, lines), c.device, HAlign::Left, c.vAlign);
        EXPECT_EQ(placement.deviceEm, c.em);
        EXPECT_EQ(placement.blockHeight, c.block);
        EXPECT_EQ(tops(placement), c.tops);
    }
}

TEST(TextLayoutPlacement, CharactersGoWhereTheMeasurementPutsThem)
{
    const QString line = QStringLiteral("Gesamtbetrag 84,03 EUR");
    const int measured = measuringPositions(line).back();
    for (double scale : {1.0, 1.5, 2.0}) {
        SCOPED_TRACE(scale);
        Layout layout;
        layout.scale = scale;
        layout.origin = {7, 3};
        const auto placement = placeLines(layout, laidOut(layout, {line}), Device{}, HAlign::Left, VAlign::Top);
        ASSERT_EQ(placement.lines.size(), 1u);
        EXPECT_EQ(placement.lines[0].x, 7);
        EXPECT_EQ(placement.lines[0].top, 3);
        EXPECT_EQ(lineEnd(placement.lines[0]) - 7, rnd(measured / 6.25 * scale));
    }
}

TEST(TextLayoutPlacement, AlignmentsPlaceTheLineInTheRectangle)
{
    struct Case {
        HAlign align;
        FontStyles style;
        int endFromRight; // where the line ends, counted from the rectangle's right edge
    };
    for (const Case& c : {Case{HAlign::Right, {}, 0}, Case{HAlign::Right, FontStyle::Bold, 1},
             Case{HAlign::Right, FontStyle::Italic, 1}}) {
        Layout layout;
        layout.fontStyle = c.style;
        layout.origin = {10, 0};
        const auto placement = placeLines(layout, laidOut(layout, {"Summe 84,03"}), Device{}, c.align, VAlign::Top);
        EXPECT_EQ(10 + 200 - lineEnd(placement.lines[0]), c.endFromRight) << c.style;
    }

    Layout layout;
    layout.origin = {10, 0};
    const auto centred = placeLines(layout, laidOut(layout, {"Summe"}), Device{}, HAlign::Center, VAlign::Top);
    const int left = centred.lines[0].x - 10;
    const int right = 10 + 200 - lineEnd(centred.lines[0]);
    EXPECT_LE(std::abs(left - right), 1);
}

TEST(TextLayoutPlacement, BlockAlignmentStretchesAllButTheParagraphEnd)
{
    Layout layout;
    layout.width = widthFor(QStringLiteral("Hallo Welt und")) + 20;
    layout.paragraphGap = 4;
    const TextLayout text = laidOut(layout, {"Hallo Welt und mehr Text"});
    ASSERT_EQ(text.lines().size(), 2);
    const auto placement = placeLines(layout, text, Device{}, HAlign::Block, VAlign::Top);
    const auto& first = placement.lines[0];
    EXPECT_EQ(first.x, 4); // the paragraph start is indented
    EXPECT_EQ(lineEnd(first), rnd(layout.width));
    // Only the spaces were widened.
    const auto natural = placeLines(layout, text, Device{}, HAlign::Left, VAlign::Top).lines[0].advances;
    for (qsizetype i = 0; i < first.text.size(); ++i) {
        if (first.text[i] != u' ') {
            EXPECT_LE(std::abs(first.advances[std::size_t(i)] - natural[std::size_t(i)]), 1) << i;
        }
    }
    EXPECT_EQ(placement.lines[1].x, 0);
    EXPECT_LT(lineEnd(placement.lines[1]), rnd(layout.width) - 10);
}

TEST(TextLayoutDrawing, RightAlignedTextEndsAtTheRectanglesRightEdge)
{
    Layout layout;
    layout.origin = {10, 5};
    layout.width = 150;
    layout.height = 20;
    const TextLayout text = laidOut(layout, {"Summe 84,03 EUR"});
    const QRect ink = inkBounds(drawn(layout, text, {200, 40}, HAlign::Right));
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.right(), 10 + 150 - 2);
    EXPECT_LE(ink.right(), 10 + 150 - 1);
    EXPECT_GE(ink.top(), 5);
}

TEST(TextLayoutDrawing, ClippingCutsTextAtTheRectangle)
{
    for (bool clipped : {true, false}) {
        SCOPED_TRACE(clipped);
        Layout layout;
        layout.origin = {10, 10};
        layout.width = 60;
        layout.height = 20;
        layout.clipped = clipped;
        const TextLayout text = laidOut(layout, {"Zeile eins", "Zeile zwei", "Zeile drei", "Zeile vier"});
        ASSERT_EQ(text.lines().size(), 4);
        const QRect ink = inkBounds(drawn(layout, text, {100, 100}));
        ASSERT_FALSE(ink.isEmpty());
        EXPECT_EQ(QRect(10, 10, 60, 20).contains(ink), clipped);
    }
}

TEST(TextLayoutDrawing, TextTakesTheFontColour)
{
    Layout layout;
    layout.fontColor = colors::Red;
    const QImage image = drawn(layout, laidOut(layout, {"Rot"}), {100, 30});
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            red += pixel.red() > 200 && pixel.green() < 100 && pixel.blue() < 100;
        }
    EXPECT_GT(red, 10);
}

TEST(TextLayoutDrawing, EmptyTextDrawsNothing)
{
    const Layout layout;
    const TextLayout text = laidOut(layout, {});
    EXPECT_TRUE(text.lines().isEmpty());
    EXPECT_TRUE(placeLines(layout, text, Device{}, HAlign::Left, VAlign::Top).lines.empty());
    EXPECT_TRUE(inkBounds(drawn(layout, text, {100, 30})).isEmpty());
}

TEST(TextLayoutDrawing, RotatedTextStaysInItsRectangle)
{
    Layout layout;
    layout.origin = {20, 10};
    layout.width = 20;
    layout.height = 120;
    layout.rotation = 90;
    const TextLayout text = laidOut(layout, {"Quittung"});
    ASSERT_EQ(text.lines().size(), 1); // wrapped in the height
    const QRect ink = inkBounds(drawn(layout, text, {100, 150}));
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_TRUE(QRect(20, 10, 20, 120).contains(ink));
    EXPECT_GT(ink.height(), 2 * ink.width());
}

TEST(TextLayoutHtml, TagsAreRemovedAndStyleTheirRuns)
{
    Layout layout;
    layout.html = true;
    const TextLayout text = laidOut(layout, {"<b>fett</b> <FONT color=\"#FF0000\">rot</font> <x>", "<i></i>"});
    EXPECT_EQ(text.lines(), (QStringList{"fett rot <x>", " "}));
    const double withTags = text.calcWidth();
    layout.html = false;
    EXPECT_GT(withTags, laidOut(layout, {"fett rot <x>"}).calcWidth());

    layout.html = true;
    const QImage image = drawn(layout, laidOut(layout, {"<font color=red>rot</font>"}), {100, 30});
    bool red = false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            red |= image.pixelColor(x, y).red() > 200 && image.pixelColor(x, y).green() < 100;
    EXPECT_TRUE(red);
}

// Every '<' looks for its '>' and reads what lies between: a line of many '<' must not make that
// take time growing with the square of its length. Text of more than 256 characters is no tag.
TEST(TextLayoutHtml, LinesOfManyAngleBracketsAreReadOnce)
{
    const QString angles(200000, u'<');
    const QString fontTag = QStringLiteral("font color=red");
    const struct {
        QString line;
        QString text;
    } cases[] = {
        {angles, angles},
        {angles + QStringLiteral("b>x"), angles.chopped(1) + u'x'},
        {angles + QStringLiteral(">x"), angles + QStringLiteral(">x")},
        {u'<' + fontTag.leftJustified(256) + QStringLiteral(">x"), QStringLiteral("x")},
        {u'<' + fontTag.leftJustified(257) + QStringLiteral(">x"), u'<' + fontTag.leftJustified(257) + QStringLiteral(">x")},
    };
    Layout layout;
    layout.html = true;
    layout.wordWrap = false;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.right(20).toStdString());
        EXPECT_EQ(laidOut(layout, {c.line}).lines(), QStringList(c.text));
    }
}

TEST(TextLayoutHtml, NoWrapKeepsSpacesFromBreaking)
{
    Layout layout;
    layout.html = true;
    layout.width = widthFor(QStringLiteral("aa aa"));
    EXPECT_EQ(laidOut(layout, {"aa aa aa"}).lines(), (QStringList{"aa aa", "aa"}));
    EXPECT_EQ(laidOut(layout, {"aa <nowrap>aa aa</nowrap>"}).lines(), (QStringList{"aa", "aa aa"}));
}

} // namespace
