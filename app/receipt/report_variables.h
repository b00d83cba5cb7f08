#pragma once

#include "report/document/variant.h"
#include "runtime/format_settings.h"

#include <QDate>
#include <QString>

#include <optional>

namespace quittung::app {

// What the receipt window holds at the moment a template asks for a value.
struct ReceiptFormState {
    QString number;
    QString place;
    QDate date;
    QString payer;
    QString purpose; // its lines joined with CR LF, no break added after the last
    QString net;
    QString vatRate;
    QString gross;
};

// Whether a template name is one of the ten receipt variables (compared with regard to case).
bool isReceiptVariable(const QString& name);

// The value of a receipt variable: the amounts and the rate as the texts the window shows, the tax
// sum as a number, "BetragInWorten" as the gross amount in words between "--" and "--". Nothing for
// any other name.
std::optional<report::Variant> receiptVariable(const QString& name, const ReceiptFormState& state,
    const FormatSettings& settings);

} // namespace quittung::app
