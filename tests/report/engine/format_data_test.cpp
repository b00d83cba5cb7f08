#include "report/engine/formats/format_data.h"

#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <cmath>
#include <limits>
#include <vector>

using namespace quittung;
using namespace quittung::report;

namespace {

const FormatSettings german = FormatSettings::german();
const FormatSettings english{QLatin1Char('.'), QLatin1Char(','), QStringLiteral("MM/dd/yy")};

Variant text(const char* value)
{
    return Variant(QString::fromUtf8(value));
}

DisplayFormat format(FormatKind kind, const char* formatStr, const char* decimal = "", const char* thousand = "")
{
    DisplayFormat f;
    f.setKind(kind);
    f.setFormatStr(QString::fromUtf8(formatStr));
    f.setDecimalSeparator(QString::fromUtf8(decimal));
    f.setThousandSeparator(QString::fromUtf8(thousand));
    return f;
}

DisplayFormat numeric(const char* formatStr, const char* decimal = "", const char* thousand = "")
{
    return format(FormatKind::Numeric, formatStr, decimal, thousand);
}

struct Case {
    Variant value;
    DisplayFormat format;
    const char* expected;
};

void expectAll(const std::vector<Case>& cases, const FormatSettings& regional)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format.formatStr().toStdString() + " with " + variantToText(c.value, german).toStdString());
        EXPECT_EQ(formatData(c.value, c.format, regional), QString::fromUtf8(c.expected));
    }
}

// Day and month names come from the regional settings; each test that shows them sets a default
// locale of another language, which must not be asked.
class FormatDataNames : public ::testing::Test {
protected:
    void TearDown() override { QLocale::setDefault(m_saved); }

private:
    QLocale m_saved;
};

const QDateTime friday(QDate(2020, 7, 3), QTime(14, 5, 9, 250));

} // namespace

TEST(FormatData, PrintfFormatsUnderGermanSettings)
{
    expectAll({
                  // The receipt's "#n%2,2f": amounts arrive as edit texts or as floats, never grouped.
                  {text("84,03"), numeric("%2.2f", ","), "84,03"},
                  {1234.5, numeric("%2.2f", ","), "1234,50"},
                  {7, numeric("%2.2f", ","), "7,00"},
                  {2.5, numeric("%5.1f"), "  2,5"},
                  {2.5, numeric("%-5.1f|"), "2,5  |"},
                  {2.675, numeric("%.2f"), "2,68"},
                  {-0.004, numeric("%.2f"), "0,00"},
                  {-1234.5, numeric("%.0f"), "-1235"},
                  {1234567.891, numeric("%n"), "1.234.567,89"},
                  {1234.5, numeric("%10.1n"), "   1.234,5"},
                  {1234.5, numeric("%m"), "1.234,50 €"},
                  {1234.5, numeric("%e"), "1,23450000000000E+003"},
                  {0.000012345, numeric("%.3e"), "1,23E-005"},
                  {1234.5, numeric("%g"), "1234,5"},
                  {0.00001, numeric("%g"), "0,00001"},
                  {0.000001, numeric("%g"), "1E-6"},
                  {123456.0, numeric("%.3g"), "1,23E5"},
                  // "%g" is the general number format, rounded on the binary value, which is below 2,675.
                  {2.675, numeric("%.3g"), "2,67"},
                  {2.5, numeric("%%%.1f"), "%2,5"},
                  {2.5, numeric("Betrag"), "Betrag"},
                  {2.5, numeric(""), ""},
              },
        german);
}

TEST(FormatData, IntegerFormatsRoundHalvesToEven)
{
    expectAll({
                  {12.7, numeric("%d"), "13"},
                  {12.5, numeric("%d"), "12"},
                  {13.5, numeric("%d"), "14"},
                  {-2.5, numeric("%d"), "-2"},
                  {text("84,03"), numeric("%d"), "84"},
                  {-5, numeric("%.3d"), "-005"},
                  {42, numeric("%5d|%0:-5d|"), "   42|42   |"},
                  {255, numeric("%0:d = %0:x"), "255 = FF"},
                  {-1, numeric("%u"), "4294967295"},
                  {Variant::Currency{125000}, numeric("%d"), "12"},
              },
        german);
}

