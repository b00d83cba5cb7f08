#include "app/clipped_fields.h"

#include "app/receipt/report_variables.h"
#include "app/receipt_job.h"
#include "report/document/engine_host.h"
#include "report/document/report.h"
#include "report/document/text_object.h"
#include "report/engine/pages/clipped_texts.h"

#include <QRegularExpression>

namespace quittung::app {

namespace {

// The window's field whose value the template's object shows: the first receipt variable in
// brackets in its text.
QString fieldOf(const report::Report& templateReport, const QString& objectName)
{
    const auto* memo = dynamic_cast<const report::TextObjectBase*>(templateReport.findObject(objectName));
    if (!memo)
        return {};
    static const QRegularExpression variable(QStringLiteral("\\[\\s*(\\w+)\\s*\\]"));
    for (const QRegularExpressionMatch& match : variable.globalMatch(memo->text())) {
        const QString field = receiptVariableField(match.captured(1));
        if (!field.isEmpty())
            return field;
    }
    return {};
}

} // namespace

QStringList clippedFieldWarnings(const report::Report& templateReport, const report::PreparedPages& pages)
{
    QStringList warnings;
    for (const report::ClippedText& clipped : report::clippedTexts(pages)) {
        const QString field = fieldOf(templateReport, clipped.name);
        const QString warning = field.isEmpty()
            ? QStringLiteral("Der Text des Objekts „%1“ ist zu lang für die Vorlage und wird abgeschnitten.").arg(clipped.name)
            : QStringLiteral("Der Text im Feld „%1“ ist zu lang für die Vorlage und wird abgeschnitten.").arg(field);
        if (!warnings.contains(warning))
            warnings << warning;
    }
    return warnings;
}

void reportClippedFields(const report::Report& templateReport, const report::PreparedPages& pages,
    const ReceiptOutput& output)
{
    const QStringList warnings = clippedFieldWarnings(templateReport, pages);
    if (warnings.isEmpty())
        return;
    if (output.clipped)
        output.clipped(warnings);
    else
        report::engineHost().showMessage(QStringLiteral("Quittung"), warnings.join(u'\n'), report::EngineHost::Icon::Warning);
}

} // namespace quittung::app
