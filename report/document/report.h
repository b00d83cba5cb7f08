#pragma once

#include "report/document/report_object.h"
#include "report/document/report_options.h"
#include "report/document/sorted_string_list.h"
#include "report/document/styles.h"
#include "report/document/variables.h"
#include "report/document/variant.h"
#include "runtime/clock.h"
#include "runtime/format_settings.h"

#include <QStringList>

class QIODevice;

#include <functional>

namespace quittung::report {

class Page;
class Report;

// What a long run of a report is doing, for the progress events.

// The handlers the program around a report sets; each may be left empty. A clear or a template load
// keeps them.
struct ReportEvents {
    // The answer for a variable a text names. Leaving the value empty means "not known".
    std::function<void(const QString& name, Variant& value)> getValue;
    // Around a preparation, and around every band and object being filled.
    std::function<void(const Report& sender)> beginDoc;
    std::function<void(const Report& sender)> endDoc;
    std::function<void(ReportObject& object)> beforePrint;
    std::function<void(ReportObject& object)> afterPrint;
};

// Reports a list of errors under the heading "Errors": a message box, an exception or nothing, by
// the silent mode. Nothing when the list is empty.
void reportErrorList(const SortedStringList& errors, SilentMode mode);

// The root of a report document. Its children are its pages; page 0 is normally the data page.
class Report : public ReportObject {
public:
    // The clock stamps ReportOptions.createDate and LastChange on every Clear, and exports.
    explicit Report(Clock clock = systemClock());
    Report(const Report&) = delete;

    QString className() const override { return QStringLiteral("TfrxReport"); }
    const PropertyTable& properties() const override;
    bool isPositioned() const override { return false; }

    // Destroys the pages and resets the document; the component-level settings (IniFile,
    // ShowProgress, StoreInDFM, OldStyleProgress, Preview, host events) stay.
    void clear() override;

    // The i-th child; throws the list-index error outside 0..pagesCount-1. A child that is not a
    // page gives nullptr.
    Page* pages(int index) const;
    int pagesCount() const { return static_cast<int>(children().size()); }

    // Clears the report and loads the template file when it exists; returns whether it existed.
    // A file that exists but cannot be read throws "Datei %s kann nicht geöffnet werden. %s".
    bool loadFromFile(const QString& fileName, bool exceptionIfNotFound = false);
    // Clears the report and reads a template. Problems are collected in errors() and reported once
    // after the load, as EngineOptions.newSilentMode says; the load keeps what it could read.
    void loadFromStream(QIODevice& stream);
    // Writes the report with all its pages and objects as a template.
    void saveToFile(const QString& fileName);
    void saveToStream(QIODevice& stream) const;

    // Reads a template like LoadFromStream but leaves the collected errors unreported.
    void readFromStream(QIODevice& stream);

    // Reports the collected errors of reading a template: a message box, an exception or nothing,
    // by NewSilentMode (see reportErrorList).
    void reportErrors();

    // Makes sure the report has a data page: when there is none anywhere, one named "Data" (or a
    // unique name when that is taken) is added in front of all pages.
    void checkDataPage();

