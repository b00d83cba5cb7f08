#include "app/receipt/report_variables.h"

#include "app/receipt/amount_in_words.h"
#include "app/receipt/receipt_amounts.h"
#include "runtime/number_format.h"

#include <algorithm>
#include <array>

namespace quittung::app {

using report::Variant;

namespace {

struct ReceiptVariable {
    QString name;
    Variant (*value)(const ReceiptFormState&, const FormatSettings&);
};

const std::array<ReceiptVariable, 10> kVariables = {{
    {QStringLiteral("QID"), [](const ReceiptFormState& s, const FormatSettings&) { return Variant(s.number); }},
    {QStringLiteral("Ort"), [](const ReceiptFormState& s, const FormatSettings&) { return Variant(s.place); }},
    {QStringLiteral("QDate"),
        [](const ReceiptFormState& s, const FormatSettings& f) { return Variant(f.formatShortDate(s.date)); }},
    {QStringLiteral("Von"), [](const ReceiptFormState& s, const FormatSettings&) { return Variant(s.payer); }},
    {QStringLiteral("Fuer"), [](const ReceiptFormState& s, const FormatSettings&) { return Variant(s.purpose); }},
    {QStringLiteral("Netto"), [](const ReceiptFormState& s, const FormatSettings&) { return Variant(s.net); }},
    {QStringLiteral("MwSt"), [](const ReceiptFormState& s, const FormatSettings&) { return Variant(s.vatRate); }},
    {QStringLiteral("Brutto"), [](const ReceiptFormState& s, const FormatSettings&) { return Variant(s.gross); }},
    {QStringLiteral("BetragInWorten"),
        [](const ReceiptFormState& s, const FormatSettings& f) {
            return Variant(QStringLiteral("--") + amountInWords(s.gross, f) + QStringLiteral("--"));
        }},
    {QStringLiteral("SumSteuern"),
        [](const ReceiptFormState& s, const FormatSettings& f) { return Variant(taxSum(s.gross, s.net, f)); }},
}};

const ReceiptVariable* findVariable(const QString& name)
{
    const auto found = std::find_if(
        kVariables.begin(), kVariables.end(), [&](const ReceiptVariable& v) { return v.name == name; });
    return found == kVariables.end() ? nullptr : &*found;
}

} // namespace

bool isReceiptVariable(const QString& name)
{
    return findVariable(name) != nullptr;
}

std::optional<Variant> receiptVariable(const QString& name, const ReceiptFormState& state,
    const FormatSettings& settings)
{
    if (const ReceiptVariable* variable = findVariable(name))
        return variable->value(state, settings);
    return std::nullopt;
}

} // namespace quittung::app