TEST(FormatData, PictureFormats)
{
    expectAll({
                  {1234.5, numeric("#,##0.00"), "1.234,50"},
                  {1234567.891, numeric("#,##0.00"), "1.234.567,89"},
                  {1e20, numeric("#,##0"), "100.000.000.000.000.000.000"},
                  {2.675, numeric("0.00"), "2,68"},
                  {-2.5, numeric("0.00"), "-2,50"},
                  {-0.004, numeric("0.00"), "0,00"},
                  {0.5, numeric("0"), "1"},
                  {-0.5, numeric("0"), "-1"},
                  {0.5, numeric("#.##"), ",5"},
                  {5, numeric("0.##"), "5"},
                  {1.2, numeric("0.0#"), "1,2"},
                  {1.256, numeric("0.0#"), "1,26"},
                  {7, numeric("000"), "007"},
                  {12345, numeric("00-00"), "123-45"},
                  {-1234.5, numeric("#,##0.00;(#,##0.00)"), "(1.234,50)"},
                  {0, numeric("#,##0.00;(#,##0.00);'null'"), "null"},
                  {-0.001, numeric("0.00;;\"null\""), "null"},
                  {84.03, numeric("0.00 €"), "84,03 €"},
                  {17, numeric("#'Nr. '000"), "Nr. 017"},
                  {-5, numeric("0' Stk.;#0'"), "-5 Stk.;#0"},
                  // Only "#" or a leading "0" make a picture; anything else is a printf-style format.
                  {17, numeric("'Nr. '000"), "'Nr. '000"},
                  {1234.5, numeric("0.00E+00"), "1,23E+03"},
                  {0.00012345, numeric("0.00E+00"), "1,23E-04"},
                  {1234.5, numeric("0.0e-0"), "1,2e3"},
                  {0, numeric("0.00E+00"), "0,00E+00"},
                  {text("84,03"), numeric("0.00"), "84,03"},
                  {Variant::Currency{123456789}, numeric("#,##0.00"), "12.345,68"},
              },
        german);
}

TEST(FormatData, EnglishSettings)
{
    expectAll({
                  // "," groups digits here, and "84,03" is no grouped number: the text is shown as it is.
                  {text("84,03"), numeric("%2.2f", ","), "84,03"},
                  {1234.5, numeric("%2.2f", ","), "1234,50"},
                  {text("84.03"), numeric("%2.2f", ","), "84,03"},
                  {text("1,234.5"), numeric("%.2f"), "1234.50"},
                  {1234.5, numeric("#,##0.00"), "1,234.50"},
                  {1234.5, numeric("%n"), "1,234.50"},
                  {1234.5, numeric("%.1f"), "1234.5"},
              },
        english);
}

TEST(FormatData, FormatSeparatorsReplaceRegionalOnes)
{
    struct Row {
        const FormatSettings& regional;
        DisplayFormat format;
        const char* expected;
    };
    const std::vector<Row> rows{
        {german, numeric("%n", ".", "'"), "1'234'567.89"},
        {german, numeric("#,##0.00", "", " "), "1 234 567,89"},
        {german, numeric("#,##0.00", ",", "."), "1.234.567,89"},
        // Swapping both: the decimal separator is found before the grouping changes.
        {english, numeric("#,##0.00", ",", "."), "1.234.567,89"},
        {english, numeric("%n", ","), "1,234,567,89"},
        // Only single characters take part.
        {german, numeric("%n", ",-", "  "), "1.234.567,89"},
        {german, format(FormatKind::Text, "", ".", ","), "1234567,891"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.format.formatStr().toStdString());
        EXPECT_EQ(formatData(1234567.891, row.format, row.regional), QString::fromUtf8(row.expected));
    }
}

TEST(FormatData, ValuesThatCannotBeFormattedShowTheirPlainText)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    expectAll({
                  {text("kein Betrag"), numeric("%2.2f", ","), "kein Betrag"},
                  {text("kein Betrag"), numeric("#,##0.00"), "kein Betrag"},
                  {text(""), numeric("%2.2f", ","), ""},
                  {true, numeric("%2.2f"), "True"},
                  {Variant(QDateTime(QDate(2020, 7, 3), QTime())), numeric("%2.2f"), "03.07.2020"},
                  {255, numeric("%x"), "255"},                  // float argument for an integer type
                  {1234.5, numeric("Summe %.2f"), "1234,5"},    // the "u" asks for an integer argument
                  {3e9, numeric("%d"), "3000000000"},          // beyond 32 bits
                  {2.5, numeric("%s"), "2,5"},
                  {2.5, numeric("%.1f %.1f"), "2,5"},
                  {2.5, numeric("%*d"), "2,5"},
                  {2.5, numeric("%5.1"), "2,5"},
                  {nan, numeric("0.00"), "NAN"},
                  {std::numeric_limits<double>::infinity(), numeric("%f"), "INF"},
                  {text("kein Datum"), format(FormatKind::DateTime, "dd.mm.yyyy"), "kein Datum"},
                  {text("31.02.2020"), format(FormatKind::DateTime, "dd.mm.yyyy"), "31.02.2020"},
                  {true, format(FormatKind::DateTime, "dd.mm.yyyy"), "True"},
                  {1e9, format(FormatKind::DateTime, "dd.mm.yyyy"), "1000000000"},
              },
        german);
}

