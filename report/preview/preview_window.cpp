#include "report/preview/preview_window.h"

#include "report/document/report.h"
#include "report/engine/pages/report_preparer.h"
#include "report/engine/pages/view_drawing.h"
#include "report/export/export_files.h"
#include "report/export/export_filter.h"
#include "report/preview/page_settings_dialog.h"
#include "report/preview/prepared_report_file.h"
#include "report/preview/preview_layout.h"
#include "report/preview/preview_workspace.h"
#include "report/preview/report_printer.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QSaveFile>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>

namespace quittung::report {

namespace {

const char* const FileFilter = QT_TRANSLATE_NOOP("PreviewWindow", "Prepared report (*.qpr)");
// Ctrl and the wheel zoom no further out than this.
constexpr double WheelZoomFloor = 0.3;
constexpr int ThumbnailWidth = 100;

// The zoom box's entries: a percentage, or a zoom mode for the last two.
struct ZoomEntry {
    const char* text;
    double zoom;
    ZoomMode mode;
};
const ZoomEntry ZoomEntries[] = {
    {"25%", 0.25, ZoomMode::Default},
    {"50%", 0.5, ZoomMode::Default},
    {"75%", 0.75, ZoomMode::Default},
    {"100%", 1.0, ZoomMode::Default},
    {"150%", 1.5, ZoomMode::Default},
    {"200%", 2.0, ZoomMode::Default},
    {QT_TRANSLATE_NOOP("PreviewWindow", "Page width"), 0, ZoomMode::PageWidth},
    {QT_TRANSLATE_NOOP("PreviewWindow", "Whole page"), 0, ZoomMode::WholePage},
};

} // namespace

namespace {

void showPreview(ReportPreparer& engine, const std::vector<ExportFilter*>& filters,
    std::vector<std::unique_ptr<ExportFilter>> owned)
{
    const PreviewOptions& options = engine.report().previewOptions();
    auto* window = new PreviewWindow(engine, filters);
    window->keepFilters(std::move(owned));
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (!options.modal()) {
        options.maximized() ? window->showMaximized() : window->show();
        return;
    }
    QEventLoop loop;
    window->onClosed = [&loop] { loop.quit(); };
    window->setWindowModality(Qt::ApplicationModal);
    options.maximized() ? window->showMaximized() : window->show();
    loop.exec();
}

} // namespace

void showPreparedReport(ReportPreparer& engine, const std::vector<ExportFilter*>& filters)
{
    showPreview(engine, filters, {});
}

void showPreparedReport(ReportPreparer& engine, std::vector<std::unique_ptr<ExportFilter>> filters)
{
    std::vector<ExportFilter*> pointers;
    for (const auto& filter : filters)
        pointers.push_back(filter.get());
    showPreview(engine, pointers, std::move(filters));
}

PreviewWindow::PreviewWindow(ReportPreparer& engine, std::vector<ExportFilter*> filters, QWidget* parent)
    : QMainWindow(parent)
    , m_engine(engine)
    , m_filters(std::move(filters))
    , m_workspace(new PreviewWorkspace(this))
    , m_status(new QLabel(this))
    , m_outline(new QTreeWidget(this))
    , m_thumbnails(new QListWidget(this))
{
    const Report& report = engine.report();
    const PreviewOptions& options = report.previewOptions();
    setWindowTitle(report.reportOptions().name().isEmpty() ? tr("Preview") : report.reportOptions().name());
    resize(900, 700);

    // The prepared pages keep no outline; the tree stays empty but is there for the outline button.
    m_outline->setHeaderHidden(true);
    m_outline->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* collapse = new QAction(tr("Collapse all"), m_outline);
    connect(collapse, &QAction::triggered, m_outline, &QTreeWidget::collapseAll);
    auto* expand = new QAction(tr("Expand all"), m_outline);
    connect(expand, &QAction::triggered, m_outline, &QTreeWidget::expandAll);
    m_outline->addActions({collapse, expand});
    m_thumbnails->setViewMode(QListView::IconMode);
    m_thumbnails->setFlow(QListView::TopToBottom);
    m_thumbnails->setMovement(QListView::Static);
    m_thumbnails->setIconSize(QSize(ThumbnailWidth, ThumbnailWidth * 3 / 2));
    connect(m_thumbnails, &QListWidget::itemClicked, this,
        [this](QListWidgetItem* item) { goToPage(m_thumbnails->row(item) + 1); });
    auto* pane = new QTabWidget(this);
    pane->setObjectName(QStringLiteral("sidePane"));
    pane->addTab(m_outline, tr("Outline"));
    pane->addTab(m_thumbnails, tr("Thumbnails"));
    pane->setVisible(options.outlineVisible() || options.thumbnailVisible());
    if (options.thumbnailVisible() && !options.outlineVisible())
        pane->setCurrentWidget(m_thumbnails);
    connect(pane, &QTabWidget::currentChanged, this, [this] { buildThumbnails(); });

    auto* splitter = new QSplitter(this);
    splitter->addWidget(pane);
    splitter->addWidget(m_workspace);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({options.outlineWidth(), 800});
    setCentralWidget(splitter);
    statusBar()->addWidget(m_status);

    m_workspace->onPageStep = [this](int delta) { goToPage(m_currentPage + delta); };
    m_workspace->onPageEnd = [this](bool last) { goToPage(last ? pageCount() : 1); };
    m_workspace->onZoomStep = [this](double delta) {
        m_zoomMode = ZoomMode::Default;
        setZoom(std::max(WheelZoomFloor, zoom() + delta));
    };
    m_workspace->onScrolled = [this] { workspaceScrolled(); };
    m_workspace->onResized = [this] { fitZoom(); };

    buildToolBar(options.buttons());
    m_zoomMode = options.zoomMode() == ZoomMode::ManyPages ? ZoomMode::Default : options.zoomMode();
    m_workspace->setZoom(options.zoom());
    m_workspace->setPages(&engine.preparedPages());
    pagesChanged();
    zoomChanged();
    m_workspace->setFocus();
}

PreviewWindow::~PreviewWindow() = default;

int PreviewWindow::pageCount() const
{
    return m_engine.preparedPages().count();
}

double PreviewWindow::zoom() const
{
    return m_workspace->zoom();
}

QString PreviewWindow::statusText() const
{
    return m_status->text();
}

QAction* PreviewWindow::addButton(const QString& name, const QString& caption, const QString& hint, bool visible)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    action->setToolTip(hint);
    action->setStatusTip(hint);
    action->setVisible(visible);
    m_toolBar->addAction(action);
    // Shortcuts work from anywhere in the window, also with the toolbar hidden in full screen.
    addAction(action);
    return action;
}

