#pragma once

#include <QDateTime>
#include <QString>

#include <functional>
#include <vector>

class QIODevice;

namespace quittung {

class TfrxComponent;
class TfrxEngine;
class TfrxPreviewPages;
class TfrxReport;
class TfrxReportPage;

// The base of every export filter. Export() hands a filter the prepared pages one page and one
// object at a time through the virtual operations below; the filter decides what to write.
// Filters are long-lived: the options persist, per-export state is reset in Start.
class TfrxCustomExportFilter {
public:
    TfrxCustomExportFilter() = default;
    TfrxCustomExportFilter(const TfrxCustomExportFilter&) = delete;
    TfrxCustomExportFilter& operator=(const TfrxCustomExportFilter&) = delete;
    virtual ~TfrxCustomExportFilter() = default;

    // The operations in the order of their slots; only the walk calls them.
    virtual QString GetDescription() const { return {}; }
    // The options dialog; 1 is OK.
    virtual int ShowModal() { return 1; }
    // Opens the output; false ends the export before anything is written (and without Finish).
    virtual bool Start() { return true; }
    virtual void ExportObject(TfrxComponent& Obj) = 0;
    virtual void Finish() {}
    // Index counts from 0.
    virtual void FinishPage(TfrxReportPage& Page, int Index);
    virtual void StartPage(TfrxReportPage& Page, int Index);

    bool ShowDialog() const { return m_showDialog; }
    void SetShowDialog(bool value) { m_showDialog = value; }
    const QString& FileName() const { return m_fileName; }
    void SetFileName(const QString& value) { m_fileName = value; }
    // Put in front of a FileName without a folder.
    const QString& DefaultPath() const { return m_defaultPath; }
    void SetDefaultPath(const QString& value) { m_defaultPath = value; }
    bool ShowProgress() const { return m_showProgress; }
    void SetShowProgress(bool value) { m_showProgress = value; }
    // Only the options dialog's file prompt would ask.
    bool OverwritePrompt() const { return m_overwritePrompt; }
    void SetOverwritePrompt(bool value) { m_overwritePrompt = value; }
    bool UseFileCache() const { return m_useFileCache; }
    void SetUseFileCache(bool value) { m_useFileCache = value; }
    // Only objects inside data bands.
    bool DataOnly() const { return m_dataOnly; }
    void SetDataOnly(bool value) { m_dataOnly = value; }
    bool ExportNotPrintable() const { return m_exportNotPrintable; }
    void SetExportNotPrintable(bool value) { m_exportNotPrintable = value; }
    // Page headers only on the first page, page footers only on the last.
    bool SuppressPageHeadersFooters() const { return m_suppressPageHeadersFooters; }
    void SetSuppressPageHeadersFooters(bool value) { m_suppressPageHeadersFooters = value; }
    // "1,3,5-12"; empty for all pages.
    const QString& PageNumbers() const { return m_pageNumbers; }
    void SetPageNumbers(const QString& value) { m_pageNumbers = value; }
    bool CurPage() const { return m_curPage; }
    void SetCurPage(bool value) { m_curPage = value; }
    bool SlaveExport() const { return m_slaveExport; }
    void SetSlaveExport(bool value) { m_slaveExport = value; }
    // When set, the output goes here instead of a file; not owned.
    QIODevice* Stream() const { return m_stream; }
    void SetStream(QIODevice* value) { m_stream = value; }
    const QString& DefaultExt() const { return m_defaultExt; }
    const QString& FilterDesc() const { return m_filterDesc; }

    // Set by Export for the run.
    const QDateTime& CreationTime() const { return m_creationTime; }
    TfrxReport* Report() const { return m_report; }
    const TfrxPreviewPages* PreviewPages() const { return m_previewPages; }

    std::function<void(TfrxCustomExportFilter& sender)> OnBeginExport;

protected:
    void SetDefaultExt(const QString& value) { m_defaultExt = value; }
    void SetFilterDesc(const QString& value) { m_filterDesc = value; }

private:
    friend bool Export(TfrxEngine& engine, TfrxCustomExportFilter& filter);

    bool m_showDialog = true;
    QString m_fileName;
    QString m_defaultPath;
    bool m_showProgress = true;
    bool m_overwritePrompt = false;
    bool m_useFileCache = true;
    bool m_dataOnly = false;
    bool m_exportNotPrintable = false;
    bool m_suppressPageHeadersFooters = false;
    QString m_pageNumbers;
    bool m_curPage = false;
    bool m_slaveExport = false;
    QIODevice* m_stream = nullptr;
    QString m_defaultExt;
    QString m_filterDesc;
    QDateTime m_creationTime;
    TfrxReport* m_report = nullptr;
    const TfrxPreviewPages* m_previewPages = nullptr;
};

// Exports the engine's prepared pages through the filter. True when the export ran (a cancel by
// the user included); false when the options dialog was cancelled or an error ended it. Errors go
// into the report's Errors and are reported as its NewSilentMode says.
bool Export(TfrxEngine& engine, TfrxCustomExportFilter& filter);

// The 1-based page numbers a page range selects; empty for all pages. Spaces are ignored and a
// trailing "-" runs to the last page. Throws the integer conversion error for a bad part.
std::vector<int> ParsePageNumbers(const QString& text, int pageCount);

} // namespace quittung
