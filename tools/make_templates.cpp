// Writes the receipt templates the program loads from its Forms folder:
//
//   make_templates <folder>     (the repository keeps them in forms/)
//
// Each template holds the data page and two pages with one receipt each: the receipt and its copy,
// which is the same receipt with a grey "(Kopie)". The receipt is laid out once in millimetres for
// the A5 page; the A4 page takes the same layout scaled to its width, with fonts a little less
// enlarged, so texts are anchored to the edge of the field they belong to.

#include "report/document/builtin_design.h"
#include "report/document/memo_view.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/document/units.h"
#include "runtime/exception.h"

#include <QDir>

#include <cmath>
#include <cstdio>
#include <vector>

using namespace quittung;

namespace {

using Kind = DesignObject::Kind;
// An object of the receipt with its box in millimetres from the receipt's top-left corner.
using Item = DesignObject;
using Rect = DesignObject::Box;

constexpr TColor BoxTint = 15984349;
constexpr int AllSides = ftLeft | ftRight | ftTop | ftBottom;
constexpr int Title = -21; // 16 pt
constexpr int Small = -11; // 8 pt
constexpr int Tiny = -8;   // 6 pt

// The receipt in drawing order, 128 x 113 mm: the width of an A5 page inside 10 mm margins.
// Text fields are sized for the longest values at 10 pt: the amount in words of 999 billion euros
// takes three lines here, the purpose gets five lines, the payer two.
std::vector<Item> ReceiptLayout()
{
    using enum DesignObject::Kind;
    using enum TfrxHAlign;
    using enum TfrxVAlign;
    return {
        {.kind = Shape, .name = "Box", .box = {0, 0, 128, 113}, .fill = BoxTint},
        {.kind = Shape, .name = "AmountPanel", .box = {54, 15, 71, 12}, .fill = clCream},
        {.kind = Shape, .name = "TotalPanel", .box = {54, 28, 71, 7}, .fill = clCream},
        // White on white: the place to sign is kept free of the tint.
        {.kind = Shape, .name = "SignatureArea", .box = {54, 90, 71, 15}, .fill = clWhite, .frameColor = clWhite},
        {.kind = Line, .name = "TopRule", .box = {3, 2, 122, 0}, .diagonal = true},
        {.kind = Line, .name = "TitleRule", .box = {3, 13, 122, 0}, .diagonal = true},
        // The title row shares one bottom edge, so texts of both sizes stand on one line.
        {.kind = Memo, .name = "Title", .box = {3, 3, 40, 9}, .fontHeight = Title, .vAlign = vaBottom,
            .text = {"Quittung"}},
        {.kind = Memo, .name = "Number", .box = {85, 3, 40, 9}, .hAlign = haRight, .vAlign = vaBottom,
            .text = {"Nr. [QID]"}},
        {.kind = Memo, .name = "AmountLabels", .box = {55, 16, 30, 10}, .hAlign = haRight, .vAlign = vaCenter,
            .text = {"Netto :", "+ [MwSt] % MwSt. :"}},
        {.kind = Memo, .name = "Amounts", .box = {86, 16, 38, 10}, .hAlign = haRight, .vAlign = vaCenter,
            .text = {"--[<Netto> #n%2,2f]--€", "--[<SumSteuern> #n%2,2f]--€"}},
        {.kind = Memo, .name = "TotalLabel", .box = {55, 29, 30, 5}, .fontStyle = fsBold, .hAlign = haRight,
            .vAlign = vaCenter, .text = {"Gesamt :"}},
        {.kind = Memo, .name = "Total", .box = {86, 29, 38, 5}, .fontStyle = fsBold, .hAlign = haRight,
            .vAlign = vaCenter, .text = {"--[<Brutto> #n%2,2f]--€"}},
        {.kind = Memo, .name = "WordsLabel", .box = {4, 34, 48, 4.5}, .fontHeight = Small, .vAlign = vaBottom,
            .text = {"Euro in Worten (Cent wie oben):"}},
        // The amount in words is one long word; it breaks wherever the line is full.
        {.kind = Memo, .name = "Words", .box = {3, 38.5, 122, 14}, .hAlign = haCenter, .vAlign = vaCenter,
            .fill = clCream, .frameTyp = AllSides, .wordBreak = true, .text = {"[BetragInWorten]"}},
        {.kind = Memo, .name = "Payer", .box = {3, 54, 122, 10}, .vAlign = vaCenter, .fill = clCream,
            .frameTyp = AllSides, .text = {"Von: [Von]"}},
        {.kind = Memo, .name = "Purpose", .box = {3, 65.5, 122, 22}, .fill = clCream, .frameTyp = AllSides,
            .text = {"Für: [Fuer]"}},
        {.kind = Memo, .name = "SignatureCaption", .box = {95, 101, 29, 3.5}, .fontHeight = Tiny,
            .fontColor = clGray, .hAlign = haRight, .vAlign = vaBottom, .text = {"Unterschrift"}},
        {.kind = Memo, .name = "PlaceDate", .box = {54, 106, 71, 5}, .fontHeight = Small,
            .text = {"[Ort], [QDate]"}},
    };
}

// Centred in the title row of the copy, after the title row's other texts.
const Item CopyMark{.kind = Kind::Memo, .name = "Mark", .box = {44, 3, 40, 9}, .fontColor = clGray,
    .hAlign = TfrxHAlign::haCenter, .vAlign = TfrxVAlign::vaBottom, .text = {"(Kopie)"}};

constexpr double LayoutWidth = 128;
constexpr double Margin = 10;

struct Template {
    const char* fileName;
    int paperSize;
};

constexpr Template Templates[] = {{"Quittung.Dat", 11}, {"QuittungA4.Dat", 9}};

// Report pixels to five decimals, as a designer stores them.
double Pixels(double mm)
{
    return std::round(mm * PixelsPerMm * 1e5) / 1e5;
}

// Scales the layout onto the printable area of a page. Right and bottom edges are converted
// themselves, so edges that meet in millimetres meet in pixels too.
Rect Place(const Rect& box, double scale)
{
    const double left = Pixels(box.left * scale);
    const double top = Pixels(box.top * scale);
    const double right = Pixels((box.left + box.width) * scale);
    const double bottom = Pixels((box.top + box.height) * scale);
    return {left, top, std::round((right - left) * 1e5) / 1e5, std::round((bottom - top) * 1e5) / 1e5};
}

// Text grows with the page, but less than the boxes do, so every field keeps room to spare.
int ScaledFontHeight(int height, double scale)
{
    const double fontScale = 1 + (scale - 1) * 0.6;
    return static_cast<int>(std::lround(height * fontScale));
}

void Add(TfrxReportPage& page, const Item& item, double scale, const QString& prefix)
{
    Item placed = item;
    placed.name = prefix + item.name;
    placed.box = Place(item.box, scale);
    placed.fontHeight = ScaledFontHeight(item.fontHeight, scale);
    AddDesignObject(page, placed);
}

TfrxReportPage& AddPage(TfrxReport& report, const QString& name, int paperSize)
{
    auto* page = report.Add<TfrxReportPage>();
    page->SetName(name);
    page->SetOrientation(TPrinterOrientation::poPortrait);
    page->SetPaperSize(paperSize);
    page->SetLeftMargin(Margin);
    page->SetRightMargin(Margin);
    page->SetTopMargin(Margin);
    page->SetBottomMargin(Margin);
    return *page;
}

// As the program's own design has them; fixed dates keep the output the same on every run.
void ApplyReportSettings(TfrxReport& report)
{
    report.SetDotMatrixReport(false);
    report.EngineOptions() = TfrxEngineOptions();
    report.PreviewOptions() = TfrxPreviewOptions();
    report.PrintOptions() = TfrxPrintOptions();
    report.ReportOptions().SetCreateDate(46366.5);
    report.ReportOptions().SetLastChange(46366.5);
    report.SetScriptLanguage(QStringLiteral("PascalScript"));
    report.SetScriptText({"begin", "", "end."});
    AddReceiptVariableHeaders(report);
}

void Build(TfrxReport& report, const Template& form)
{
    report.Clear();
    ApplyReportSettings(report);
    report.Add<TfrxDataPage>()->SetName(QStringLiteral("Data"));

    TfrxReportPage& receipt = AddPage(report, QStringLiteral("Page1"), form.paperSize);
    TfrxReportPage& copy = AddPage(report, QStringLiteral("Page2"), form.paperSize);
    const double printableWidth = PaperSizeOf(form.paperSize)->width - 2 * Margin;
    const double scale = printableWidth / LayoutWidth;

    const std::vector<Item> layout = ReceiptLayout();
    for (const Item& item : layout)
        Add(receipt, item, scale, QStringLiteral("Receipt"));
    for (const Item& item : layout)
        Add(copy, item, scale, QStringLiteral("Copy"));
    Add(copy, CopyMark, scale, QStringLiteral("Copy"));
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
            TfrxReport report;
            Build(report, form);
            report.SaveToFile(folder.filePath(QLatin1String(form.fileName)));
        }
    } catch (const Exception& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