// Widths come from the template: a field is cut to 100 000 characters and the whole result to
// 2^20, beyond which the value shows as plain text instead of filling the memory.
TEST(FormatData, PrintfWidthsAreBounded)
{
    const struct {
        QString pattern;
        qsizetype length;
    } cases[] = {
        {QStringLiteral("%999999999d"), 100000},
        {QStringLiteral("%-99999999999999999999d|"), 100001},
        {QStringLiteral("%0:100000d").repeated(10), 1000000},
        {QStringLiteral("%0:100000d").repeated(11), 2},
        {QStringLiteral("%0:999999999d").repeated(100000), 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern.left(30).toStdString());
        DisplayFormat f;
        f.setKind(FormatKind::Numeric);
        f.setFormatStr(c.pattern);
        const QString text = formatData(42, f, german);
        EXPECT_EQ(text.size(), c.length);
        EXPECT_TRUE(text.contains(QStringLiteral("42")));
    }
}

TEST(FormatData, NullIsEmptyInEveryKind)
{
    for (const auto kind : {FormatKind::Text, FormatKind::Numeric, FormatKind::DateTime, FormatKind::Boolean})
        EXPECT_EQ(formatData(Variant::null(), format(kind, "Ja,Nein"), german), QString());
}

TEST(FormatData, BooleanFormats)
{
    const DisplayFormat yesNo = format(FormatKind::Boolean, "Ja,Nein");
    expectAll({
                  {true, yesNo, "Ja"},
                  {false, yesNo, "Nein"},
                  {1, yesNo, "Ja"},
                  {0.0, yesNo, "Nein"},
                  {text("True"), yesNo, "Ja"},
                  {text("false"), yesNo, "Nein"},
                  {text("1"), yesNo, "Ja"},
                  {text("Ja"), yesNo, "Nein"},
                  {true, format(FormatKind::Boolean, "x,y,z"), "x"},
                  {false, format(FormatKind::Boolean, "x,y,z"), "y,z"},
                  // Without a comma everything stands after it.
                  {true, format(FormatKind::Boolean, "Ja"), ""},
                  {false, format(FormatKind::Boolean, "Ja"), "Ja"},
              },
        german);
}

TEST_F(FormatDataNames, DateTimePicturesWithGermanNames)
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    const auto dateTime = [](const char* picture) { return format(FormatKind::DateTime, picture); };
    expectAll({
                  {friday, dateTime("dd.mm.yyyy"), "03.07.2020"},
                  {friday, dateTime("d.m.yy"), "3.7.20"},
                  {friday, dateTime("dd/mm/yyyy"), "03.07.2020"},
                  {friday, dateTime("dddd, d. mmmm yyyy"), "Freitag, 3. Juli 2020"},
                  {friday, dateTime("ddd"), "Fr"},
                  {friday, dateTime("hh:nn:ss.zzz"), "14:05:09.250"},
                  {friday, dateTime("hh:mm"), "14:05"},
                  {friday, dateTime("h:mm am/pm"), "2:05 pm"},
                  {friday, dateTime("hh A/P"), "02 P"},
                  {friday, dateTime("'am' dd.mm. \"um\" t"), "am 03.07. um 14:05"},
                  {friday, dateTime("c"), "03.07.2020 14:05:09"},
                  {friday, dateTime(""), "03.07.2020 14:05:09"},
                  {Variant(QDateTime(QDate(2020, 7, 3), QTime())), dateTime("c"), "03.07.2020"},
                  {friday, dateTime("ddddd"), "03.07.2020"},
                  {friday, dateTime("dddddd"), "Freitag, 3. Juli 2020"},
                  {QDateTime(QDate(2020, 3, 1), QTime()), dateTime("ddd, d. mmm"), "So, 1. Mär"},
                  // Numbers count days since 30 December 1899; strings follow the short date format.
                  {44015.5, dateTime("dd.mm.yyyy hh:nn"), "03.07.2020 12:00"},
                  {0, dateTime("dd.mm.yyyy"), "30.12.1899"},
                  {text("03.07.2020"), dateTime("dddd"), "Freitag"},
                  {text("3.7.20 14:30"), dateTime("yyyy-mm-dd hh:nn"), "2020-07-03 14:30"},
              },
        german);
}

