#include "report/document/report_options.h"

#include "property_checks.h"

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::report;
using namespace quittung::report::checks;

TEST(EngineOptions, TableAndDefaults)
{
    EngineOptions options;
    EXPECT_EQ(describeTable(options.properties()), (QStringList{
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
    EXPECT_EQ(identifiers(options.properties(), "NewSilentMode"),
        (QStringList{"simMessageBoxes", "simSilent", "simReThrow"}));
    expectHoldsDeclaredDefaults(options);
}

TEST(EngineOptions, SilentModeIsAViewOfNewSilentMode)
{
    EngineOptions options;
    options.setSilentMode(true);
    EXPECT_EQ(options.newSilentMode(), SilentMode::Silent);
    options.setNewSilentMode(SilentMode::Rethrow);
    EXPECT_FALSE(options.silentMode());
    options.setSilentMode(false);
    EXPECT_EQ(options.newSilentMode(), SilentMode::MessageBoxes);
}

TEST(PreviewOptions, TableAndDefaults)
{
    PreviewOptions options;
    EXPECT_EQ(describeTable(options.properties()), (QStringList{
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
    EXPECT_EQ(identifiers(options.properties(), "Buttons"),
        (QStringList{"pbPrint", "pbLoad", "pbSave", "pbExport", "pbZoom", "pbFind", "pbOutline", "pbPageSetup",
            "pbTools", "pbEdit", "pbNavigator", "pbExportQuick", "pbNoClose", "pbNoFullScreen", "pbNoEmail"}));
    EXPECT_EQ(identifiers(options.properties(), "ZoomMode"),
        (QStringList{"zmDefault", "zmWholePage", "zmPageWidth", "zmManyPages"}));
    expectHoldsDeclaredDefaults(options);
    // The first twelve buttons, pbPrint to pbExportQuick.
    EXPECT_EQ(options.buttons(), 4095);
    expectSettersReachTheirGetters(options);
}

TEST(PrintOptions, TableAndDefaults)
{
    PrintOptions options;
    EXPECT_EQ(describeTable(options.properties()), (QStringList{
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
    EXPECT_EQ(identifiers(options.properties(), "PrintMode"),
        (QStringList{"pmDefault", "pmSplit", "pmJoin", "pmScale"}));
    EXPECT_EQ(identifiers(options.properties(), "PrintPages"), (QStringList{"ppAll", "ppOdd", "ppEven"}));
    expectHoldsDeclaredDefaults(options);
    EXPECT_EQ(options.printOnSheet(), 0);
    EXPECT_EQ(options.pagesPerSheet(), 0);
    EXPECT_EQ(options.splicingLine(), 3);
    EXPECT_EQ(options.duplex(), 0);
    EXPECT_FALSE(options.swapPageSize());
    expectSettersReachTheirGetters(options);
}

TEST(PrintOptions, ClearResetsAllButSwapPageSize)
{
    PrintOptions options;
    expectSettersReachTheirGetters(options);
    options.setPagesPerSheet(4);
    options.setSplicingLine(1);
    options.setDuplex(2);
    options.setSwapPageSize(true);
    options.clear();
    expectHoldsDeclaredDefaults(options);
    EXPECT_EQ(options.printOnSheet(), 0);
    EXPECT_EQ(options.pagesPerSheet(), 0);
    EXPECT_EQ(options.splicingLine(), 3);
    EXPECT_EQ(options.duplex(), 0);
    EXPECT_TRUE(options.swapPageSize());
}

TEST(ReportOptions, TableAndDefaults)
{
    ReportOptions options;
    EXPECT_EQ(describeTable(options.properties()), (QStringList{
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
    expectHoldsDeclaredDefaults(options);
    expectSettersReachTheirGetters(options);
}

TEST(ReportOptions, ClearEmptiesAndStampsTheDates)
{
    ReportOptions options;
    expectSettersReachTheirGetters(options);
    options.setPicture(QByteArray("GIF89a"));
    options.clear(QDateTime(QDate(2020, 7, 3), QTime(12, 0)));
    expectHoldsDeclaredDefaults(options);
    EXPECT_TRUE(options.picture().isEmpty());
    EXPECT_EQ(options.createDate(), 44015.5);
    EXPECT_EQ(options.lastChange(), 44015.5);
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
        EXPECT_EQ(dateTimeToDays(c.moment), c.days);
        EXPECT_EQ(daysToDateTime(c.days), c.moment);
    }
    EXPECT_EQ(daysToDateTime(44014.5821982407).toString(Qt::ISODateWithMs), QStringLiteral("2020-07-02T13:58:21.928"));
}
