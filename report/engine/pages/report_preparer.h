#pragma once

#include "report/document/sorted_string_list.h"
#include "report/engine/expressions/expression.h"
#include "report/engine/pages/prepared_pages.h"
#include "runtime/clock.h"

#include <QDateTime>
#include <QHash>

#include <functional>
#include <memory>

namespace quittung::report {

class EngineHost;
class RunProgress;
class Band;
class TextObjectBase;
class ReportObject;
class Report;
class ReportPage;

// Prepares a report into output pages and answers the expressions of its text objects. The engine
// owns the prepared pages and only reads the report, so any number of engines, on any threads,
// may prepare from one report at once.
class ReportPreparer : public ExpressionScope {
public:
    explicit ReportPreparer(const Report& report, Clock clock = systemClock());
    ~ReportPreparer() override;

    // Prepares every visible report page into the store (appending when clearLastReport is off).
    // The document is only read: the objects are copied onto the output pages and filled there.
    // Errors are collected in errors() and reported by the report's silent mode; the result is true
    // when there were none.
    bool prepareReport(bool clearLastReport = true);
    const PreparedPages& preparedPages() const { return m_pages; }
    // For a preview that opens saved pages or changes their paper.
    PreparedPages& preparedPages() { return m_pages; }
    const Report& report() const { return *m_report; }
    // What the engine asks of the program around it while it prepares, exports or prints these
    // pages: messages, questions, progress. The program's host (engineHost()) unless set.
    EngineHost& host() const { return *m_host; }
    void setHost(EngineHost& host) { m_host = &host; }
    // Prepares from another report from now on (the template of the next receipt, say).
    void setReport(const Report& report) { m_report = &report; }
    // What went wrong in the last preparation and the exports of its pages since; the report keeps
    // only what went wrong reading it.
    SortedStringList& errors() { return m_errors; }
    const SortedStringList& errors() const { return m_errors; }
    // Reports errors() by the report's silent mode.
    void reportErrors();
    // Answers names before the report's own getValue event, for whoever prepares with this engine
    // (a receipt job); the report is not touched. Empty: none.
    using ValueSource = std::function<void(const QString& name, Variant& value)>;
    void setValueSource(ValueSource source) { m_valueSource = std::move(source); }

    // The value of an expression: a name the lookup knows, or the expression compiled (once per
    // preparation) and run. A failure is added to errors() with the current object's name in front
    // and thrown.
    Variant calc(const QString& expression);
    // The lookup for a name: system variables, the host's callbacks, report variables, global
    // variables, the report's objects. False when nobody knows the name.
    bool lookupValue(const QString& name, Variant& value);

    // Expands the bracketed expressions of a text object.
    void getData(TextObjectBase& memo);
    // The display text of one bracketed expression, with its inline format after " #".
    QString evaluateAndFormat(TextObjectBase& memo, const QString& expression);

    // The name of the object being filled; errors carry it in front.
    const QString& curObject() const { return m_curObject; }

    bool hasVariable(const QString& name) const override;
    Variant variableValue(const QString& name) override;
    bool hasFunction(const QString& name) const override;
    Variant callFunction(const QString& name, const std::vector<Variant>& arguments) override;

private:
    bool run();
    void runPage(const ReportPage& page, RunProgress& progress);
    void showPageObjects(const ReportPage& page, ReportPage& output);
    // Fills the band's objects and adds the band with its visible objects to the output page.
    void showBand(Band& band, std::vector<std::unique_ptr<ReportObject>>& objects, ReportPage& output);
    [[noreturn]] void fail(const QString& message);
    Variant get(const QString& name);

    const Report* m_report;
    EngineHost* m_host;
    Clock m_clock;
    PreparedPages m_pages;
    QHash<QString, std::shared_ptr<const CompiledExpression>> m_expressionCache;
    // What Set() gave variables during the run, by lower-case name; it goes with the run.
    QHash<QString, Variant> m_setVariables;
    ValueSource m_valueSource;
    SortedStringList m_errors;
    // Set when the user cancels the run in the progress window.
    bool m_terminated = false;
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
QString findBracketedExpression(const QString& text, const QString& open, const QString& close, qsizetype& i,
    qsizetype& j);

// Replaces "[TotalPages#]" by the page count and "[CopyName#]" by the copy's name, which the
// program never sets, in a prepared text object that is being output.
void extractMacros(TextObjectBase& memo, int totalPages);
// Whether extractMacros would change the text object.
bool holdsOutputMacros(const TextObjectBase& memo);

} // namespace quittung::report