TEST_F(FormatDataNames, DateTimePicturesWithEnglishNames)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    expectAll({
                  {friday, format(FormatKind::DateTime, "dddd, mmmm d, yyyy"), "Friday, July 3, 2020"},
                  {friday, format(FormatKind::DateTime, "ddd mmm"), "Fri Jul"},
                  {friday, format(FormatKind::DateTime, "dddddd"), "Friday, July 3, 2020"},
                  {friday, format(FormatKind::DateTime, "c"), "07/03/20 14:05:09"},
                  {text("07/03/20"), format(FormatKind::DateTime, "dd.mm.yyyy"), "03.07.2020"},
                  {text("03.07.2020"), format(FormatKind::DateTime, "dd.mm.yyyy"), "03.07.2020"},
              },
        english);
}

TEST(FormatData, ALongDateThatHoldsTheLongDateShowsTheShortOneThere)
{
    FormatSettings regional = german;
    regional.longDateFormat = QStringLiteral("dddddd 'lang'");
    EXPECT_EQ(formatData(friday, format(FormatKind::DateTime, "dddddd"), regional), QStringLiteral("03.07.2020 lang"));
}

TEST(VariantToText, PlainTextOfEachType)
{
    struct Row {
        Variant value;
        const char* german;
        const char* english;
    };
    const std::vector<Row> rows{
        {Variant(), "", ""},
        {Variant::null(), "", ""},
        {text("84,03"), "84,03", "84,03"},
        {-42, "-42", "-42"},
        {84.03, "84,03", "84.03"},
        {1e20, "1E20", "1E20"},
        {Variant::Currency{123400}, "12,34", "12.34"},
        {Variant::Currency{120000}, "12", "12"},
        {Variant::Currency{-5000}, "-0,5", "-0.5"},
        {true, "True", "True"},
        {false, "False", "False"},
        {Variant(QDateTime(QDate(2020, 7, 3), QTime())), "03.07.2020", "07/03/20"},
        {Variant(QDateTime(QDate(2020, 7, 3), QTime(14, 30, 5))), "03.07.2020 14:30:05", "07/03/20 14:30:05"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.german);
        EXPECT_EQ(variantToText(row.value, german), QString::fromUtf8(row.german));
        EXPECT_EQ(variantToText(row.value, english), QString::fromUtf8(row.english));
    }
}

TEST(VariantToNumber, StringsUnderRegionalRulesThenWithAPoint)
{
    struct Row {
        const FormatSettings& regional;
        const char* text;
        std::optional<double> expected;
    };
    const std::vector<Row> rows{
        {german, "84,03", 84.03},
        {german, " 7 ", 7},
        {german, "-1.234,5", -1234.5},
        {german, "1.234.567", 1234567},
        {german, "84.03", 84.03},   // no groups of three: read with a point
        {german, "1.2345,6", std::nullopt},
        {german, "1e3", 1000},
        {german, "", std::nullopt},
        {german, "abc", std::nullopt},
        {english, "84,03", std::nullopt},
        {english, "1,234.5", 1234.5},
        {english, "84.03", 84.03},
        {english, ",123", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(variantToNumber(text(row.text), row.regional), row.expected);
    }
}

TEST(VariantToNumber, OnlyNumbersAndStringsAreNumbers)
{
    EXPECT_EQ(variantToNumber(-42, german), -42.0);
    EXPECT_EQ(variantToNumber(84.03, german), 84.03);
    EXPECT_EQ(variantToNumber(Variant::Currency{840300}, german), 84.03);
    EXPECT_EQ(variantToNumber(true, german), std::nullopt);
    EXPECT_EQ(variantToNumber(Variant(QDateTime(QDate(2020, 7, 3), QTime())), german), std::nullopt);
    EXPECT_EQ(variantToNumber(Variant::null(), german), std::nullopt);
    EXPECT_EQ(variantToNumber(Variant(), german), std::nullopt);
}
