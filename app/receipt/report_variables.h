#pragma once

#include "app/receipt/receipt.h"
#include "report/document/variant.h"
#include "runtime/format_settings.h"

#include <QString>

#include <optional>

namespace quittung::app {

// Whether a template name is one of the ten receipt variables (compared with regard to case).
bool isReceiptVariable(const QString& name);

// The window's field a receipt variable shows, by its label ("Von", "Für", "Nettobetrag"; the
// amount in words and the tax sum come from "Bruttobetrag"); empty for any other name.
QString receiptVariableField(const QString& name);

// The value of a receipt variable: the amounts and the rate as the texts the window shows, the tax
// sum as a number, "BetragInWorten" as the gross amount in words between "--" and "--". Nothing for
// any other name.
std::optional<report::Variant> receiptVariable(const QString& name, const Receipt& receipt,
    const FormatSettings& settings);

} // namespace quittung::app
