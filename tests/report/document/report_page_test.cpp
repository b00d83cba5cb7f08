#include "report/document/page.h"
#include "report/document/report.h"

#include "runtime/exception.h"
#include "tests/support/recording_engine_host.h"

#include "property_checks.h"

#include <QBuffer>

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::checks;

namespace {

const QStringList pageRows{
    "Tag Integer = 0",
    "Font Nested if",
    "Visible Boolean = True",
};

struct Margins {
    double left, right, top, bottom;
    bool operator==(const Margins&) const = default;
};

Margins MarginsOf(const TfrxReportPage& page)
{
    return {page.LeftMargin(), page.RightMargin(), page.TopMargin(), page.BottomMargin()};
}

void PrintTo(const Margins& m, std::ostream* out)
{
    *out << "L" << m.left << " R" << m.right << " T" << m.top << " B" << m.bottom;
}

} // namespace

TEST(ReportPage, TableFollowsTheTemplateOrder)
{
    const TfrxReportPage page;
    EXPECT_EQ(DescribeTable(page.Properties()), (pageRows + QStringList{
        "Orientation Enum = poPortrait",
        "PaperWidth Float = 210",
        "PaperHeight Float = 297",
        "PaperSize Integer = (always)",
        "LeftMargin Float = 0",
        "RightMargin Float = 0",
        "TopMargin Float = 0",
        "BottomMargin Float = 0",
        "MirrorMargins Boolean = False",
        "Columns Integer = 0",
        "ColumnWidth Float = 0",
        "ColumnPositions StringList = []",
        "Bin Integer = 7",
        "BinOtherPages Integer = 7",
        "BackPicture Picture = none",
        "BackPictureVisible Boolean = True",
        "BackPicturePrintable Boolean = True",
        "PageCount Integer = 1",
        "Color Color = 536870911",
        "DataSet Reference = ''",
        "DataSetName String = ''",
        "Duplex Enum = dmNone",
        "Frame Nested",
        "EndlessHeight Boolean = False",
        "EndlessWidth Boolean = False",
        "LargeDesignHeight Boolean = False",
        "OutlineText String = ''",
        "PrintIfEmpty Boolean = True",
        "PrintOnPreviousPage Boolean = False",
        "ResetPageNumbers Boolean = False",
        "TitleBeforeHeader Boolean = True",
        "HGuides StringList = []",
        "VGuides StringList = []",
        "OnAfterPrint String = ''",
        "OnBeforePrint String = ''",
        "OnManualBuild String = ''",
    }));
    EXPECT_EQ(Identifiers(page.Properties(), "Orientation"), (QStringList{"poPortrait", "poLandscape"}));
    EXPECT_EQ(Identifiers(page.Properties(), "Duplex"),
        (QStringList{"dmNone", "dmVertical", "dmHorizontal", "dmSimplex"}));
}

TEST(ReportPage, NewPageIsA4PortraitWithItsDefaults)
{
    TfrxReportPage page;
    ExpectHoldsDeclaredDefaults(page);
    EXPECT_EQ(page.PaperSize(), 9);
    EXPECT_EQ(page.Width(), 794);
    EXPECT_EQ(page.Height(), 1123);
    EXPECT_EQ(page.BaseName(), QStringLiteral("Page"));
}

TEST(ReportPage, FontIsStoredOnlyOnceChanged)
{
    TfrxReport report;
    report.Font().SetName(QStringLiteral("Tahoma"));
    auto* page = report.Add<TfrxReportPage>();
    // The page follows the report's font without counting as changed.
    EXPECT_EQ(page->Font().Name(), QStringLiteral("Tahoma"));
    EXPECT_FALSE(IsStored(*page, "Font"));
    page->Font().SetHeight(-21);
    EXPECT_TRUE(IsStored(*page, "Font"));
}

TEST(ReportPage, PaperSizeTableInBothOrientations)
{
    struct Case {
        int code;
        TPrinterOrientation orientation;
        double width, height;
        double pixelWidth, pixelHeight;
    };
    const auto portrait = TPrinterOrientation::poPortrait;
    const auto landscape = TPrinterOrientation::poLandscape;
    const Case cases[] = {
        {9, portrait, 210, 297, 794, 1123},
        {9, landscape, 297, 210, 1123, 794},
        {11, portrait, 148, 210, 559, 794},
        {11, landscape, 210, 148, 794, 559},
        {1, portrait, 215.9, 279.4, 816, 1056},
        {35, portrait, 176, 125, 665, 472},
        {68, landscape, 445, 322, 1682, 1217},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.code << (c.orientation == landscape ? " landscape" : ""));
        TfrxReportPage page;
        page.SetOrientation(c.orientation);
        page.SetPaperSize(c.code);
        EXPECT_EQ(page.PaperSize(), c.code);
        EXPECT_DOUBLE_EQ(page.PaperWidth(), c.width);
        EXPECT_DOUBLE_EQ(page.PaperHeight(), c.height);
        EXPECT_EQ(page.Width(), c.pixelWidth);
        EXPECT_EQ(page.Height(), c.pixelHeight);
    }
}

