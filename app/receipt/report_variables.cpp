#include "app/receipt/report_variables.h"

#include "app/receipt/amount_in_words.h"
#include "app/receipt/receipt_amounts.h"
#include "runtime/number_format.h"

#include <algorithm>
#include <array>

namespace quittung {

namespace {

struct ReceiptVariable {
    QString name;
    Variant (*value)(const ReceiptFormState&, const FormatSettings&);
};

const std::array<ReceiptVariable, 10> kVariables = {{
    {QStringLiteral("QID"), [](const ReceiptFormState& s, const FormatSettings&) { return Variant(s.qid); }},
    {QStringLiteral("Ort"), [](const ReceiptFormState& s, const FormatSettings&) { return Variant(s.ort); }},
    {QStringLiteral("QDate"),
        [](const ReceiptFormState& s, const FormatSettings& f) { return Variant(f.formatShortDate(s.datum)); }},
    {QStringLiteral("Von"), [](const ReceiptFormState& s, const FormatSettings&) { return Variant(s.von); }},
    {QStringLiteral("Fuer"), [](const ReceiptFormState& s, const FormatSettings&) { return Variant(s.fuer); }},
    {QStringLiteral("Netto"), [](const ReceiptFormState& s, const FormatSettings&) { return Variant(s.netto); }},
    {QStringLiteral("MwSt"), [](const ReceiptFormState& s, const FormatSettings&) { return Variant(s.mwst); }},
    {QStringLiteral("Brutto"), [](const ReceiptFormState& s, const FormatSettings&) { return Variant(s.brutto); }},
    {QStringLiteral("BetragInWorten"),
        [](const ReceiptFormState& s, const FormatSettings& f) {
            return Variant(QStringLiteral("--") + BetragInWorten(s.brutto, f) + QStringLiteral("--"));
        }},
    {QStringLiteral("SumSteuern"),
        [](const ReceiptFormState& s, const FormatSettings& f) { return Variant(TaxSum(s.brutto, s.netto, f)); }},
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

} // namespace quittung
