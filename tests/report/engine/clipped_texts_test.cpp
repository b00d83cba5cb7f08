#include "report/engine/pages/clipped_texts.h"

#include "report/document/builtin_design.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/document/text_object.h"
#include "report/engine/pages/prepared_pages.h"
#include "report/engine/pages/report_preparer.h"
#include "tools/example_receipt.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <map>

using namespace quittung;
using namespace quittung::report;

namespace {

// The receipt variable a template object shows, from its text ("[Von]" gives "Von").
QString variableOf(const Report& report, const QString& objectName)
{
    const auto* memo = dynamic_cast<const TextObjectBase*>(report.findObject(objectName));
    if (!memo)
        return objectName;
    const QString text = memo->text();
    const qsizetype open = text.indexOf(u'[');
    const qsizetype close = text.indexOf(u']', open);
    return open >= 0 && close > open ? text.mid(open + 1, close - open - 1) : objectName;
}

// The receipt, the values given in place of the example's, as the window prepares it with each
// template; the variables of the objects listed as clipped, once each, sorted.
QStringList clippedVariables(const char* form, const std::map<QString, QString>& values,
    const QString& unclippedVariable = {})
{
    Report report;
    if (QString::fromLatin1(form) == QLatin1String("builtin")) {
        applyBuiltinDesign(report);
        report.setLocaleSettings(FormatSettings::german());
    } else {
        EXPECT_TRUE(loadExampleReceipt(report, QStringLiteral(QUITTUNG_FORMS_DIR "/") + QString::fromLatin1(form), true));
    }
    report.events().getValue = [values](const QString& name, Variant& value) {
        const auto given = values.find(name);
        if (given != values.end())
            value = Variant(given->second);
        else
            answerExampleReceipt(name, value);
    };
    if (!unclippedVariable.isEmpty()) {
        for (ReportObject* object : report.allObjects()) {
            if (auto* memo = dynamic_cast<TextObjectBase*>(object); memo && memo->text().contains(u'[' + unclippedVariable + u']'))
                memo->setClipped(false);
        }
    }
    ReportPreparer preparer(report);
    EXPECT_TRUE(preparer.prepareReport());
    QStringList variables;
    for (const ClippedText& clipped : clippedTexts(preparer.preparedPages())) {
        EXPECT_LT(clipped.shownLines, clipped.lines);
        const QString variable = variableOf(report, clipped.name);
        if (!variables.contains(variable))
            variables << variable;
    }
    variables.sort();
    return variables;
}

} // namespace

// A text is listed when its lines need more room than its frame has: a long payer and a long purpose
// in every template; a receipt that fits lists nothing, and a text that may draw beyond its frame
// is not cut off.
TEST(ClippedTexts, TextsLongerThanTheirFrameAreListedWithTheirObject)
{
    const QString longPayer = overlongPayer();
    const QString longPurpose = overlongPurpose(QStringLiteral("\r\n"));
    const struct {
        const char* name;
        std::map<QString, QString> values;
        QString unclipped;
        QStringList expected;
    } cases[] = {
        {"fitting", {{QStringLiteral("Von"), QStringLiteral(u"Zoë Ångström")}}, {}, {}},
        {"long payer", {{QStringLiteral("Von"), longPayer}}, {}, {QStringLiteral("Von")}},
        {"long purpose", {{QStringLiteral("Fuer"), longPurpose}}, {}, {QStringLiteral("Fuer")}},
        {"both", {{QStringLiteral("Von"), longPayer}, {QStringLiteral("Fuer"), longPurpose}}, {},
            {QStringLiteral("Fuer"), QStringLiteral("Von")}},
        {"payer drawn beyond its frame", {{QStringLiteral("Von"), longPayer}}, QStringLiteral("Von"), {}},
    };
    for (const char* form : {"builtin", "Quittung.Dat", "QuittungA4.Dat"}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(form) + ", " + c.name);
            EXPECT_EQ(clippedVariables(form, c.values, c.unclipped), c.expected);
        }
    }
}