void PreviewWindow::buildToolBar(PreviewButtons buttons)
{
    m_toolBar = addToolBar(tr("Preview"));
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto has = [buttons](PreviewButton bit) { return buttons.testFlag(bit); };

    QAction* print = addButton(QStringLiteral("print"), tr("Print"), tr("Print"), has(PreviewButton::Print));
    print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(print, &QAction::triggered, this, &PreviewWindow::print);
    QAction* open = addButton(QStringLiteral("open"), tr("Open"), tr("Open"), has(PreviewButton::Load));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(open, &QAction::triggered, this, &PreviewWindow::open);
    QAction* save = addButton(QStringLiteral("save"), tr("Save"), tr("Save"), has(PreviewButton::Save));
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(save, &QAction::triggered, this, &PreviewWindow::save);

    auto* exportMenu = new QMenu(this);
    exportMenu->setObjectName(QStringLiteral("exportMenu"));
    for (ExportFilter* filter : m_filters) {
        QAction* entry = exportMenu->addAction(filter->getDescription() + QStringLiteral("..."));
        connect(entry, &QAction::triggered, this, [this, filter] { exportThrough(*filter); });
    }
    auto* exportButton = new QToolButton(this);
    exportButton->setText(tr("Export"));
    exportButton->setToolTip(tr("Export"));
    exportButton->setMenu(exportMenu);
    exportButton->setPopupMode(QToolButton::InstantPopup);
    QAction* exportAction = m_toolBar->addWidget(exportButton);
    exportAction->setObjectName(QStringLiteral("export"));
    exportAction->setVisible(has(PreviewButton::Export) && !m_filters.empty());

    const auto pdf = std::find_if(m_filters.begin(), m_filters.end(),
        [](const ExportFilter* filter) { return filter->defaultExt().compare(QLatin1String(".pdf"), Qt::CaseInsensitive) == 0; });
    QAction* quickPdf = addButton(QStringLiteral("exportPdf"), tr("PDF"), tr("Export to PDF"),
        has(PreviewButton::ExportQuick) && pdf != m_filters.end());
    if (pdf != m_filters.end())
        connect(quickPdf, &QAction::triggered, this, [this, filter = *pdf] { exportThrough(*filter); });

    m_toolBar->addSeparator();
    QAction* find = addButton(QStringLiteral("find"), tr("Find"), tr("Find"), has(PreviewButton::Find));
    find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    connect(find, &QAction::triggered, this, &PreviewWindow::askFind);
    auto* findNext = new QAction(tr("Find Next"), this);
    findNext->setObjectName(QStringLiteral("findNext"));
    findNext->setShortcut(QKeySequence(Qt::Key_F3));
    connect(findNext, &QAction::triggered, this, &PreviewWindow::findNext);
    addAction(findNext);

    const bool zoomButtons = has(PreviewButton::Zoom);
    QAction* zoomIn = addButton(QStringLiteral("zoomIn"), tr("Zoom In"), tr("Zoom In"), zoomButtons);
    connect(zoomIn, &QAction::triggered, this, [this] { setZoom(zoomedIn(zoom())); });
    m_zoomBox = new QComboBox(this);
    m_zoomBox->setEditable(true);
    m_zoomBox->setInsertPolicy(QComboBox::NoInsert);
    m_zoomBox->setToolTip(tr("Zoom"));
    for (const ZoomEntry& entry : ZoomEntries)
        m_zoomBox->addItem(tr(entry.text));
    connect(m_zoomBox, &QComboBox::activated, this, [this](int index) {
        const ZoomEntry& entry = ZoomEntries[index];
        if (entry.mode == ZoomMode::Default)
            setZoom(entry.zoom);
        else
            setZoomMode(entry.mode);
    });
    connect(m_zoomBox->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        bool ok = false;
        const double percent = m_zoomBox->currentText().remove(QLatin1Char('%')).trimmed().toDouble(&ok);
        if (ok && percent > 0)
            setZoom(percent / 100);
        else
            zoomChanged();
    });
    QAction* zoomBox = m_toolBar->addWidget(m_zoomBox);
    zoomBox->setObjectName(QStringLiteral("zoomBox"));
    zoomBox->setVisible(zoomButtons);
    QAction* zoomOut = addButton(QStringLiteral("zoomOut"), tr("Zoom Out"), tr("Zoom Out"), zoomButtons);
    connect(zoomOut, &QAction::triggered, this, [this] { setZoom(zoomedOut(zoom())); });
    QAction* fullScreen = addButton(QStringLiteral("fullScreen"), tr("Full Screen"), tr("Full Screen"),
        zoomButtons && !has(PreviewButton::NoFullScreen));
    connect(fullScreen, &QAction::triggered, this, &PreviewWindow::toggleFullScreen);
    // Escape leaves full screen, and otherwise closes the preview, as a dialog's Escape does.
    auto* leaveFullScreen = new QAction(this);
    leaveFullScreen->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(leaveFullScreen, &QAction::triggered, this, [this] {
        if (m_fullScreen)
            toggleFullScreen();
        else
            close();
    });
    addAction(leaveFullScreen);

    // The context menu repeats the visible buttons from Print to Full Screen.
    m_workspace->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (QAction* action : {print, open, save, quickPdf, find, zoomIn, zoomOut, fullScreen})
        if (action->isVisible())
            m_workspace->addAction(action);

    m_toolBar->addSeparator();
    const bool outlineButtons = has(PreviewButton::Outline);
    QAction* outline = addButton(QStringLiteral("outline"), tr("Outline"), tr("Report outline"), outlineButtons);
    connect(outline, &QAction::triggered, this, [this] { showOutlinePane(true); });
    QAction* thumbnails = addButton(QStringLiteral("thumbnails"), tr("Thumbnails"), tr("Thumbnails"), outlineButtons);
    connect(thumbnails, &QAction::triggered, this, [this] { showOutlinePane(false); });
    QAction* pageSetup =
        addButton(QStringLiteral("pageSettings"), tr("Page Settings"), tr("Page Settings"), has(PreviewButton::PageSetup));
    connect(pageSetup, &QAction::triggered, this, &PreviewWindow::pageSettings);
    // There is no page editor: the button is there for the template's choice and does nothing.
    addButton(QStringLiteral("edit"), tr("Edit"), tr("Edit Page"), has(PreviewButton::Edit));

    m_toolBar->addSeparator();
    const bool navigator = has(PreviewButton::Navigator);
    QAction* first = addButton(QStringLiteral("first"), tr("First"), tr("First Page"), navigator);
    connect(first, &QAction::triggered, this, [this] { goToPage(1); });
    QAction* prior = addButton(QStringLiteral("prior"), tr("Prior"), tr("Prior Page"), navigator);
    connect(prior, &QAction::triggered, this, [this] { goToPage(m_currentPage - 1); });
    m_pageBox = new QSpinBox(this);
    m_pageBox->setToolTip(tr("Page Number"));
    m_pageBox->setKeyboardTracking(false);
    connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int page) { goToPage(page); });
    QAction* pageBox = m_toolBar->addWidget(m_pageBox);
    pageBox->setObjectName(QStringLiteral("pageBox"));
    pageBox->setVisible(navigator);
    QAction* next = addButton(QStringLiteral("next"), tr("Next"), tr("Next Page"), navigator);
    connect(next, &QAction::triggered, this, [this] { goToPage(m_currentPage + 1); });
    QAction* last = addButton(QStringLiteral("last"), tr("Last"), tr("Last Page"), navigator);
    connect(last, &QAction::triggered, this, [this] { goToPage(pageCount()); });

    m_toolBar->addSeparator();
    QAction* close = addButton(QStringLiteral("close"), tr("Close"), tr("Close"), !has(PreviewButton::NoClose));
    connect(close, &QAction::triggered, this, &QWidget::close);
}

