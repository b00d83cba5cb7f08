#pragma once

#include "report/document/component.h"
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

namespace quittung {

class TfrxPage;

// The root of a report document. Its children are its pages; page 0 is normally the data page.
class TfrxReport : public TfrxComponent {
public:
    // The clock stamps ReportOptions.CreateDate and LastChange on every Clear.
    explicit TfrxReport(Clock clock = systemClock());

    QString ClassName() const override { return QStringLiteral("TfrxReport"); }
    const PropertyTable& Properties() const override;
    bool IsPositioned() const override { return false; }

    // Destroys the pages and resets the document; the component-level settings (IniFile,
    // ShowProgress, StoreInDFM, OldStyleProgress, Preview, host events) stay.
    void Clear() override;

    // The i-th child; throws the list-index error outside 0..PagesCount-1. A child that is not a
    // page gives nullptr.
    TfrxPage* Pages(int index) const;
    int PagesCount() const { return static_cast<int>(Children().size()); }

    // Clears the report and loads the template file when it exists; returns whether it existed.
    // A file that exists but cannot be read throws "Datei %s kann nicht geöffnet werden. %s".
    bool LoadFromFile(const QString& fileName, bool exceptionIfNotFound = false);
    // Clears the report and reads a template. Problems are collected in Errors and reported once
    // after the load, as EngineOptions.NewSilentMode says; the load keeps what it could read.
    void LoadFromStream(QIODevice& stream);
    // Writes the report with all its pages and objects as a template.
    void SaveToFile(const QString& fileName);
    void SaveToStream(QIODevice& stream);

    // Reads a template like LoadFromStream but leaves the collected errors unreported.
    void ReadFromStream(QIODevice& stream);

    // Reports the collected errors: a message box, an exception or nothing, by NewSilentMode.
    void ReportErrors();

    // Makes sure the report has a data page: when there is none anywhere, one named "Data" (or a
    // unique name when that is taken) is added in front of all pages.
    void CheckDataPage();

    // Reads "4.13.2" whatever was set.
    QString Version() const { return QStringLiteral("4.13.2"); }
    void SetVersion(const QString&) {}
    // The template this one inherits from.
    const QString& ParentReport() const { return m_parentReport; }
    void SetParentReport(const QString& value) { m_parentReport = value; }
    // The name of a data set.
    const QString& DataSet() const { return m_dataSet; }
    void SetDataSet(const QString& value) { m_dataSet = value; }
    const QString& DataSetName() const { return m_dataSetName; }
    void SetDataSetName(const QString& value) { m_dataSetName = value; }
    bool DotMatrixReport() const { return m_dotMatrixReport; }
    void SetDotMatrixReport(bool value) { m_dotMatrixReport = value; }
    TfrxEngineOptions& EngineOptions() { return m_engineOptions; }
    const TfrxEngineOptions& EngineOptions() const { return m_engineOptions; }
    // Where the preview's page settings are kept: "\Software\..." names a registry key, anything
    // else an INI file.
    const QString& IniFile() const { return m_iniFile; }
    void SetIniFile(const QString& value) { m_iniFile = value; }
    bool OldStyleProgress() const { return m_oldStyleProgress; }
    void SetOldStyleProgress(bool value) { m_oldStyleProgress = value; }
    // The name of a preview component.
    const QString& Preview() const { return m_preview; }
    void SetPreview(const QString& value) { m_preview = value; }
    TfrxPreviewOptions& PreviewOptions() { return m_previewOptions; }
    const TfrxPreviewOptions& PreviewOptions() const { return m_previewOptions; }
    TfrxPrintOptions& PrintOptions() { return m_printOptions; }
    const TfrxPrintOptions& PrintOptions() const { return m_printOptions; }
    TfrxReportOptions& ReportOptions() { return m_reportOptions; }
    const TfrxReportOptions& ReportOptions() const { return m_reportOptions; }
    const QString& ScriptLanguage() const { return m_scriptLanguage; }
    void SetScriptLanguage(const QString& value) { m_scriptLanguage = value; }
    const QStringList& ScriptText() const { return m_scriptText; }
    void SetScriptText(const QStringList& value) { m_scriptText = value; }
    bool ShowProgress() const { return m_showProgress; }
    void SetShowProgress(bool value) { m_showProgress = value; }
    bool StoreInDFM() const { return m_storeInDFM; }
    void SetStoreInDFM(bool value) { m_storeInDFM = value; }
    // Names of script procedures.
    const QString& OnRunDialogs() const { return m_onRunDialogs; }
    void SetOnRunDialogs(const QString& value) { m_onRunDialogs = value; }
    const QString& OnStartReport() const { return m_onStartReport; }
    void SetOnStartReport(const QString& value) { m_onStartReport = value; }
    const QString& OnStopReport() const { return m_onStopReport; }
    void SetOnStopReport(const QString& value) { m_onStopReport = value; }
    const QString& OnReportPrint() const { return m_onReportPrint; }
    void SetOnReportPrint(const QString& value) { m_onReportPrint = value; }