TEST(ReportPage, PaperTableHoldsTheWindowsCodes)
{
    int known = 0;
    for (int code = -1; code <= 300; ++code)
        known += PaperSizeOf(code).has_value() ? 1 : 0;
    EXPECT_EQ(known, 66);
    for (int missing : {0, 48, 49, 69, 256})
        EXPECT_FALSE(PaperSizeOf(missing)) << missing;
    EXPECT_DOUBLE_EQ(PaperSizeOf(47)->width, 220);
    EXPECT_DOUBLE_EQ(PaperSizeOf(50)->height, 304.8);
}

TEST(ReportPage, OwnWidthOrHeightMakesACustomSize)
{
    TfrxReportPage page;
    page.SetPaperWidth(100);
    EXPECT_EQ(page.PaperSize(), CustomPaperSize);
    EXPECT_EQ(page.Width(), 378);
    page.SetPaperSize(11);
    EXPECT_EQ(page.PaperWidth(), 148);
    EXPECT_EQ(page.PaperHeight(), 210);

    page.SetPaperHeight(123.456789014999);
    EXPECT_EQ(page.PaperSize(), CustomPaperSize);
    EXPECT_DOUBLE_EQ(page.PaperHeight(), 123.45678901);
    EXPECT_EQ(page.Height(), 467);
}

TEST(ReportPage, CodesOutsideTheTableKeepTheSize)
{
    for (int code : {48, 256, 300}) {
        SCOPED_TRACE(code);
        TfrxReportPage page;
        page.SetPaperWidth(100);
        page.SetPaperHeight(50);
        page.SetPaperSize(code);
        EXPECT_EQ(page.PaperSize(), code);
        EXPECT_EQ(page.PaperWidth(), 100);
        EXPECT_EQ(page.PaperHeight(), 50);
    }
}

TEST(ReportPage, TemplateOrderEndsWithTheTableSizeInItsOrientation)
{
    // A template lists Orientation, then PaperWidth, PaperHeight and PaperSize.
    TfrxReportPage standard;
    standard.SetOrientation(TPrinterOrientation::poLandscape);
    standard.SetPaperWidth(297);
    standard.SetPaperHeight(210);
    standard.SetPaperSize(9);
    EXPECT_EQ(standard.PaperWidth(), 297);
    EXPECT_EQ(standard.PaperHeight(), 210);

    TfrxReportPage custom;
    custom.SetOrientation(TPrinterOrientation::poLandscape);
    custom.SetPaperWidth(180);
    custom.SetPaperHeight(90);
    custom.SetPaperSize(256);
    EXPECT_EQ(custom.PaperWidth(), 180);
    EXPECT_EQ(custom.PaperHeight(), 90);
}

TEST(ReportPage, OrientationTurnsSizeAndMargins)
{
    TfrxReportPage page;
    page.SetLeftMargin(10);
    page.SetRightMargin(20);
    page.SetTopMargin(30);
    page.SetBottomMargin(40);

    page.SetOrientation(TPrinterOrientation::poLandscape);
    EXPECT_EQ(MarginsOf(page), (Margins{30, 40, 20, 10}));
    EXPECT_EQ(page.PaperWidth(), 297);
    EXPECT_EQ(page.Width(), 1123);
    EXPECT_EQ(page.PaperSize(), 9);

    // Setting the same orientation again changes nothing.
    page.SetOrientation(TPrinterOrientation::poLandscape);
    EXPECT_EQ(MarginsOf(page), (Margins{30, 40, 20, 10}));

    page.SetOrientation(TPrinterOrientation::poPortrait);
    EXPECT_EQ(MarginsOf(page), (Margins{10, 20, 30, 40}));
    EXPECT_EQ(page.PaperWidth(), 210);
    EXPECT_EQ(page.Height(), 1123);
}

TEST(ReportPage, PageCountBelowOneIsIgnored)
{
    TfrxReportPage page;
    page.SetPageCount(3);
    page.SetPageCount(0);
    page.SetPageCount(-2);
    EXPECT_EQ(page.PageCount(), 3);
}