void PreviewWindow::pagesChanged()
{
    m_workspace->refresh();
    m_lastMatch.reset();
    m_pageBox->setRange(std::min(1, pageCount()), pageCount());
    m_currentPage = clampedPage(std::max(m_currentPage, 1), pageCount());
    m_thumbnails->clear();
    buildThumbnails();
    fitZoom();
    goToPage(m_currentPage);
}

void PreviewWindow::goToPage(int page)
{
    page = clampedPage(page, pageCount());
    m_currentPage = page;
    m_scrollingToPage = true;
    m_workspace->scrollToPage(page);
    m_scrollingToPage = false;
    updateStatus();
}

void PreviewWindow::workspaceScrolled()
{
    if (m_scrollingToPage)
        return;
    m_currentPage = m_workspace->pageAtTop();
    updateStatus();
}

void PreviewWindow::updateStatus()
{
    m_status->setText(tr("Page %1 of %2").arg(m_currentPage).arg(pageCount()));
    const QSignalBlocker blocker(m_pageBox);
    m_pageBox->setValue(m_currentPage);
}

void PreviewWindow::setZoom(double zoom)
{
    m_zoomMode = ZoomMode::Default;
    m_workspace->setZoom(zoom);
    zoomChanged();
}

void PreviewWindow::setZoomMode(ZoomMode mode)
{
    m_zoomMode = mode;
    fitZoom();
    zoomChanged();
}

