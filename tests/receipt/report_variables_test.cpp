#include "app/receipt/report_variables.h"

#include "runtime/exception.h"
#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::report;
using namespace quittung::app;

namespace {

const FormatSettings kGerman = FormatSettings::german();

// The example receipt: number 12, Berlin, 3 July 2020, Muster GmbH, rent for July, 119 gross at 19 %.
ReceiptFormState exampleReceipt()
{
    return {QStringLiteral("12"), QStringLiteral("Berlin"), QDate(2020, 7, 3), QStringLiteral("Muster GmbH"),
        QStringLiteral("Miete\r\nJuli"), QStringLiteral("100"), QStringLiteral("19"), QStringLiteral("119")};
}

Variant valueOf(const char* name, const ReceiptFormState& state = exampleReceipt())
{
    return receiptVariable(QString::fromLatin1(name), state, kGerman).value_or(Variant());
}

} // namespace

TEST(ReportVariables, TheExampleReceiptAnswersAllTenNames)
{
    const struct {
        const char* name;
        Variant value;
    } rows[] = {
        {"QID", Variant(QStringLiteral("12"))},
        {"Ort", Variant(QStringLiteral("Berlin"))},
        {"QDate", Variant(QStringLiteral("03.07.2020"))},
        {"Von", Variant(QStringLiteral("Muster GmbH"))},
        {"Fuer", Variant(QStringLiteral("Miete\r\nJuli"))},
        {"Netto", Variant(QStringLiteral("100"))},
        {"MwSt", Variant(QStringLiteral("19"))},
        {"Brutto", Variant(QStringLiteral("119"))},
        {"BetragInWorten", Variant(QStringLiteral("--EINHUNDERTNEUNZEHN--"))},
        {"SumSteuern", Variant(19.0)},
    };
    for (const auto& row : rows) {
        EXPECT_TRUE(isReceiptVariable(QString::fromLatin1(row.name))) << row.name;
        EXPECT_EQ(valueOf(row.name), row.value) << row.name;
    }
}

TEST(ReportVariables, OtherNamesAreNotAnswered)
{
    for (const char* name : {"qid", "QDATE", "QID ", " QID", "<Netto>", "Date", ""}) {
        EXPECT_FALSE(isReceiptVariable(QString::fromLatin1(name))) << name;
        EXPECT_FALSE(receiptVariable(QString::fromLatin1(name), exampleReceipt(), kGerman).has_value()) << name;
    }
}

TEST(ReportVariables, AmountsInWordsAndTaxFollowTheGrossText)
{
    ReceiptFormState state = exampleReceipt();
    const struct {
        const char* gross;
        const char* net;
        const char* words;
        double tax;
    } rows[] = {
        {"0,99", "0,83", "----", 0.16},
        {"119,99", "100,83", "--EINHUNDERTNEUNZEHN--", 19.16},
        {"-119", "-100", "--MINUS EINHUNDERTNEUNZEHN--", -19},
        // More than four decimals round to the ten-thousandth, a half to the even neighbour.
        {"0,99995", "0,99995", "--EINS--", 0},
        {"0,99985", "0,99985", "----", 0},
    };
    for (const auto& row : rows) {
        state.gross = QString::fromUtf8(row.gross);
        state.net = QString::fromUtf8(row.net);
        EXPECT_EQ(valueOf("BetragInWorten", state), Variant(QString::fromUtf8(row.words))) << row.gross;
        EXPECT_EQ(valueOf("SumSteuern", state), Variant(row.tax)) << row.gross;
    }
}

TEST(ReportVariables, AGrossTextThatIsNoNumberFailsTheRequest)
{
    ReceiptFormState state = exampleReceipt();
    state.gross = QStringLiteral("hundert");
    for (const char* name : {"BetragInWorten", "SumSteuern"}) {
        try {
            valueOf(name, state);
            ADD_FAILURE() << name;
        } catch (const ConvertError& error) {
            EXPECT_EQ(error.message(), QStringLiteral("'hundert' ist kein gültiger Gleitkommawert")) << name;
        }
    }
    EXPECT_EQ(valueOf("Brutto", state), Variant(QStringLiteral("hundert")));
}

TEST(ReportVariables, GrossAmountsTooLargeForWordsGetTheSizeMessageInAnyNotation)
{
    ReceiptFormState state = exampleReceipt();
    const QString tooLarge = QStringLiteral("Der Betrag %1 ist zu groß: Quittungen sind bis höchstens "
                                            "999.999.999.999,99 möglich");
    const struct {
        const char* gross;
        const char* shown;
    } rows[] = {{"1E12", "1000000000000"}, {"1E15", "1E15"}, {"-1E300", "-1E300"}, {"99999999999999999999", "1E20"}};
    for (const auto& row : rows) {
        state.gross = QString::fromUtf8(row.gross);
        try {
            valueOf("BetragInWorten", state);
            ADD_FAILURE() << row.gross;
        } catch (const Exception& error) {
            EXPECT_EQ(error.message(), tooLarge.arg(QString::fromUtf8(row.shown))) << row.gross;
        }
    }
}
