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
Receipt exampleReceipt()
{
    Receipt receipt;
    receipt.number = QStringLiteral("12");
    receipt.place = QStringLiteral("Berlin");
    receipt.date = QDate(2020, 7, 3);
    receipt.payer = QStringLiteral("Muster GmbH");
    receipt.purpose = QStringLiteral("Miete\r\nJuli");
    receipt.netCents = 10000;
    receipt.grossCents = 11900;
    receipt.vatRate = 19;
    receipt.vatRateText = QStringLiteral("19");
    return receipt;
}

Variant valueOf(const char* name, const Receipt& receipt = exampleReceipt())
{
    return receiptVariable(QString::fromLatin1(name), receipt, kGerman).value_or(Variant());
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

TEST(ReportVariables, AmountsWordsAndTaxComeFromTheCents)
{
    Receipt receipt = exampleReceipt();
    const struct {
        qint64 gross;
        qint64 net;
        const char* grossText;
        const char* words;
        double tax;
    } rows[] = {
        {99, 83, "0,99", "----", 0.16},
        {11999, 10083, "119,99", "--EINHUNDERTNEUNZEHN--", 19.16},
        {-11900, -10000, "-119", "--MINUS EINHUNDERTNEUNZEHN--", -19},
        {99999999999999, 84033613445377, "999999999999,99",
            "--NEUNHUNDERTNEUNUNDNEUNZIGMILLIARDENNEUNHUNDERTNEUNUNDNEUNZIGMILLIONENNEUNHUNDERTNEUNUNDNEUNZIGTAUSENDNEUNHUNDERTNEUNUNDNEUNZIG--",
            159663865546.22},
    };
    for (const auto& row : rows) {
        receipt.grossCents = row.gross;
        receipt.netCents = row.net;
        EXPECT_EQ(valueOf("Brutto", receipt), Variant(QString::fromUtf8(row.grossText))) << row.gross;
        EXPECT_EQ(valueOf("BetragInWorten", receipt), Variant(QString::fromUtf8(row.words))) << row.gross;
        EXPECT_EQ(valueOf("SumSteuern", receipt), Variant(row.tax)) << row.gross;
    }
}

// The window's rules: the missing amount is completed and written back as the window shows it;
// a text that is no number leaves the form as it was.
TEST(ReceiptFromForm, CompletesTheAmountsAndWritesTheirTextsBack)
{
    ReceiptFormState form{QStringLiteral("7"), QStringLiteral("Köln"), QDate(2026, 12, 10), QStringLiteral("Muster GmbH"),
        QStringLiteral("Beratung"), QStringLiteral("0"), QStringLiteral("7,5"), QStringLiteral("100"), 3};
    const Receipt receipt = receiptFromForm(form, kGerman);
    EXPECT_EQ(receipt.netCents, 9302);
    EXPECT_EQ(receipt.grossCents, 10000);
    EXPECT_EQ(receipt.vatRate, 7.5);
    EXPECT_EQ(receipt.vatRateText, QStringLiteral("7,5"));
    EXPECT_EQ(receipt.outputFormat, 3);
    EXPECT_EQ(receipt.payer, QStringLiteral("Muster GmbH"));
    EXPECT_EQ(form.net, QStringLiteral("93,02"));
    EXPECT_EQ(form.gross, QStringLiteral("100"));

    form.net = QStringLiteral("50");
    form.gross = QStringLiteral(" ");
    EXPECT_THROW(receiptFromForm(form, kGerman), ConvertError);
    EXPECT_EQ(form.net, QStringLiteral("50"));
    EXPECT_EQ(form.gross, QStringLiteral(" "));
}
