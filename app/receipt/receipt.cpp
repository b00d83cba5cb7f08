#include "app/receipt/receipt.h"

#include "app/receipt/receipt_amounts.h"
#include "runtime/number_format.h"

namespace quittung::app {

void fillEmptyAmounts(ReceiptFormState& form)
{
    for (QString* amount : {&form.net, &form.gross, &form.vatRate}) {
        if (amount->isEmpty())
            *amount = QStringLiteral("0");
    }
}

Receipt receiptFromForm(ReceiptFormState& form, const FormatSettings& settings)
{
    const CompletedAmounts amounts = computeAmounts(form.net, form.gross, form.vatRate, settings);
    form.net = centsText(amounts.netCents, settings);
    form.gross = centsText(amounts.grossCents, settings);
    Receipt receipt;
    receipt.number = form.number;
    receipt.place = form.place;
    receipt.date = form.date;
    receipt.payer = form.payer;
    receipt.purpose = form.purpose;
    receipt.netCents = amounts.netCents;
    receipt.grossCents = amounts.grossCents;
    receipt.vatRate = amounts.vatRate;
    receipt.vatRateText = form.vatRate;
    receipt.outputFormat = form.outputFormat;
    return receipt;
}

QString centsText(qint64 cents, const FormatSettings& settings)
{
    return floatToString(double(cents) / 100, settings);
}

} // namespace quittung::app
