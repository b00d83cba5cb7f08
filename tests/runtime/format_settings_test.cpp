#include "runtime/format_settings.h"

#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

using namespace quittung;

TEST(FormatSettings, StrftimeDatePatternsBecomeQtFormats)
{
    const struct {
        const char* strftime;
        const char* qt;
    } rows[] = {
        {"%d.%m.%Y", "dd.MM.yyyy"},
        {"%m/%d/%Y", "MM/dd/yyyy"},
        {"%m/%d/%y", "MM/dd/yy"},
        {"%Y-%m-%d", "yyyy-MM-dd"},
        {"%F", "yyyy-MM-dd"},
        {"%e. %B %Y", "d. MMMM yyyy"},
        {"%Y年%m月%d日", "yyyy'年'MM'月'dd'日'"},
        {"%-d.%-m.%Y", "d.M.yyyy"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(dateFormatFromStrftime(QString::fromUtf8(row.strftime)), QString::fromUtf8(row.qt)) << row.strftime;
}

TEST(FormatSettings, GermanSettingsWriteGermanDates)
{
    const FormatSettings german = FormatSettings::german();
    EXPECT_EQ(german.decimalSeparator, QLatin1Char(','));
    EXPECT_EQ(german.formatShortDate(QDate(2020, 7, 3)), QStringLiteral("03.07.2020"));
}

TEST(FormatSettings, TheCLocaleGivesTheDefaultEnglishSettings)
{
    const char* saved = std::getenv("LC_ALL");
    const std::string previous = saved ? saved : "";
    setenv("LC_ALL", "C", 1);
    const FormatSettings settings = FormatSettings::fromProcessLocale();
    if (saved)
        setenv("LC_ALL", previous.c_str(), 1);
    else
        unsetenv("LC_ALL");
    std::setlocale(LC_ALL, "C");

    // Names included: the C library counts days from Sunday, the settings from Monday.
    EXPECT_EQ(settings, FormatSettings());
    EXPECT_EQ(settings.shortDayNames.front(), QStringLiteral("Mon"));
    EXPECT_EQ(settings.longMonthNames.back(), QStringLiteral("December"));
}

TEST(FormatSettings, TheLongDateFollowsTheShortDatesOrder)
{
    const struct {
        const char* shortDate;
        const char* longDate;
    } rows[] = {
        {"dd.MM.yyyy", "dddd, d. mmmm yyyy"},
        {"dd/MM/yyyy", "dddd d mmmm yyyy"},
        {"MM/dd/yy", "dddd, mmmm d, yyyy"},
        {"yyyy-MM-dd", "dddd, mmmm d, yyyy"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(longDateFormatFor(QString::fromUtf8(row.shortDate)), QString::fromUtf8(row.longDate))
            << row.shortDate;
    }
    EXPECT_EQ(FormatSettings::german().longDateFormat, QStringLiteral("dddd, d. mmmm yyyy"));
}
