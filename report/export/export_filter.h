#pragma once

#include <QDateTime>
#include <QString>

#include <functional>
#include <vector>

class QIODevice;

namespace quittung::report {

class EngineHost;
class ExportFiles;
class ReportObject;
class ReportPreparer;
class PreparedPages;
class Report;
class ReportPage;

// The base of every export filter. exportReport() hands a filter the prepared pages one page and one
// object at a time through the virtual operations below; the filter decides what to write.
// Filters are long-lived: the options persist, per-export state is reset in Start. Where an export
// writes is given with each call (exportReport), so nothing of one export's target reaches the next.
class ExportFilter {
public:
    ExportFilter() = default;
    ExportFilter(const ExportFilter&) = delete;
    ExportFilter& operator=(const ExportFilter&) = delete;
    virtual ~ExportFilter() = default;

    // The operations in the order of their slots; only the walk calls them.
    virtual QString getDescription() const { return {}; }
    // The options dialog; 1 is OK.
    virtual int showModal() { return 1; }
    // Opens the output; false ends the export before anything is written (and without Finish).
    virtual bool start() { return true; }
    virtual void exportObject(const ReportObject& Obj) = 0;
    virtual void finish() {}
    // Index counts from 0.
    virtual void finishPage(const ReportPage& page, int Index);
    virtual void startPage(const ReportPage& page, int Index);
    // Called with the files of an export once they are on disk under their names.
    virtual void filesPublished(const QStringList& fileNames) { (void)fileNames; }

    bool showDialog() const { return m_showDialog; }
    void setShowDialog(bool value) { m_showDialog = value; }
    const QString& fileName() const { return m_fileName; }
    void setFileName(const QString& value) { m_fileName = value; }
    // Put in front of a FileName without a folder.
    const QString& defaultPath() const { return m_defaultPath; }
    void setDefaultPath(const QString& value) { m_defaultPath = value; }
    // The file the options name: fileName(), behind defaultPath() when it has no folder.
    QString targetFileName() const;
    bool showProgress() const { return m_showProgress; }
    void setShowProgress(bool value) { m_showProgress = value; }
    // Only objects inside data bands.
    bool dataOnly() const { return m_dataOnly; }
    void setDataOnly(bool value) { m_dataOnly = value; }
    bool exportNotPrintable() const { return m_exportNotPrintable; }
    void setExportNotPrintable(bool value) { m_exportNotPrintable = value; }
    // Page headers only on the first page, page footers only on the last.
    bool suppressPageHeadersFooters() const { return m_suppressPageHeadersFooters; }
    void setSuppressPageHeadersFooters(bool value) { m_suppressPageHeadersFooters = value; }
    // "1,3,5-12"; empty for all pages.
    const QString& pageNumbers() const { return m_pageNumbers; }
    void setPageNumbers(const QString& value) { m_pageNumbers = value; }
    // When set, the output goes here instead of a file; not owned.
    QIODevice* stream() const { return m_stream; }
    void setStream(QIODevice* value) { m_stream = value; }
    const QString& defaultExt() const { return m_defaultExt; }

    // Set by Export for the run.
    const QDateTime& creationTime() const { return m_creationTime; }
    // Where the filter opens the files it writes while no stream() is set.
    ExportFiles* files() const { return m_files; }
    const Report* report() const { return m_report; }
    // The engine whose pages are exported; its errors() take the export's.
    ReportPreparer* engine() const { return m_engine; }
    // The engine's host, which the export's messages and questions go to.
    EngineHost& host() const;
    const PreparedPages* preparedPages() const { return m_preparedPages; }

    // Called with the filter once an export begins.
    void setOnBeginExport(std::function<void(ExportFilter& sender)> handler) { m_onBeginExport = std::move(handler); }
    const std::function<void(ExportFilter& sender)>& onBeginExport() const { return m_onBeginExport; }

protected:
    void setDefaultExt(const QString& value) { m_defaultExt = value; }

private:
    friend bool exportReport(ReportPreparer& engine, ExportFilter& filter, const QString& fileName, ExportFiles* files);

    bool m_showDialog = true;
    QString m_fileName;
    QString m_defaultPath;
    bool m_showProgress = true;
    bool m_dataOnly = false;
    bool m_exportNotPrintable = false;
    bool m_suppressPageHeadersFooters = false;
    QString m_pageNumbers;
    QIODevice* m_stream = nullptr;
    QString m_defaultExt;
    QDateTime m_creationTime;
    const Report* m_report = nullptr;
    ReportPreparer* m_engine = nullptr;
    const PreparedPages* m_preparedPages = nullptr;
    ExportFiles* m_files = nullptr;
    std::function<void(ExportFilter& sender)> m_onBeginExport;
};

// Exports the engine's prepared pages through the filter. True when the export ran (a cancel by
// the user included); false when the options dialog was cancelled or an error ended it. Errors go
// into the engine's errors() and are reported as the report's silent mode says.
// This one writes to the filter's stream() when set, else to its fileName() (behind defaultPath()
// when it has no folder), each file published complete once the export is done.
bool exportReport(ReportPreparer& engine, ExportFilter& filter);
// This one writes the files under fileName (and the names the filter derives from it) into files,
// unpublished: the caller publishes them, perhaps with others. With files null the output goes
// to the filter's stream().
bool exportReport(ReportPreparer& engine, ExportFilter& filter, const QString& fileName, ExportFiles* files);

// Publishes an export's files (see exportReport), reports those that could not be published as
// the export's errors and tells the filter the names of the others; true when all were published.
bool publishExport(ExportFilter& filter, ExportFiles& files);

// The pages an output takes from a report of pageCount pages: all of them, or those a page range
// names, which may be none at all ("9" on two pages prints nothing, unlike an empty range). Pages
// are 1-based; a selection never holds a page outside 1..pageCount and never takes more room than
// one bit per page, whatever the range asked for.
class PageSelection {
public:
    static PageSelection all(int pageCount);
    static PageSelection none(int pageCount);

    int pageCount() const { return m_pageCount; }
    bool isAll() const { return m_all; }
    bool contains(int page) const;
    // How many pages are selected, and which, in ascending order.
    int count() const;
    std::vector<int> pages() const;

    // Adds first..last, cut to the report's pages; nothing when last < first.
    void addRange(int first, int last);

private:
    PageSelection(int pageCount, bool all);

    int m_pageCount = 0;
    bool m_all = false;
    // Page p at index p - 1; empty while nothing is selected.
    std::vector<bool> m_selected;
};

// The pages a page range such as "1,3-5" or "2-" selects; an empty range selects all pages.
// Spaces are ignored and a trailing "-" runs to the last page. Throws the integer conversion error
// for a part that is no number.
PageSelection parsePageNumbers(const QString& text, int pageCount);

} // namespace quittung::report
