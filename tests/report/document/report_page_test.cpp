#include "report/document/page.h"
#include "report/document/report.h"

#include "runtime/exception.h"
#include "tests/support/recording_engine_host.h"

#include "property_checks.h"

#include <QBuffer>

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::report;
using namespace quittung::report::checks;

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

// A report read from a template holding the given pages, its errors kept rather than shown.
struct LoadedPages {
    explicit LoadedPages(const char* pages)
    {
        report.engineOptions().setNewSilentMode(SilentMode::Silent);
        QByteArray bytes = QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?><TfrxReport>") + pages
            + "</TfrxReport>";
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        report.loadFromStream(buffer);
    }

    ReportPage& page(int index) const { return *dynamic_cast<ReportPage*>(report.pages(index)); }

    RecordingEngineHost host;
    Report report;
};

Margins marginsOf(const ReportPage& page)
{
    return {page.leftMargin(), page.rightMargin(), page.topMargin(), page.bottomMargin()};
}

void PrintTo(const Margins& m, std::ostream* out)
{
    *out << "L" << m.left << " R" << m.right << " T" << m.top << " B" << m.bottom;
}

} // namespace

TEST(ReportPage, TableFollowsTheTemplateOrder)
{
    const ReportPage page;
    EXPECT_EQ(describeTable(page.properties()), (pageRows + QStringList{
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
    EXPECT_EQ(identifiers(page.properties(), "Orientation"), (QStringList{"poPortrait", "poLandscape"}));
    EXPECT_EQ(identifiers(page.properties(), "Duplex"),
        (QStringList{"dmNone", "dmVertical", "dmHorizontal", "dmSimplex"}));
}

TEST(ReportPage, NewPageIsA4PortraitWithItsDefaults)
{
    ReportPage page;
    expectHoldsDeclaredDefaults(page);
    EXPECT_EQ(page.paperSize(), 9);
    EXPECT_EQ(page.width(), 794);
    EXPECT_EQ(page.height(), 1123);
    EXPECT_EQ(page.baseName(), QStringLiteral("Page"));
}

TEST(ReportPage, FontIsStoredOnlyOnceChanged)
{
    Report report;
    report.font().setName(QStringLiteral("Tahoma"));
    auto* page = report.add<ReportPage>();
    // The page follows the report's font without counting as changed.
    EXPECT_EQ(page->font().name(), QStringLiteral("Tahoma"));
    EXPECT_FALSE(isStored(*page, "Font"));
    page->font().setHeight(-21);
    EXPECT_TRUE(isStored(*page, "Font"));
}

TEST(ReportPage, PaperSizeTableInBothOrientations)
{
    struct Case {
        int code;
        PageOrientation orientation;
        double width, height;
        double pixelWidth, pixelHeight;
    };
    const auto portrait = PageOrientation::Portrait;
    const auto landscape = PageOrientation::Landscape;
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
        ReportPage page;
        page.setOrientation(c.orientation);
        page.setPaperSize(c.code);
        EXPECT_EQ(page.paperSize(), c.code);
        EXPECT_DOUBLE_EQ(page.paperWidth(), c.width);
        EXPECT_DOUBLE_EQ(page.paperHeight(), c.height);
        EXPECT_EQ(page.width(), c.pixelWidth);
        EXPECT_EQ(page.height(), c.pixelHeight);
    }
}

TEST(ReportPage, PaperTableHoldsTheWindowsCodes)
{
    int known = 0;
    for (int code = -1; code <= 300; ++code)
        known += paperSizeOf(code).has_value() ? 1 : 0;
    EXPECT_EQ(known, 66);
    for (int missing : {0, 48, 49, 69, 256})
        EXPECT_FALSE(paperSizeOf(missing)) << missing;
    EXPECT_DOUBLE_EQ(paperSizeOf(47)->width, 220);
    EXPECT_DOUBLE_EQ(paperSizeOf(50)->height, 304.8);
}

TEST(ReportPage, OwnWidthOrHeightMakesACustomSize)
{
    ReportPage page;
    page.setPaperWidth(100);
    EXPECT_EQ(page.paperSize(), CustomPaperSize);
    EXPECT_EQ(page.width(), 378);
    page.setPaperSize(11);
    EXPECT_EQ(page.paperWidth(), 148);
    EXPECT_EQ(page.paperHeight(), 210);

    page.setPaperHeight(123.456789014999);
    EXPECT_EQ(page.paperSize(), CustomPaperSize);
    EXPECT_DOUBLE_EQ(page.paperHeight(), 123.45678901);
    EXPECT_EQ(page.height(), 467);
}

TEST(ReportPage, CodesOutsideTheTableKeepTheSize)
{
    for (int code : {48, 256, 300}) {
        SCOPED_TRACE(code);
        ReportPage page;
        page.setPaperWidth(100);
        page.setPaperHeight(50);
        page.setPaperSize(code);
        EXPECT_EQ(page.paperSize(), code);
        EXPECT_EQ(page.paperWidth(), 100);
        EXPECT_EQ(page.paperHeight(), 50);
    }
}

TEST(ReportPage, TemplateOrderEndsWithTheTableSizeInItsOrientation)
{
    // A template lists Orientation, then PaperWidth, PaperHeight and PaperSize.
    ReportPage standard;
    standard.setOrientation(PageOrientation::Landscape);
    standard.setPaperWidth(297);
    standard.setPaperHeight(210);
    standard.setPaperSize(9);
    EXPECT_EQ(standard.paperWidth(), 297);
    EXPECT_EQ(standard.paperHeight(), 210);

    ReportPage custom;
    custom.setOrientation(PageOrientation::Landscape);
    custom.setPaperWidth(180);
    custom.setPaperHeight(90);
    custom.setPaperSize(256);
    EXPECT_EQ(custom.paperWidth(), 180);
    EXPECT_EQ(custom.paperHeight(), 90);
}

TEST(ReportPage, OrientationTurnsSizeAndMargins)
{
    ReportPage page;
    page.setLeftMargin(10);
    page.setRightMargin(20);
    page.setTopMargin(30);
    page.setBottomMargin(40);

    page.setOrientation(PageOrientation::Landscape);
    EXPECT_EQ(marginsOf(page), (Margins{30, 40, 20, 10}));
    EXPECT_EQ(page.paperWidth(), 297);
    EXPECT_EQ(page.width(), 1123);
    EXPECT_EQ(page.paperSize(), 9);

    // Setting the same orientation again changes nothing.
    page.setOrientation(PageOrientation::Landscape);
    EXPECT_EQ(marginsOf(page), (Margins{30, 40, 20, 10}));

    page.setOrientation(PageOrientation::Portrait);
    EXPECT_EQ(marginsOf(page), (Margins{10, 20, 30, 40}));
    EXPECT_EQ(page.paperWidth(), 210);
    EXPECT_EQ(page.height(), 1123);
}

TEST(ReportPage, PageCountBelowOneIsIgnored)
{
    ReportPage page;
    page.setPageCount(3);
    page.setPageCount(0);
    page.setPageCount(-2);
    EXPECT_EQ(page.pageCount(), 3);
}

TEST(ReportPage, APageCountBeyondTheLimitIsRefusedWhileLoading)
{
    const LoadedPages loaded("<TfrxReportPage Name=\"Page1\" PageCount=\"2147483647\"/>"
                             "<TfrxReportPage Name=\"Page2\" PageCount=\"1000\"/>"
                             "<TfrxReportPage Name=\"Page3\" PageCount=\"1001\"/>");
    EXPECT_EQ(loaded.report.errors().strings(), (QStringList{QStringLiteral("Invalid property value: '1001'"),
                                                    QStringLiteral("Invalid property value: '2147483647'")}));
    EXPECT_EQ(loaded.page(1).pageCount(), 1);
    EXPECT_EQ(loaded.page(2).pageCount(), ReportPage::MaxPageCount);
    EXPECT_EQ(loaded.page(3).pageCount(), 1);
}

TEST(ReportPage, ColumnsShareTheWidthBetweenTheMargins)
{
    ReportPage page;
    page.setDefaults();
    page.setColumns(2);
    EXPECT_EQ(page.columnWidth(), 95);
    EXPECT_EQ(page.columnPositions(), (QStringList{"0", "95"}));

    // No columns leave the last division as it was.
    page.setColumns(0);
    EXPECT_EQ(page.columns(), 0);
    EXPECT_EQ(page.columnWidth(), 95);
    EXPECT_EQ(page.columnPositions().size(), 2);
}

TEST(ReportPage, AColumnCountBeyondThePaperWidthIsRefusedWhileLoading)
{
    const LoadedPages loaded("<TfrxReportPage Name=\"Page1\" PaperWidth=\"210\" Columns=\"100000000\"/>"
                             "<TfrxReportPage Name=\"Page2\" PaperWidth=\"210\" Columns=\"794\"/>"
                             "<TfrxReportPage Name=\"Page3\" PaperWidth=\"210\" Columns=\"795\"/>");
    EXPECT_EQ(loaded.report.errors().strings(), (QStringList{QStringLiteral("Invalid property value: '100000000'"),
                                                    QStringLiteral("Invalid property value: '795'")}));
    EXPECT_EQ(loaded.page(1).columns(), 0);
    EXPECT_TRUE(loaded.page(1).columnPositions().isEmpty());
    EXPECT_EQ(loaded.page(2).columnPositions().size(), 794);
    EXPECT_EQ(loaded.page(3).columns(), 0);

    // A paper as wide as a house still gets no more than the fixed limit.
    ReportPage wide;
    wide.setPaperWidth(10000);
    EXPECT_THROW(wide.setColumns(ReportPage::MaxColumns + 1), Exception);
}

TEST(ReportPage, ColumnPositionsUseTheUsersDecimalSeparator)
{
    Report report;
    report.setLocaleSettings(FormatSettings::german());
    auto* page = report.add<ReportPage>();
    page->setDefaults();
    page->setColumns(3);
    EXPECT_EQ(page->columnPositions(), (QStringList{"0", "63,3333333333333", "126,666666666667"}));
}

TEST(ReportPage, SetDefaultsGivesA4PortraitWithTenMillimetreMargins)
{
    ReportPage page;
    page.setOrientation(PageOrientation::Landscape);
    page.setPaperSize(11);
    page.setDefaults();
    EXPECT_EQ(page.orientation(), PageOrientation::Portrait);
    EXPECT_EQ(page.paperSize(), 9);
    EXPECT_EQ(page.paperWidth(), 210);
    EXPECT_EQ(marginsOf(page), (Margins{10, 10, 10, 10}));
}

TEST(DataPage, TableAndNewPage)
{
    DataPage page;
    EXPECT_EQ(describeTable(page.properties()), (pageRows + QStringList{
        "Height Float = 1000",
        "Left Float = 0",
        "Top Float = 0",
        "Width Float = 1000",
    }));
    expectHoldsDeclaredDefaults(page);
    EXPECT_EQ(page.width(), 1000);
    EXPECT_EQ(page.height(), 1000);
}

TEST(OtherPages, KeepWhatTheyDoNotKnow)
{
    DialogPage dialog;
    DotMatrixPage dotMatrix;
    EXPECT_TRUE(dialog.keepsUnknownAttributes());
    EXPECT_TRUE(dotMatrix.keepsUnknownAttributes());
    EXPECT_FALSE(ReportPage().keepsUnknownAttributes());
    EXPECT_EQ(describeTable(dialog.properties()), pageRows);
    // A dot-matrix page is a report page with paper and margins.
    EXPECT_EQ(describeTable(dotMatrix.properties()), describeTable(ReportPage().properties()));
    EXPECT_EQ(dialog.baseName(), QStringLiteral("DialogPage"));
}