TEST(ReportPage, ColumnsShareTheWidthBetweenTheMargins)
{
    TfrxReportPage page;
    page.SetDefaults();
    page.SetColumns(2);
    EXPECT_EQ(page.ColumnWidth(), 95);
    EXPECT_EQ(page.ColumnPositions(), (QStringList{"0", "95"}));

    // No columns leave the last division as it was.
    page.SetColumns(0);
    EXPECT_EQ(page.Columns(), 0);
    EXPECT_EQ(page.ColumnWidth(), 95);
    EXPECT_EQ(page.ColumnPositions().size(), 2);
}

TEST(ReportPage, AColumnCountBeyondThePaperWidthIsRefusedWhileLoading)
{
    RecordingEngineHost host;
    TfrxReport report;
    report.EngineOptions().SetNewSilentMode(TfrxSilentMode::simSilent);
    QByteArray bytes = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?><TfrxReport>"
                       "<TfrxReportPage Name=\"Page1\" PaperWidth=\"210\" Columns=\"100000000\"/>"
                       "<TfrxReportPage Name=\"Page2\" PaperWidth=\"210\" Columns=\"794\"/>"
                       "<TfrxReportPage Name=\"Page3\" PaperWidth=\"210\" Columns=\"795\"/></TfrxReport>";
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    report.LoadFromStream(buffer);
    EXPECT_EQ(report.Errors().Strings(), (QStringList{QStringLiteral("Invalid property value: '100000000'"),
                                             QStringLiteral("Invalid property value: '795'")}));
    const auto page = [&](int i) { return dynamic_cast<TfrxReportPage*>(report.Pages(i)); };
    EXPECT_EQ(page(1)->Columns(), 0);
    EXPECT_TRUE(page(1)->ColumnPositions().isEmpty());
    EXPECT_EQ(page(2)->ColumnPositions().size(), 794);
    EXPECT_EQ(page(3)->Columns(), 0);

    // A paper as wide as a house still gets no more than the fixed limit.
    TfrxReportPage wide;
    wide.SetPaperWidth(10000);
    EXPECT_THROW(wide.SetColumns(TfrxReportPage::MaxColumns + 1), Exception);
}

TEST(ReportPage, ColumnPositionsUseTheUsersDecimalSeparator)
{
    TfrxReport report;
    report.SetLocaleSettings(FormatSettings::german());
    auto* page = report.Add<TfrxReportPage>();
    page->SetDefaults();
    page->SetColumns(3);
    EXPECT_EQ(page->ColumnPositions(), (QStringList{"0", "63,3333333333333", "126,666666666667"}));
}

TEST(ReportPage, SetDefaultsGivesA4PortraitWithTenMillimetreMargins)
{
    TfrxReportPage page;
    page.SetOrientation(TPrinterOrientation::poLandscape);
    page.SetPaperSize(11);
    page.SetDefaults();
    EXPECT_EQ(page.Orientation(), TPrinterOrientation::poPortrait);
    EXPECT_EQ(page.PaperSize(), 9);
    EXPECT_EQ(page.PaperWidth(), 210);
    EXPECT_EQ(MarginsOf(page), (Margins{10, 10, 10, 10}));
}

TEST(DataPage, TableAndNewPage)
{
    TfrxDataPage page;
    EXPECT_EQ(DescribeTable(page.Properties()), (pageRows + QStringList{
        "Height Float = 1000",
        "Left Float = 0",
        "Top Float = 0",
        "Width Float = 1000",
    }));
    ExpectHoldsDeclaredDefaults(page);
    EXPECT_EQ(page.Width(), 1000);
    EXPECT_EQ(page.Height(), 1000);
}

TEST(OtherPages, KeepWhatTheyDoNotKnow)
{
    TfrxDialogPage dialog;
    TfrxDMPPage dotMatrix;
    EXPECT_TRUE(dialog.KeepsUnknownAttributes());
    EXPECT_TRUE(dotMatrix.KeepsUnknownAttributes());
    EXPECT_FALSE(TfrxReportPage().KeepsUnknownAttributes());
    EXPECT_EQ(DescribeTable(dialog.Properties()), pageRows);
    // A dot-matrix page is a report page with paper and margins.
    EXPECT_EQ(DescribeTable(dotMatrix.Properties()), DescribeTable(TfrxReportPage().Properties()));
    EXPECT_EQ(dialog.BaseName(), QStringLiteral("DialogPage"));
}