    // Written together in the report's extra-data block.
    TfrxVariables& Variables() { return m_variables; }
    const TfrxVariables& Variables() const { return m_variables; }
    TfrxStyles& Styles() { return m_styles; }
    const TfrxStyles& Styles() const { return m_styles; }

    // The messages of the last load.
    SortedStringList& Errors() { return m_errors; }
    const SortedStringList& Errors() const { return m_errors; }
    // The path of the last template loaded.
    const QString& FileName() const { return m_fileName; }
    void SetFileName(const QString& value) { m_fileName = value; }
    // "Date", "Time", "Page", ...: their index selects the value.
    const QStringList& SystemVariables() const { return m_systemVariables; }

    // The user's decimal separator, for the numbers the document writes as text.
    const FormatSettings& LocaleSettings() const { return m_localeSettings; }
    void SetLocaleSettings(const FormatSettings& value) { m_localeSettings = value; }

    void SetClock(Clock clock) { m_clock = std::move(clock); }

    // Set when the user cancels a long run (preparing, exporting, printing); the run stops at the
    // next page.
    bool Terminated() const { return m_terminated; }
    void SetTerminated(bool value) { m_terminated = value; }

    // What a long run is doing, for the progress events.
    enum class ProgressKind { Preparing = 0, Exporting = 1, Printing = 2 };

    // Host events of a preparation: around the run, around every band and object being filled,
    // and its progress (with the page number).
    std::function<void(TfrxReport& sender)> OnBeginDoc;
    std::function<void(TfrxReport& sender)> OnEndDoc;
    std::function<void(TfrxComponent& object)> OnBeforePrint;
    std::function<void(TfrxComponent& object)> OnAfterPrint;
    std::function<void(TfrxReport& sender, ProgressKind kind, int page)> OnProgressStart;
    std::function<void(TfrxReport& sender, ProgressKind kind, int page)> OnProgress;
    std::function<void(TfrxReport& sender, ProgressKind kind, int page)> OnProgressStop;

    // The host's answer for a variable a text names. Leaving the value empty means "not known".
    std::function<void(const QString& name, Variant& value)> OnGetValue;
    // Asked after OnGetValue with the same value holder, so it may replace what that one set.
    std::function<void(TfrxReport& sender, const QString& name, Variant& value)> OnNewGetValue;

private:
    Clock m_clock;
    QString m_parentReport;
    QString m_dataSet;
    QString m_dataSetName;
    bool m_dotMatrixReport = false;
    TfrxEngineOptions m_engineOptions;
    QString m_iniFile = QStringLiteral("\\Software\\Tarvik");
    bool m_oldStyleProgress = false;
    QString m_preview;
    TfrxPreviewOptions m_previewOptions;
    TfrxPrintOptions m_printOptions;
    TfrxReportOptions m_reportOptions;
    QString m_scriptLanguage;
    QStringList m_scriptText;
    bool m_showProgress = true;
    bool m_storeInDFM = true;
    QString m_onRunDialogs;
    QString m_onStartReport;
    QString m_onStopReport;
    QString m_onReportPrint;
    TfrxVariables m_variables;
    TfrxStyles m_styles;
    SortedStringList m_errors;
    QString m_fileName;
    QStringList m_systemVariables;
    FormatSettings m_localeSettings;
    bool m_terminated = false;
};

} // namespace quittung