void PreviewWindow::fitZoom()
{
    if (pageCount() == 0 || (m_zoomMode != ZoomMode::PageWidth && m_zoomMode != ZoomMode::WholePage))
        return;
    const QSizeF page = m_engine.preparedPages().pageSize(std::max(m_currentPage, 1) - 1);
    const int scrollBar = m_workspace->verticalScrollBar()->sizeHint().width();
    // The workspace's frame belongs to it; the viewport plus a shown scroll bar is the room to fill.
    QSize room = m_workspace->viewport()->size();
    if (m_workspace->verticalScrollBar()->isVisible())
        room.rwidth() += m_workspace->verticalScrollBar()->width();
    m_workspace->setZoom(m_zoomMode == ZoomMode::PageWidth ? pageWidthZoom(room.width(), scrollBar, page.width())
                                                          : wholePageZoom(room, scrollBar, page));
}

void PreviewWindow::zoomChanged()
{
    if (m_zoomMode == ZoomMode::PageWidth || m_zoomMode == ZoomMode::WholePage)
        m_zoomBox->setCurrentIndex(m_zoomMode == ZoomMode::PageWidth ? 6 : 7);
    else
        m_zoomBox->setEditText(QStringLiteral("%1%").arg(std::lround(zoom() * 100)));
    // Keep the current page in view at the new size.
    goToPage(m_currentPage);
}

