#include "runtime/format_settings.h"

#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

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
