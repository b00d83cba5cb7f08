#pragma once

#include "report/document/report_options.h"
#include "report/preview/text_search.h"

#include <QCoreApplication>
#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QListWidget;
class QSpinBox;
class QToolBar;
class QToolButton;
class QTreeWidget;

namespace quittung::report {

class ExportFilter;
class PreviewWorkspace;
struct PageSettings;
class ReportPreparer;

// Shows the engine's prepared pages in the preview window, modal and maximised as the report's
// preview options say; the export menu offers the filters given (not owned).
void showPreparedReport(ReportPreparer& engine, const std::vector<ExportFilter*>& filters);
// The same with filters the window owns and deletes when it closes.
void showPreparedReport(ReportPreparer& engine, std::vector<std::unique_ptr<ExportFilter>> filters);

// The preview window: toolbar, the workspace with the pages, the outline and thumbnail pane, and
// the status bar with the page number.
class PreviewWindow : public QMainWindow {
    Q_DECLARE_TR_FUNCTIONS(PreviewWindow)

public:
    PreviewWindow(ReportPreparer& engine, std::vector<ExportFilter*> filters, QWidget* parent = nullptr);
    ~PreviewWindow() override;

    int currentPage() const { return m_currentPage; }
    int pageCount() const;
    void goToPage(int page);
    double zoom() const;
    ZoomMode zoomMode() const { return m_zoomMode; }
    void setZoom(double zoom);
    void setZoomMode(ZoomMode mode);
    PreviewWorkspace& workspace() const { return *m_workspace; }
    QString statusText() const;

    // Searches the pages from the last match on (from the start for a new text) and goes to the
    // page of the match; false when the text is not there.
    bool find(const QString& text);
    bool findNext();
    // Opens or saves a prepared report; false (after a message) when it failed.
    bool openFile(const QString& fileName);
    bool saveFile(const QString& fileName);
    void changePageSettings(const PageSettings& settings);
    bool isFullScreenMode() const { return m_fullScreen; }
    void toggleFullScreen();

    // Exports the pages through one of the window's filters into a file the user chooses in a save
    // dialog, which proposes the filter's file name (behind its default path) and asks before
    // replacing a file.
    void exportThrough(ExportFilter& filter);
    // The window deletes these filters when it goes.
    void keepFilters(std::vector<std::unique_ptr<ExportFilter>> filters) { m_ownedFilters = std::move(filters); }

    // Called once the window has been closed.
    std::function<void()> onClosed;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* addButton(const QString& name, const QString& caption, const QString& hint, bool visible);
    void buildToolBar(PreviewButtons buttons);
    void pagesChanged();
    void zoomChanged();
    void fitZoom();
    void updateStatus();
    void workspaceScrolled();
    void showOutlinePane(bool outline);
    void buildThumbnails();
    void print();
    // Runs an export or a printout with the toolbar disabled; nothing while one runs already.
    void whileBusy(const std::function<void()>& work);
    void open();
    void save();
    void askFind();
    void pageSettings();

    ReportPreparer& m_engine;
    std::vector<ExportFilter*> m_filters;
    std::vector<std::unique_ptr<ExportFilter>> m_ownedFilters;
    bool m_busy = false;
    PreviewWorkspace* m_workspace;
    QToolBar* m_toolBar = nullptr;
    QSpinBox* m_pageBox = nullptr;
    QComboBox* m_zoomBox = nullptr;
    QLabel* m_status;
    QTreeWidget* m_outline;
    QListWidget* m_thumbnails;
    int m_currentPage = 0;
    ZoomMode m_zoomMode = ZoomMode::Default;
    bool m_fullScreen = false;
    bool m_wasMaximized = false;
    bool m_scrollingToPage = false;
    QString m_findText;
    std::optional<TextMatch> m_lastMatch;
};

} // namespace quittung::report
