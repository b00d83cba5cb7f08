#pragma once

#include "report/document/variant.h"
#include "runtime/format_settings.h"

#include <QDate>
#include <QString>

#include <optional>

namespace quittung {

// What the receipt window holds at the moment a template asks for a value.
struct ReceiptFormState {
    QString qid;
    QString ort;
    QDate datum;
    QString von;
    QString fuer; // the purpose's lines joined with CR LF, no break added after the last
    QString netto;
    QString mwst;
    QString brutto;
};

// Whether a template name is one of the ten receipt variables (compared with regard to case).
bool isReceiptVariable(const QString& name);

// The value of a receipt variable: the amounts and the rate as the texts the window shows, the tax
// sum as a number, "BetragInWorten" as the gross amount in words between "--" and "--". Nothing for
// any other name.
std::optional<Variant> receiptVariable(const QString& name, const ReceiptFormState& state,
    const FormatSettings& settings);

} // namespace quittung
