#include "report/document/builtin_design.h"

#include "report/document/line_object.h"
#include "report/document/text_object.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/document/shape_object.h"

#include <array>
#include <vector>

namespace quittung::report {
namespace {

using Kind = DesignObject::Kind;
// Report pixels, written as the designer stored them rather than computed from millimetres, so that
// the positions are the very numbers a template of this design holds.
using Box = DesignObject::Box;

constexpr Color BoxTint = 15984349;

// The upper receipt in drawing order; the copy repeats it row by row.
std::vector<DesignObject> upperReceipt()
{
    using enum DesignObject::Kind;
    return {
        {.kind = Shape, .name = "Shape3", .box = {113.3859, 37.7953, 491.3389, 340.1577}, .fill = BoxTint},
        {.kind = Shape, .name = "Shape1", .box = {359.05535, 90.70872, 230.55133, 41.57483}, .fill = colors::Cream},
        {.kind = Shape, .name = "Shape2", .box = {359.05535, 136.06308, 230.55133, 26.45671}, .fill = colors::Cream},
        {.kind = Text, .name = "Memo1", .box = {124.72449, 52.91342, 132.28355, 37.7953}, .fontHeight = -21,
            .text = {"Quittung"}},
        {.kind = Text, .name = "Memo2", .box = {211.65368, 60.47248, 60.47248, 18.89765}, .text = {"Nr. [QID]"}},
        {.kind = Text, .name = "Memo3", .box = {362.83488, 94.48825, 105.82684, 37.7953}, .hAlign = HAlign::Right,
            .text = {"Netto :", "+ [MwSt] % MwSt. :"}},
        {.kind = Text, .name = "Memo4", .box = {472.44125, 94.48825, 113.3859, 37.7953}, .hAlign = HAlign::Right,
            .text = {"--[<Netto> #n%2,2f]--€", "--[<SumSteuern> #n%2,2f]--€"}},
        {.kind = Text, .name = "Memo5", .box = {362.83488, 139.84261, 105.82684, 18.89765}, .fontStyle = FontStyle::Bold,
            .hAlign = HAlign::Right, .text = {"Gesamt :"}},
        {.kind = Text, .name = "Memo6", .box = {472.44125, 139.84261, 113.3859, 18.89765}, .fontStyle = FontStyle::Bold,
            .hAlign = HAlign::Right, .text = {"--[<Brutto> #n%2,2f]--€"}},
        {.kind = Line, .name = "Line1", .box = {124.72449, 45.35436, 464.88219, 0}, .diagonal = true},
        {.kind = Text, .name = "Memo7", .box = {124.72449, 185.19697, 464.88219, 34.01577}, .hAlign = HAlign::Center,
            .vAlign = VAlign::Center, .fill = colors::Cream, .frameSides = AllFrameSides, .wordBreak = true,
            .text = {"[BetragInWorten]"}},
        {.kind = Text, .name = "Memo8", .box = {147.40167, 170.07885, 166.29932, 18.89765}, .fontHeight = -11,
            .text = {"Euro in Worten (Cent wie oben):"}},
        {.kind = Text, .name = "Memo9", .box = {124.72449, 222.99227, 464.88219, 22.67718}, .vAlign = VAlign::Center,
            .fill = colors::Cream, .frameSides = AllFrameSides, .text = {"Von: [Von]"}},
        {.kind = Text, .name = "Memo10", .box = {124.72449, 249.44898, 464.88219, 60.47248}, .fill = colors::Cream,
            .frameSides = AllFrameSides, .text = {"Für: [Fuer]"}},
        {.kind = Text, .name = "Memo11", .box = {340.1577, 359.05535, 249.44898, 18.89765}, .fontHeight = -11,
            .text = {"[Ort], [QDate]"}},
        {.kind = Line, .name = "Line5", .box = {124.72449, 83.14966, 464.88219, 0}, .diagonal = true},
        // White on white: the signature area covers the tint.
        {.kind = Shape, .name = "Shape7", .box = {340.1577, 317.48052, 249.44898, 37.7953}, .fill = colors::White,
            .frameColor = colors::White},
        {.kind = Text, .name = "Memo24", .box = {491.3389, 343.93723, 94.48825, 11.33859}, .fontHeight = -8,
            .fontColor = colors::Gray, .hAlign = HAlign::Right, .text = {"Unterschrift"}},
    };
}

// The copy's names and tops, row by row with UpperReceipt (each top 110 mm lower).
struct CopyRow {
    const char* name;
    double top;
};
constexpr std::array<CopyRow, 18> LowerReceipt{{
    {"Shape6", 453.5436}, {"Shape8", 506.45702}, {"Shape11", 551.81138}, {"Memo12", 468.66172},
    {"Memo13", 476.22078}, {"Memo14", 510.23655}, {"Memo15", 510.23655}, {"Memo16", 555.59091},
    {"Memo17", 555.59091}, {"Line2", 461.10266}, {"Memo18", 600.94527}, {"Memo19", 585.82715},
    {"Memo20", 638.74057}, {"Memo21", 665.19728}, {"Memo22", 774.80365}, {"Line4", 498.89796},
    {"Shape12", 733.22882}, {"Memo23", 759.68553},
}};

const DesignObject CopyMark{.kind = Kind::Text, .name = "Memo38", .box = {495.11843, 480.00031, 94.48825, 18.89765},
    .fontColor = colors::Gray, .hAlign = HAlign::Right, .text = {"(Kopie)"}};

// The numbers of the lines that make up each cut line, dash by dash from the left.
constexpr double UpperCutTop = 415.7483;
constexpr double LowerCutTop = 831.4966;
constexpr std::array<int, 19> UpperCutDashes{8, 6, 9, 10, 11, 12, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26};
constexpr std::array<int, 19> LowerCutDashes{13, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44};

constexpr double MarkLength = 18.89765;
constexpr double CrossArm = 7.55906;

// Two crosses per receipt at the left edge, above and below its centre mark.
struct Cross {
    int vertical;
    double verticalTop;
    int horizontal;
    double horizontalTop;
};
constexpr std::array<Cross, 4> Crosses{{
    {45, 55.0, 46, 58.77953},
    {47, 357.5, 48, 361.27953},
    {49, 470.5, 50, 474.27953},
    {51, 772.75, 52, 776.52953},
}};

DesignObject straightLine(int number, Box box, FrameSide side, Color color = colors::Black)
{
    return {.kind = Kind::Line, .name = QStringLiteral("Line%1").arg(number), .box = box, .frameSides = side,
        .frameColor = color};
}

// Dash k starts k × 10 mm from the left. Counting in whole ten-thousandths keeps the position the
// double nearest to the designed decimal, as k × 37.7953 in floating point would not always be.
DesignObject dash(int number, int k, double top)
{
    return straightLine(number, {k * 377953 / 10000.0, top, MarkLength, 0}, FrameSide::Top, colors::Gray);
}

DesignObject centreMark(int number, double top)
{
    return straightLine(number, {0, top, MarkLength, 0}, FrameSide::Top);
}

View* addMemo(ReportPage& page, const DesignObject& object)
{
    auto* memo = page.add<TextObject>();
    Font font;
    font.setHeight(object.fontHeight);
    font.setStyle(object.fontStyle);
    font.setColor(object.fontColor);
    memo->setFont(font);
    memo->setParentFont(false);
    memo->setHAlign(object.hAlign);
    memo->setVAlign(object.vAlign);
    memo->setWordBreak(object.wordBreak);
    memo->setLines(object.text);
    return memo;
}

View* addLine(ReportPage& page, const DesignObject& object)
{
    auto* line = page.add<LineObject>();
    line->setDiagonal(object.diagonal);
    return line;
}

void applyReportSettings(Report& report)
{
    report.setVersion(QStringLiteral("4.13.2"));
    report.setDotMatrixReport(false);
    report.setIniFile(QStringLiteral("\\Software\\Tarvik"));
    // Clear leaves parts of the option groups alone; the design holds their defaults throughout.
    report.engineOptions() = EngineOptions();
    report.previewOptions() = PreviewOptions();
    report.printOptions() = PrintOptions();
    report.reportOptions().setCreateDate(44014.5821982407);
    report.reportOptions().setLastChange(44018.6557033912);
    report.setScriptLanguage(QStringLiteral("PascalScript"));
    report.setScriptText({"begin", "", "end."});
    addReceiptVariableHeaders(report);
}

} // namespace

void addDesignObject(ReportPage& page, const DesignObject& object)
{
    View* view = nullptr;
    switch (object.kind) {
    case Kind::Shape: view = page.add<ShapeObject>(); break;
    case Kind::Text: view = addMemo(page, object); break;
    case Kind::Line: view = addLine(page, object); break;
    }
    view->setName(object.name);
    view->setBounds(object.box.left, object.box.top, object.box.width, object.box.height);
    view->setColor(object.fill);
    view->frame().setSides(object.frameSides);
    view->frame().setColor(object.frameColor);
}

void addReceiptVariableHeaders(Report& report)
{
    for (const char* category :
        {" Netto", " Brutto", " SumSteuern", " QID", " QDate", " Von", " Fuer", " Ort", " BetragInWorten"}) {
        Variable& header = report.variables().add();
        header.setName(QString::fromLatin1(category));
        header.setValue(Variant::null());
    }
}

void applyBuiltinDesign(Report& report)
{
    report.clear();
    applyReportSettings(report);

    report.add<DataPage>()->setName(QStringLiteral("Data"));
    auto* page = report.add<ReportPage>();
    page->setName(QStringLiteral("Page1"));
    page->setOrientation(PageOrientation::Portrait);
    page->setPaperSize(9);
    page->setLeftMargin(10);
    page->setRightMargin(10);
    page->setTopMargin(10);
    page->setBottomMargin(10);

    const std::vector<DesignObject> upper = upperReceipt();
    for (const DesignObject& object : upper)
        addDesignObject(*page, object);
    // The first dash of the upper cut line was drawn between the two centre marks.
    addDesignObject(*page, centreMark(7, 207.87415));
    addDesignObject(*page, dash(UpperCutDashes[0], 0, UpperCutTop));
    addDesignObject(*page, centreMark(3, 623.62245));

    for (std::size_t i = 0; i < upper.size(); ++i) {
        DesignObject copy = upper[i];
        copy.name = QString::fromLatin1(LowerReceipt[i].name);
        copy.box.top = LowerReceipt[i].top;
        addDesignObject(*page, copy);
    }
    addDesignObject(*page, CopyMark);

    for (int k = 1; k < int(UpperCutDashes.size()); ++k)
        addDesignObject(*page, dash(UpperCutDashes[std::size_t(k)], k, UpperCutTop));
    for (int k = 0; k < int(LowerCutDashes.size()); ++k)
        addDesignObject(*page, dash(LowerCutDashes[std::size_t(k)], k, LowerCutTop));

    for (const Cross& cross : Crosses) {
        addDesignObject(
            *page, straightLine(cross.vertical, {9.77953, cross.verticalTop, 0, CrossArm}, FrameSide::Left));
        addDesignObject(*page, straightLine(cross.horizontal, {6.0, cross.horizontalTop, CrossArm, 0}, FrameSide::Top));
    }
}

} // namespace quittung::report
