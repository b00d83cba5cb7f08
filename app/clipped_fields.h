#pragma once

#include <QStringList>

namespace quittung::report {
class PreparedPages;
class Report;
} // namespace quittung::report

namespace quittung::app {

// What to tell the user about a receipt's prepared pages where a text does not fit its frame in
// the template: one line per field, "Der Text im Feld „Von“ ist zu lang für die Vorlage und wird
// abgeschnitten.", the field found through the receipt variable the template's object shows; an
// object that shows none is named by its name in the template. Empty when everything fits.
QStringList clippedFieldWarnings(const report::Report& templateReport, const report::PreparedPages& pages);

struct ReceiptOutput;
// Hands the warnings to the output's clipped hook, or shows them through the engine host as one
// warning when it has none.
void reportClippedFields(const report::Report& templateReport, const report::PreparedPages& pages,
    const ReceiptOutput& output);

} // namespace quittung::app
