#pragma once

#include "runtime/format_settings.h"

#include <QDate>
#include <QString>
#include <QtGlobal>

namespace quittung::app {

// The receipt window's fields as texts, as the user typed them.
struct ReceiptFormState {
    QString number;
    QString place;
    QDate date;
    QString payer;
    QString purpose; // its lines joined with CR LF, no break added after the last
    QString net;
    QString vatRate;
    QString gross;
    // The output format box's item (see Receipt).
    int outputFormat = 0;
};

// One receipt, its amounts complete: what the templates show and the outputs are made of.
struct Receipt {
    QString number;
    QString place;
    QDate date;
    QString payer;
    QString purpose; // lines joined with CR LF
    qint64 netCents = 0;
    qint64 grossCents = 0;
    // The VAT rate in percent, and as the window shows it ("7,5").
    double vatRate = 0;
    QString vatRateText;
    // The output format's item: 0 A5 one page, 1 A5 two pages, 2 A4 one page, 3 A4 two pages; any
    // other value loads no template and keeps the document in memory.
    int outputFormat = 0;
    // A template file that takes the place of the output format's.
    QString templateFile;
};

// Empty amounts and an empty rate count as "0"; the window shows them so before it completes them.
void fillEmptyAmounts(ReceiptFormState& form);

// The receipt of the window's texts by the window's amount rules: the missing amount completed from
// the other and the rate, both rounded to cents. The texts of the completed amounts are written
// back into form, as the window shows them; empty amounts and rate must have been filled first.
// Raises ConvertError for a text that is no number and refuses impossible rates and amounts beyond
// the largest (form is then left as it was).
Receipt receiptFromForm(ReceiptFormState& form, const FormatSettings& settings);

// An amount in cents as the window writes it, in the user's number format ("84,03", "100").
QString centsText(qint64 cents, const FormatSettings& settings);

} // namespace quittung::app
