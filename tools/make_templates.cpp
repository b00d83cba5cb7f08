// Writes the receipt templates the program loads from its Forms folder:
//
//   make_templates <folder>     (the repository keeps them in forms/)
//
// Each template holds the data page and two pages with one receipt each: the receipt and its copy,
// which is the same receipt with a grey "(Kopie)". The receipt is laid out once in millimetres for
// the A5 page; the A4 page takes the same layout scaled to its width, with fonts a little less
// enlarged, so texts are anchored to the edge of the field they belong to.

#include "report/document/builtin_design.h"
#include "report/document/text_object.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/document/units.h"
#include "runtime/exception.h"

#include <QDir>

#include <cmath>
#include <cstdio>
#include <vector>

using namespace quittung;
using namespace quittung::report;

namespace {

using Kind = DesignObject::Kind;
// An object of the receipt with its box in millimetres from the receipt's top-left corner.
using Item = DesignObject;
using Rect = DesignObject::Box;

constexpr Color BoxTint = 15984349;
constexpr int Title = -21; // 16 pt
constexpr int Small = -11; // 8 pt
constexpr int Tiny = -8;   // 6 pt

// The receipt in drawing order, 128 x 113 mm: the width of an A5 page inside 10 mm margins.
// Text fields are sized for the longest values at 10 pt: the amount in words of 999 billion euros
// takes three lines here, the purpose gets five lines, the payer two.
std::vector<Item> receiptLayout()
{
    using enum DesignObject::Kind;
    return {
        {.kind = Shape, .name = "Box", .box = {0, 0, 128, 113}, .fill = BoxTint},
        {.kind = Shape, .name = "AmountPanel", .box = {54, 15, 71, 12}, .fill = colors::Cream},
        {.kind = Shape, .name = "TotalPanel", .box = {54, 28, 71, 7}, .fill = colors::Cream},
        // White on white: the place to sign is kept free of the tint.
        {.kind = Shape, .name = "SignatureArea", .box = {54, 90, 71, 15}, .fill = colors::White, .frameColor = colors::White},
        {.kind = Line, .name = "TopRule", .box = {3, 2, 122, 0}, .diagonal = true},
        {.kind = Line, .name = "TitleRule", .box = {3, 13, 122, 0}, .diagonal = true},
        // The title row shares one bottom edge, so texts of both sizes stand on one line.
        {.kind = Text, .name = "Title", .box = {3, 3, 40, 9}, .fontHeight = Title, .vAlign = VAlign::Bottom,
            .text = {"Quittung"}},
        {.kind = Text, .name = "Number", .box = {85, 3, 40, 9}, .hAlign = HAlign::Right, .vAlign = VAlign::Bottom,
            .text = {"Nr. [QID]"}},
        {.kind = Text, .name = "AmountLabels", .box = {55, 16, 30, 10}, .hAlign = HAlign::Right, .vAlign = VAlign::Center,
            .text = {"Netto :", "+ [MwSt] % MwSt. :"}},
        {.kind = Text, .name = "Amounts", .box = {86, 16, 38, 10}, .hAlign = HAlign::Right, .vAlign = VAlign::Center,
            .text = {"--[<Netto> #n%2,2f]--€", "--[<SumSteuern> #n%2,2f]--€"}},
        {.kind = Text, .name = "TotalLabel", .box = {55, 29, 30, 5}, .fontStyle = FontStyle::Bold, .hAlign = HAlign::Right,
            .vAlign = VAlign::Center, .text = {"Gesamt :"}},
        {.kind = Text, .name = "Total", .box = {86, 29, 38, 5}, .fontStyle = FontStyle::Bold, .hAlign = HAlign::Right,
            .vAlign = VAlign::Center, .text = {"--[<Brutto> #n%2,2f]--€"}},
        {.kind = Text, .name = "WordsLabel", .box = {4, 34, 48, 4.5}, .fontHeight = Small, .vAlign = VAlign::Bottom,
            .text = {"Euro in Worten (Cent wie oben):"}},
        // The amount in words is one long word; it breaks wherever the line is full.
        {.kind = Text, .name = "Words", .box = {3, 38.5, 122, 14}, .hAlign = HAlign::Center, .vAlign = VAlign::Center,
            .fill = colors::Cream, .frameSides = AllFrameSides, .wordBreak = true, .text = {"[BetragInWorten]"}},
        {.kind = Text, .name = "Payer", .box = {3, 54, 122, 10}, .vAlign = VAlign::Center, .fill = colors::Cream,
            .frameSides = AllFrameSides, .text = {"Von: [Von]"}},
        {.kind = Text, .name = "Purpose", .box = {3, 65.5, 122, 22}, .fill = colors::Cream, .frameSides = AllFrameSides,
            .text = {"Für: [Fuer]"}},
        {.kind = Text, .name = "SignatureCaption", .box = {95, 101, 29, 3.5}, .fontHeight = Tiny,
            .fontColor = colors::Gray, .hAlign = HAlign::Right, .vAlign = VAlign::Bottom, .text = {"Unterschrift"}},
        {.kind = Text, .name = "PlaceDate", .box = {54, 106, 71, 5}, .fontHeight = Small,
            .text = {"[Ort], [QDate]"}},
    };
}

// Centred in the title row of the copy, after the title row's other texts.
const Item CopyMark{.kind = Kind::Text, .name = "Mark", .box = {44, 3, 40, 9}, .fontColor = colors::Gray,
    .hAlign = HAlign::Center, .vAlign = VAlign::Bottom, .text = {"(Kopie)"}};

constexpr double LayoutWidth = 128;
constexpr double Margin = 10;

struct Template {
    const char* fileName;
    int paperSize;
};

constexpr Template Templates[] = {{"Quittung.Dat", 11}, {"QuittungA4.Dat", 9}};

// Report pixels to five decimals, as a designer stores them.
double pixels(double mm)
{
    return std::round(mm * PixelsPerMm * 1e5) / 1e5;
}

// Scales the layout onto the printable area of a page. Right and bottom edges are converted
// themselves, so edges that meet in millimetres meet in pixels too.
Rect place(const Rect& box, double scale)
{
    const double left = pixels(box.left * scale);
    const double top = pixels(box.top * scale);
    const double right = pixels((box.left + box.width) * scale);
    const double bottom = pixels((box.top + box.height) * scale);
    return {left, top, std::round((right - left) * 1e5) / 1e5, std::round((bottom - top) * 1e5) / 1e5};
}

// Text grows with the page, but less than the boxes do, so every field keeps room to spare.
int scaledFontHeight(int height, double scale)
{
    const double fontScale = 1 + (scale - 1) * 0.6;
    return static_cast<int>(std::lround(height * fontScale));
}

void add(ReportPage& page, const Item& item, double scale, const QString& prefix)
{
    Item placed = item;
    placed.name = prefix + item.name;
    placed.box = place(item.box, scale);
    placed.fontHeight = scaledFontHeight(item.fontHeight, scale);
    addDesignObject(page, placed);
}

ReportPage& addPage(Report& report, const QString& name, int paperSize)
{
    auto* page = report.add<ReportPage>();
    page->setName(name);
    page->setOrientation(PageOrientation::Portrait);
    page->setPaperSize(paperSize);
    page->setLeftMargin(Margin);
    page->setRightMargin(Margin);
    page->setTopMargin(Margin);
    page->setBottomMargin(Margin);
    return *page;
}

// As the program's own design has them; fixed dates keep the output the same on every run.
void applyReportSettings(Report& report)
{
    report.setDotMatrixReport(false);
    report.engineOptions() = EngineOptions();
    report.previewOptions() = PreviewOptions();
    report.printOptions() = PrintOptions();
    report.reportOptions().setCreateDate(46366.5);
    report.reportOptions().setLastChange(46366.5);
    report.setScriptLanguage(QStringLiteral("PascalScript"));
    report.setScriptText({"begin", "", "end."});
    addReceiptVariableHeaders(report);
}

void build(Report& report, const Template& form)
{
    report.clear();
    applyReportSettings(report);
    report.add<DataPage>()->setName(QStringLiteral("Data"));

    ReportPage& receipt = addPage(report, QStringLiteral("Page1"), form.paperSize);
    ReportPage& copy = addPage(report, QStringLiteral("Page2"), form.paperSize);
    const double printableWidth = paperSizeOf(form.paperSize)->width - 2 * Margin;
    const double scale = printableWidth / LayoutWidth;

    const std::vector<Item> layout = receiptLayout();
    for (const Item& item : layout)
        add(receipt, item, scale, QStringLiteral("Receipt"));
    for (const Item& item : layout)
        add(copy, item, scale, QStringLiteral("Copy"));
    add(copy, CopyMark, scale, QStringLiteral("Copy"));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2) {
        std::fprintf(stderr, "usage: %s [folder]\n", argv[0]);
        return 2;
    }
    const QDir folder(argc == 2 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    try {
        for (const Template& form : Templates) {
            Report report;
            build(report, form);
            report.saveToFile(folder.filePath(QLatin1String(form.fileName)));
        }
    } catch (const Exception& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