    // Reads "4.13.2" whatever was set.
    QString version() const { return QStringLiteral("4.13.2"); }
    void setVersion(const QString&) {}
    // The template this one inherits from.
    const QString& parentReport() const { return m_parentReport; }
    void setParentReport(const QString& value) { m_parentReport = value; }
    // The name of a data set.
    const QString& dataSet() const { return m_dataSet; }
    void setDataSet(const QString& value) { m_dataSet = value; }
    const QString& dataSetName() const { return m_dataSetName; }
    void setDataSetName(const QString& value) { m_dataSetName = value; }
    bool dotMatrixReport() const { return m_dotMatrixReport; }
    void setDotMatrixReport(bool value) { m_dotMatrixReport = value; }
    EngineOptions& engineOptions() { return m_engineOptions; }
    const EngineOptions& engineOptions() const { return m_engineOptions; }
    // Where the preview's page settings are kept: "\Software\..." names a registry key, anything
    // else an INI file.
    const QString& iniFile() const { return m_iniFile; }
    void setIniFile(const QString& value) { m_iniFile = value; }
    bool oldStyleProgress() const { return m_oldStyleProgress; }
    void setOldStyleProgress(bool value) { m_oldStyleProgress = value; }
    // The name of a preview component.
    const QString& preview() const { return m_preview; }
    void setPreview(const QString& value) { m_preview = value; }
    PreviewOptions& previewOptions() { return m_previewOptions; }
    const PreviewOptions& previewOptions() const { return m_previewOptions; }
    PrintOptions& printOptions() { return m_printOptions; }
    const PrintOptions& printOptions() const { return m_printOptions; }
    ReportOptions& reportOptions() { return m_reportOptions; }
    const ReportOptions& reportOptions() const { return m_reportOptions; }
    const QString& scriptLanguage() const { return m_scriptLanguage; }
    void setScriptLanguage(const QString& value) { m_scriptLanguage = value; }
    const QStringList& scriptText() const { return m_scriptText; }
    void setScriptText(const QStringList& value) { m_scriptText = value; }
    bool showProgress() const { return m_showProgress; }
    void setShowProgress(bool value) { m_showProgress = value; }
    bool storeInDfm() const { return m_storeInDFM; }
    void setStoreInDfm(bool value) { m_storeInDFM = value; }
    // Names of script procedures.
    const QString& onRunDialogs() const { return m_onRunDialogs; }
    void setOnRunDialogs(const QString& value) { m_onRunDialogs = value; }
    const QString& onStartReport() const { return m_onStartReport; }
    void setOnStartReport(const QString& value) { m_onStartReport = value; }
    const QString& onStopReport() const { return m_onStopReport; }
    void setOnStopReport(const QString& value) { m_onStopReport = value; }
    const QString& onReportPrint() const { return m_onReportPrint; }
    void setOnReportPrint(const QString& value) { m_onReportPrint = value; }

    // Written together in the report's extra-data block.
    Variables& variables() { return m_variables; }
    const Variables& variables() const { return m_variables; }
    Styles& styles() { return m_styles; }
    const Styles& styles() const { return m_styles; }

    // The messages of the last load.
    SortedStringList& errors() { return m_errors; }
    const SortedStringList& errors() const { return m_errors; }
    // The path of the last template loaded.
    const QString& fileName() const { return m_fileName; }
    void setFileName(const QString& value) { m_fileName = value; }
    // "Date", "Time", "Page", ...: their index selects the value.
    const QStringList& systemVariables() const { return m_systemVariables; }

    // The user's decimal separator, for the numbers the document writes as text.
    const FormatSettings& localeSettings() const { return m_localeSettings; }
    void setLocaleSettings(const FormatSettings& value) { m_localeSettings = value; }

    void setClock(Clock clock) { m_clock = std::move(clock); }
    // The time by the report's clock (the system's when it has none).
    QDateTime now() const;

    // What the program around the report hears of it and answers.
    ReportEvents& events() { return m_events; }
    const ReportEvents& events() const { return m_events; }

private:
    Clock m_clock;
    QString m_parentReport;
    QString m_dataSet;
    QString m_dataSetName;
    bool m_dotMatrixReport = false;
    EngineOptions m_engineOptions;
    QString m_iniFile = QStringLiteral("\\Software\\Tarvik");
    bool m_oldStyleProgress = false;
    QString m_preview;
    PreviewOptions m_previewOptions;
    PrintOptions m_printOptions;
    ReportOptions m_reportOptions;
    QString m_scriptLanguage;
    QStringList m_scriptText;
    bool m_showProgress = true;
    bool m_storeInDFM = true;
    QString m_onRunDialogs;
    QString m_onStartReport;
    QString m_onStopReport;
    QString m_onReportPrint;
    Variables m_variables;
    Styles m_styles;
    SortedStringList m_errors;
    QString m_fileName;
    QStringList m_systemVariables;
    FormatSettings m_localeSettings;
    ReportEvents m_events;
};

} // namespace quittung::report