void PreviewWindow::toggleFullScreen()
{
    m_fullScreen = !m_fullScreen;
    m_toolBar->setVisible(!m_fullScreen);
    statusBar()->setVisible(!m_fullScreen);
    if (m_fullScreen) {
        m_wasMaximized = isMaximized();
        showFullScreen();
    } else if (m_wasMaximized) {
        showMaximized();
    } else {
        showNormal();
    }
}

void PreviewWindow::showOutlinePane(bool outline)
{
    auto* pane = findChild<QTabWidget*>(QStringLiteral("sidePane"));
    QWidget* wanted = outline ? static_cast<QWidget*>(m_outline) : m_thumbnails;
    // The button of the tab already shown hides the pane again.
    pane->setVisible(!(pane->isVisible() && pane->currentWidget() == wanted));
    pane->setCurrentWidget(wanted);
    buildThumbnails();
}

void PreviewWindow::buildThumbnails()
{
    if (!m_thumbnails->isVisible() || m_thumbnails->count() == pageCount())
        return;
    m_thumbnails->clear();
    const PreparedPages& pages = m_engine.preparedPages();
    const qreal ratio = devicePixelRatioF();
    for (int i = 0; i < pages.count(); ++i) {
        const QSizeF size = pages.pageSize(i);
        const double scale = size.width() > 0 ? ThumbnailWidth / size.width() : 1.0;
        QImage picture(QSize(ThumbnailWidth, static_cast<int>(std::lround(size.height() * scale))) * ratio, QImage::Format_RGB32);
        picture.fill(Qt::white);
        {
            QPainter painter(&picture);
            drawPage(pages, i, painter, scale * ratio, scale * ratio, 0, 0);
            painter.setPen(QPen(Qt::black, 0));
            painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
        }
        picture.setDevicePixelRatio(ratio);
        m_thumbnails->addItem(new QListWidgetItem(QIcon(QPixmap::fromImage(picture)), QString::number(i + 1)));
    }
}

bool PreviewWindow::find(const QString& text)
{
    m_findText = text;
    m_lastMatch.reset();
    return findNext();
}

