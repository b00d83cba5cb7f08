#include "app/receipt/receipt_amounts.h"

#include "app/receipt/receipt.h"
#include "runtime/exception.h"
#include "runtime/number_format.h"
#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::app;

namespace {

const FormatSettings kGerman = FormatSettings::german();

QString failure(const char* netto, const char* brutto, const char* mwst)
{
    try {
        computeAmounts(QString::fromUtf8(netto), QString::fromUtf8(brutto), QString::fromUtf8(mwst), kGerman);
    } catch (const Exception& error) {
        return error.message();
    }
    return QStringLiteral("(completed)");
}

} // namespace

TEST(ReceiptAmounts, CompletionFollowsTheWorkedExamples)
{
    // Empty fields arrive as "0", as the window fills them before the completion.
    const struct {
        const char *net, *gross, *vatRate, *netAfter, *grossAfter, *taxSum;
    } rows[] = {
        {"0", "119", "19", "100", "119", "19"},
        {"100", "0", "19", "100", "119", "19"},
        {"0", "100", "19", "84,03", "100", "15,97"},
        {"0", "10", "7", "9,35", "10", "0,65"},
        {"0", "100", "19,5", "83,68", "100", "16,32"},
        {"50", "70", "19", "50", "70", "20"},
        {"10,555", "0", "19", "10,55", "12,56", "2,01"},
        {"84,1", "0", "19", "84,1", "100,08", "15,98"},
        {"0", "0", "0", "0", "0", "0"},
        {"0", "-119", "19", "-100", "-119", "-19"},
        // Zero in any spelling lets the amount be derived.
        {"0,00", "119", "19", "100", "119", "19"},
        {"-0", "119", "19", "100", "119", "19"},
        // A tiny net amount is no zero: the gross amount comes from it, and both round to 0.
        {"0,004", "0", "19", "0", "0", "0"},
        {"1E2", "0", "19", "100", "119", "19"},
        {"999999999999,99", "999999999999,99", "19", "999999999999,99", "999999999999,99", "0"},
    };
    for (const auto& row : rows) {
        const CompletedAmounts amounts = computeAmounts(
            QString::fromUtf8(row.net), QString::fromUtf8(row.gross), QString::fromUtf8(row.vatRate), kGerman);
        EXPECT_EQ(centsText(amounts.netCents, kGerman), QString::fromUtf8(row.netAfter)) << row.net << " " << row.gross;
        EXPECT_EQ(centsText(amounts.grossCents, kGerman), QString::fromUtf8(row.grossAfter)) << row.net << " " << row.gross;
        EXPECT_EQ(centsText(amounts.grossCents - amounts.netCents, kGerman), QString::fromUtf8(row.taxSum))
            << row.net << " " << row.gross;
    }
}

TEST(ReceiptAmounts, HalvesRoundAwayFromZeroOnTheBinaryValue)
{
    const struct {
        const char* typed;
        const char* written;
    } rows[] = {{"0,125", "0,13"}, {"-0,125", "-0,13"}, {"2,675", "2,67"}, {"1,005", "1"}, {"0,005", "0,01"},
        {"-0,004", "0"}, {"84,035", "84,03"}};
    for (const auto& row : rows) {
        const CompletedAmounts amounts = computeAmounts(QString::fromUtf8(row.typed), QStringLiteral("1"),
            QStringLiteral("19"), kGerman);
        EXPECT_EQ(centsText(amounts.netCents, kGerman), QString::fromUtf8(row.written)) << row.typed;
    }
    EXPECT_EQ(roundHalfAwayFromZero(2.5L), 3);
    EXPECT_EQ(roundHalfAwayFromZero(-2.5L), -3);
    EXPECT_EQ(roundHalfAwayFromZero(2.4L), 2);
    EXPECT_EQ(roundHalfAwayFromZero(-2.4L), -2);
}

TEST(ReceiptAmounts, TextsAreReadInOrderAndBadOnesAreReported)
{
    EXPECT_EQ(failure("abc", "x", "y"), QStringLiteral("'abc' ist kein gültiger Gleitkommawert"));
    EXPECT_EQ(failure("100", "1.000,50", "y"), QStringLiteral("'1.000,50' ist kein gültiger Gleitkommawert"));
    EXPECT_EQ(failure("100", "0", "19 %"), QStringLiteral("'19 %' ist kein gültiger Gleitkommawert"));
    EXPECT_EQ(failure("  ", "119", "19"), QStringLiteral("'  ' ist kein gültiger Gleitkommawert"));
}

TEST(ReceiptAmounts, AmountsTooLargeForWordsAndAZeroFactorAreRefused)
{
    const QString tooLarge = QStringLiteral("Der Betrag %1 ist zu groß: Quittungen sind bis höchstens "
                                            "999.999.999.999,99 möglich");
    EXPECT_EQ(failure("1000000000000", "0", "19"), tooLarge.arg(QStringLiteral("1000000000000")));
    // Derived amounts count too, and so do refunds.
    EXPECT_EQ(failure("999999999999", "0", "19"), tooLarge.arg(QStringLiteral("1189999999998,81")));
    EXPECT_EQ(failure("0", "-2E15", "19"), tooLarge.arg(QStringLiteral("-1,68067226890756E15")));
    // Rounding may carry an amount over the limit.
    EXPECT_EQ(failure("999999999999,996", "1", "19"), tooLarge.arg(QStringLiteral("999999999999,996")));
    EXPECT_EQ(failure("0", "1E300", "1E300"), tooLarge.arg(QStringLiteral("1E300")));

    EXPECT_EQ(failure("0", "119", "-100"),
        QStringLiteral("Mit dem MwSt.-Satz -100 lassen sich Netto- und Bruttobetrag nicht berechnen"));
    EXPECT_EQ(failure("100", "0", " -1E2 "),
        QStringLiteral("Mit dem MwSt.-Satz -1E2 lassen sich Netto- und Bruttobetrag nicht berechnen"));
}

TEST(ReceiptAmounts, APointLocaleReadsPoints)
{
    const FormatSettings point{QLatin1Char('.'), QLatin1Char(','), QStringLiteral("MM/dd/yyyy")};
    const CompletedAmounts amounts
        = computeAmounts(QStringLiteral("0"), QStringLiteral("100"), QStringLiteral("19"), point);
    EXPECT_EQ(amounts.netCents, 8403);
    EXPECT_EQ(centsText(amounts.netCents, point), QStringLiteral("84.03"));
    EXPECT_THROW(computeAmounts(QStringLiteral("84,03"), QStringLiteral("0"), QStringLiteral("19"), point),
        ConvertError);
}
