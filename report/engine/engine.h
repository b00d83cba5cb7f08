#pragma once

#include "report/engine/expression.h"
#include "report/engine/preview_pages.h"
#include "runtime/clock.h"

#include <QDateTime>
#include <QHash>

#include <memory>

namespace quittung {

class RunProgress;
class TfrxBand;
class TfrxCustomMemoView;
class TfrxComponent;
class TfrxReport;
class TfrxReportPage;

// Prepares a report into output pages and answers the expressions of its text objects. One
// engine serves one report for the report's whole life and owns the prepared pages.
class TfrxEngine : public ExpressionScope {
public:
    explicit TfrxEngine(TfrxReport& report, Clock clock = systemClock());
    ~TfrxEngine() override;

    // Prepares every visible report page into the store (appending when clearLastReport is off).
    // The document is saved before and read back afterwards, so it is the same after every run.
    // Errors are collected in the report's Errors and reported by its NewSilentMode; the result is
    // true when there were none.
    bool PrepareReport(bool clearLastReport = true);
    const TfrxPreviewPages& PreviewPages() const { return m_pages; }
    TfrxReport& Report() { return m_report; }

    // The value of an expression: a name the lookup knows, or the expression compiled (once per
    // preparation) and run. A failure is added to Errors with the current object's name in front
    // and thrown.
    Variant Calc(const QString& expression);
    // The lookup for a name: system variables, the host's callbacks, report variables, global
    // variables, the report's objects. False when nobody knows the name.
    bool LookupValue(const QString& name, Variant& value);

    // Expands the bracketed expressions of a text object.
    void GetData(TfrxCustomMemoView& memo);
    // The display text of one bracketed expression, with its inline format after " #".
    QString EvaluateAndFormat(TfrxCustomMemoView& memo, const QString& expression);

    // The name of the object being filled; errors carry it in front.
    const QString& CurObject() const { return m_curObject; }

    bool HasVariable(const QString& name) const override;
    Variant VariableValue(const QString& name) override;
    bool HasFunction(const QString& name) const override;
    Variant CallFunction(const QString& name, const std::vector<Variant>& arguments) override;

private:
    bool run();
    void runPage(TfrxReportPage& page, RunProgress& progress);
    void showPageObjects(TfrxReportPage& page, TfrxReportPage& output);
    // Fills the band's objects and adds the band with its visible objects to the output page.
    void showBand(TfrxBand& band, const std::vector<TfrxComponent*>& objects, TfrxReportPage& output);
    void addToOutput(const TfrxBand& band, const std::vector<TfrxComponent*>& objects, TfrxReportPage& output);
    [[noreturn]] void fail(const QString& message);
    Variant get(const QString& name);

    TfrxReport& m_report;
    Clock m_clock;
    TfrxPreviewPages m_pages;
    QHash<QString, std::shared_ptr<const CompiledExpression>> m_expressionCache;
    QDateTime m_started;
    QString m_curObject;
    int m_pageNumber = 0;
    int m_calcDepth = 0;
    bool m_running = false;
};

// The next delimited expression in text from position i (0-based): the text between the
// delimiters, with i at the opening and j at the last character of the closing delimiter.
// Delimiters inside quotes do not count; nested pairs stay together ("[a[b]c]" is "a[b]c").
// i equals j when there is none.
QString FindBracketedExpression(const QString& text, const QString& open, const QString& close, qsizetype& i,
    qsizetype& j);

// Replaces "[TotalPages#]" by the page count and "[CopyName#]" by the copy's name in a prepared
// text object that is being output.
void ExtractMacros(TfrxCustomMemoView& memo, int totalPages, int copyNumber);

} // namespace quittung