bool PreviewWindow::findNext()
{
    if (m_findText.isEmpty()) {
        askFind();
        return m_lastMatch.has_value();
    }
    const std::optional<TextMatch> match = findText(m_engine.preparedPages(), m_findText, m_lastMatch);
    m_workspace->setHighlight(match);
    if (!match) {
        m_lastMatch.reset();
        statusBar()->showMessage(tr("Text not found: %1").arg(m_findText), 3000);
        return false;
    }
    m_lastMatch = match;
    goToPage(match->page);
    return true;
}

void PreviewWindow::askFind()
{
    bool ok = false;
    const QString text = QInputDialog::getText(this, tr("Find"), tr("Text to find:"), QLineEdit::Normal, m_findText, &ok);
    if (ok && !text.isEmpty())
        find(text);
}

bool PreviewWindow::openFile(const QString& fileName)
{
    QFile file(fileName);
    QString error;
    if (!file.open(QIODevice::ReadOnly))
        error = tr("Cannot open %1: %2").arg(fileName, file.errorString());
    else
        error = loadPreparedPages(file, m_engine.preparedPages());
    if (!error.isEmpty()) {
        QMessageBox::critical(this, tr("Open"), error);
        return false;
    }
    m_currentPage = 1;
    pagesChanged();
    return true;
}

bool PreviewWindow::saveFile(const QString& fileName)
{
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly)) {
        savePreparedPages(m_engine.preparedPages(), file);
        if (file.commit())
            return true;
    }
    QMessageBox::critical(this, tr("Save"), tr("Cannot save %1: %2").arg(fileName, file.errorString()));
    return false;
}

void PreviewWindow::whileBusy(const std::function<void()>& work)
{
    // An export or a printout processes events between pages: the toolbar must not start another.
    if (m_busy)
        return;
    m_busy = true;
    m_toolBar->setEnabled(false);
    const auto done = qScopeGuard([this] {
        m_busy = false;
        m_toolBar->setEnabled(true);
    });
    work();
}

void PreviewWindow::print()
{
    whileBusy([this] { printReport(m_engine, m_currentPage); });
}

void PreviewWindow::open()
{
    const QString fileName = QFileDialog::getOpenFileName(this, tr("Open"), QString(), tr(FileFilter));
    if (!fileName.isEmpty())
        openFile(fileName);
}

void PreviewWindow::save()
{
    QString fileName = QFileDialog::getSaveFileName(this, tr("Save"), QString(), tr(FileFilter));
    if (fileName.isEmpty())
        return;
    if (!fileName.endsWith(QLatin1String(".qpr"), Qt::CaseInsensitive))
        fileName += QLatin1String(".qpr");
    saveFile(fileName);
}

void PreviewWindow::exportThrough(ExportFilter& filter)
{
    const QString proposed = filter.targetFileName();
    QFileDialog dialog(this, filter.getDescription());
    dialog.setObjectName(QStringLiteral("exportFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const QString extension = filter.defaultExt();
    if (!extension.isEmpty()) {
        dialog.setNameFilter(QStringLiteral("%1 (*%2)").arg(filter.getDescription(), extension));
        dialog.setDefaultSuffix(extension.mid(1));
    }
    if (!proposed.isEmpty()) {
        const QFileInfo info(proposed);
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString fileName = dialog.selectedFiles().constFirst();
    whileBusy([&] {
        ExportFiles files;
        if (exportReport(m_engine, filter, fileName, &files))
            publishExport(filter, files);
    });
}

void PreviewWindow::pageSettings()
{
    const ReportPage* page = m_engine.preparedPages().page(std::max(m_currentPage, 1) - 1);
    if (!page)
        return;
    PageSettingsDialog dialog(PageSettings::of(*page), this);
    if (dialog.exec() == QDialog::Accepted)
        changePageSettings(dialog.settings());
}

void PreviewWindow::changePageSettings(const PageSettings& settings)
{
    applyPageSettings(m_engine.preparedPages(), settings);
    pagesChanged();
}

void PreviewWindow::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    if (onClosed)
        onClosed();
}

} // namespace quittung::report
