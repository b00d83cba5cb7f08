#include "report/document/report_options.h"

#include "property_checks.h"

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::checks;

TEST(EngineOptions, TableAndDefaults)
{
    TfrxEngineOptions options;
    EXPECT_EQ(DescribeTable(options.Properties()), (QStringList{
        "ConvertNulls Boolean = True",
        "DoublePass Boolean = False",
        "MaxMemSize Integer = 10",
        "PrintIfEmpty Boolean = True",
        "SilentMode Boolean = False",
        "NewSilentMode Enum = simMessageBoxes",
        "TempDir String = ''",
        "UseFileCache Boolean = False",
        "IgnoreDevByZero Boolean = False",
    }));
    EXPECT_EQ(Identifiers(options.Properties(), "NewSilentMode"),
        (QStringList{"simMessageBoxes", "simSilent", "simReThrow"}));
    ExpectHoldsDeclaredDefaults(options);
}

TEST(EngineOptions, SilentModeIsAViewOfNewSilentMode)
{
    TfrxEngineOptions options;
    options.SetSilentMode(true);
    EXPECT_EQ(options.NewSilentMode(), TfrxSilentMode::simSilent);
    options.SetNewSilentMode(TfrxSilentMode::simReThrow);
    EXPECT_FALSE(options.SilentMode());
    options.SetSilentMode(false);
    EXPECT_EQ(options.NewSilentMode(), TfrxSilentMode::simMessageBoxes);
}

TEST(PreviewOptions, TableAndDefaults)
{
    TfrxPreviewOptions options;
    EXPECT_EQ(DescribeTable(options.Properties()), (QStringList{
        "AllowEdit Boolean = True",
        "Buttons Set = (always)",
        "DoubleBuffered Boolean = True",
        "Maximized Boolean = True",
        "MDIChild Boolean = False",
        "Modal Boolean = True",
        "OutlineExpand Boolean = True",
        "OutlineVisible Boolean = False",
        "OutlineWidth Integer = 120",
        "PagesInCache Integer = 50",
        "ThumbnailVisible Boolean = False",
        "ShowCaptions Boolean = False",
        "Zoom Float = 1",
        "ZoomMode Enum = zmDefault",
        "PictureCacheInFile Boolean = False",
    }));
    EXPECT_EQ(Identifiers(options.Properties(), "Buttons"),
        (QStringList{"pbPrint", "pbLoad", "pbSave", "pbExport", "pbZoom", "pbFind", "pbOutline", "pbPageSetup",
            "pbTools", "pbEdit", "pbNavigator", "pbExportQuick", "pbNoClose", "pbNoFullScreen", "pbNoEmail"}));
    EXPECT_EQ(Identifiers(options.Properties(), "ZoomMode"),
        (QStringList{"zmDefault", "zmWholePage", "zmPageWidth", "zmManyPages"}));
    ExpectHoldsDeclaredDefaults(options);
    // The first twelve buttons, pbPrint to pbExportQuick.
    EXPECT_EQ(options.Buttons(), 4095);
    ExpectSettersReachTheirGetters(options);
}

TEST(PrintOptions, TableAndDefaults)
{
    TfrxPrintOptions options;
    EXPECT_EQ(DescribeTable(options.Properties()), (QStringList{
        "Copies Integer = 1",
        "Collate Boolean = True",
        "PageNumbers String = ''",
        "Printer String = 'Default'",
        "PrintMode Enum = pmDefault",
        "PrintOnSheet Integer = (always)",
        "PrintPages Enum = ppAll",
        "Reverse Boolean = False",
        "ShowDialog Boolean = True",
    }));
    EXPECT_EQ(Identifiers(options.Properties(), "PrintMode"),
        (QStringList{"pmDefault", "pmSplit", "pmJoin", "pmScale"}));
    EXPECT_EQ(Identifiers(options.Properties(), "PrintPages"), (QStringList{"ppAll", "ppOdd", "ppEven"}));
    ExpectHoldsDeclaredDefaults(options);
    EXPECT_EQ(options.PrintOnSheet(), 0);
    EXPECT_EQ(options.PagesPerSheet(), 0);
    EXPECT_EQ(options.SplicingLine(), 3);
    EXPECT_EQ(options.Duplex(), 0);
    EXPECT_FALSE(options.SwapPageSize());
    ExpectSettersReachTheirGetters(options);
}

TEST(PrintOptions, ClearResetsAllButSwapPageSize)
{
    TfrxPrintOptions options;
    ExpectSettersReachTheirGetters(options);
    options.SetPagesPerSheet(4);
    options.SetSplicingLine(1);
    options.SetDuplex(2);
    options.SetSwapPageSize(true);
    options.Clear();
    ExpectHoldsDeclaredDefaults(options);
    EXPECT_EQ(options.PrintOnSheet(), 0);
    EXPECT_EQ(options.PagesPerSheet(), 0);
    EXPECT_EQ(options.SplicingLine(), 3);
    EXPECT_EQ(options.Duplex(), 0);
    EXPECT_TRUE(options.SwapPageSize());
}

TEST(ReportOptions, TableAndDefaults)
{
    TfrxReportOptions options;
    EXPECT_EQ(DescribeTable(options.Properties()), (QStringList{
        "Author String = ''",
        "Compressed Boolean = False",
        "ConnectionName String = ''",
        "CreateDate Float = (always)",
        "Description StringList = []",
        "InitString String = ''",
        "Name String = ''",
        "LastChange Float = (always)",
        "Password String = ''",
        "Picture Picture = none",
        "VersionBuild String = ''",
        "VersionMajor String = ''",
        "VersionMinor String = ''",
        "VersionRelease String = ''",
    }));
    ExpectHoldsDeclaredDefaults(options);
    ExpectSettersReachTheirGetters(options);
}

TEST(ReportOptions, ClearEmptiesAndStampsTheDates)
{
    TfrxReportOptions options;
    ExpectSettersReachTheirGetters(options);
    options.SetPicture(QByteArray("GIF89a"));
    options.Clear(QDateTime(QDate(2020, 7, 3), QTime(12, 0)));
    ExpectHoldsDeclaredDefaults(options);
    EXPECT_TRUE(options.Picture().isEmpty());
    EXPECT_EQ(options.CreateDate(), 44015.5);
    EXPECT_EQ(options.LastChange(), 44015.5);
}

TEST(DateTimes, AreDaysSinceTheLastDayOf1899)
{
    struct Case {
        QDateTime moment;
        double days;
    };
    const Case cases[] = {
        {QDateTime(QDate(1899, 12, 30), QTime(0, 0)), 0},
        {QDateTime(QDate(2020, 7, 3), QTime(18, 0)), 44015.75},
        {QDateTime(QDate(1900, 1, 1), QTime(6, 0)), 2.25},
        // Before day zero the time still counts away from zero.
        {QDateTime(QDate(1899, 12, 29), QTime(6, 0)), -1.25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.moment.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(DateTimeToDays(c.moment), c.days);
        EXPECT_EQ(DaysToDateTime(c.days), c.moment);
    }
    EXPECT_EQ(DaysToDateTime(44014.5821982407).toString(Qt::ISODateWithMs), QStringLiteral("2020-07-02T13:58:21.928"));
}
