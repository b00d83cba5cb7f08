#include "report/preview/preview_window.h"

#include "report/document/page.h"
#include "report/document/report.h"
#include "report/engine/pages/report_preparer.h"
#include "report/export/image/image_export.h"
#include "report/preview/page_settings_dialog.h"
#include "report/preview/prepared_report_file.h"
#include "report/preview/preview_workspace.h"
#include "tools/example_receipt.h"

#include <QAction>
#include <QBuffer>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace quittung::report;

namespace {

// The A4 receipt with its copy page: two prepared pages.
class PreviewWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(loadExampleReceipt(m_report, QStringLiteral(QUITTUNG_FORMS_DIR "/QuittungA4.Dat"), true));
        ASSERT_TRUE(m_engine.prepareReport());
        ASSERT_EQ(m_engine.preparedPages().count(), 2);
    }

    PreviewWindow& window(std::vector<ExportFilter*> filters = {})
    {
        m_window = std::make_unique<PreviewWindow>(m_engine, std::move(filters));
        m_window->resize(1000, 800);
        m_window->show();
        // Shortcuts reach only the active window.
        m_window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
        return *m_window;
    }

    QByteArray savedPages()
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        savePreparedPages(m_engine.preparedPages(), buffer);
        return buffer.data();
    }

    Report m_report;
    ReportPreparer m_engine{m_report};
    std::unique_ptr<PreviewWindow> m_window;
};

bool visible(PreviewWindow& window, const char* name)
{
    const auto* action = window.findChild<QAction*>(QString::fromLatin1(name));
    return action && action->isVisible();
}

} // namespace

TEST_F(PreviewWindowTest, TitleAndStatusFollowTheReport)
{
    PreviewWindow& shown = window();
    EXPECT_EQ(shown.windowTitle(), QStringLiteral("Preview"));
    EXPECT_EQ(shown.statusText(), QStringLiteral("Page 1 of 2"));
    EXPECT_DOUBLE_EQ(shown.zoom(), 1.0);

    m_report.reportOptions().setName(QStringLiteral("Quittung 12"));
    EXPECT_EQ(window().windowTitle(), QStringLiteral("Quittung 12"));
}

TEST_F(PreviewWindowTest, ButtonsShowByTheirBits)
{
    struct Case {
        PreviewButtons buttons;
        std::vector<const char*> shown;
        std::vector<const char*> hidden;
    };
    const Case cases[] = {
        {PreviewButton::Print | PreviewButton::Navigator, {"print", "first", "prior", "pageBox", "next", "last", "close"},
            {"open", "save", "find", "zoomIn", "zoomBox", "outline", "edit"}},
        {PreviewButton::Zoom | PreviewButton::NoClose, {"zoomIn", "zoomBox", "zoomOut", "fullScreen"}, {"close", "print"}},
        {PreviewButton::Zoom | PreviewButton::NoFullScreen, {"zoomIn"}, {"fullScreen"}},
        {PreviewButton::Load | PreviewButton::Save | PreviewButton::Find | PreviewButton::Outline | PreviewButton::PageSetup
                | PreviewButton::Edit,
            {"open", "save", "find", "outline", "thumbnails", "pageSettings", "edit"}, {"first", "zoomIn"}},
    };
    for (const Case& c : cases) {
        m_report.previewOptions().setButtons(c.buttons);
        PreviewWindow& shown = window();
        for (const char* name : c.shown)
            EXPECT_TRUE(visible(shown, name)) << name << " with " << c.buttons.toInt();
        for (const char* name : c.hidden)
            EXPECT_FALSE(visible(shown, name)) << name << " with " << c.buttons.toInt();
    }
}

TEST_F(PreviewWindowTest, ExportMenuOffersEachFilter)
{
    EXPECT_FALSE(visible(window(), "export"));

    JpegExport jpeg;
    PreviewWindow& shown = window({&jpeg});
    EXPECT_TRUE(visible(shown, "export"));
    const auto* menu = shown.findChild<QMenu*>(QStringLiteral("exportMenu"));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().front()->text(), QStringLiteral("JPEG image..."));
    // Only a PDF filter brings the quick button.
    EXPECT_FALSE(visible(shown, "exportPdf"));
}

TEST_F(PreviewWindowTest, ZoomButtonsAndModes)
{
    PreviewWindow& shown = window();
    shown.findChild<QAction*>(QStringLiteral("zoomIn"))->trigger();
    EXPECT_DOUBLE_EQ(shown.zoom(), 1.25);
    for (int i = 0; i < 6; ++i)
        shown.findChild<QAction*>(QStringLiteral("zoomOut"))->trigger();
    EXPECT_DOUBLE_EQ(shown.zoom(), 0.25);

    // Page width fills the workspace less the gaps and follows its size.
    shown.setZoomMode(ZoomMode::PageWidth);
    const QRect page = shown.workspace().pageRects().front();
    EXPECT_NEAR(page.width(), shown.workspace().viewport()->width() - 26, 2);
    shown.resize(700, 800);
    QCoreApplication::processEvents();
    EXPECT_NEAR(shown.workspace().pageRects().front().width(), shown.workspace().viewport()->width() - 26, 2);

    // The whole page fits the height.
    shown.setZoomMode(ZoomMode::WholePage);
    const int height = shown.workspace().pageRects().front().height();
    EXPECT_LE(height, shown.workspace().viewport()->height());
    EXPECT_GE(height, shown.workspace().viewport()->height() - 30);
}

TEST_F(PreviewWindowTest, NavigationKeepsThePageInTheReport)
{
    PreviewWindow& shown = window();
    struct Step {
        const char* what;
        std::function<void()> act;
        int page;
    };
    PreviewWorkspace& workspace = shown.workspace();
    const Step steps[] = {
        {"End", [&] { QTest::keyClick(&workspace, Qt::Key_End); }, 2},
        {"Home", [&] { QTest::keyClick(&workspace, Qt::Key_Home); }, 1},
        {"Ctrl+PageDown", [&] { QTest::keyClick(&workspace, Qt::Key_PageDown, Qt::ControlModifier); }, 2},
        {"Ctrl+PageDown on the last page", [&] { QTest::keyClick(&workspace, Qt::Key_PageDown, Qt::ControlModifier); }, 2},
        {"Ctrl+PageUp", [&] { QTest::keyClick(&workspace, Qt::Key_PageUp, Qt::ControlModifier); }, 1},
        {"page box beyond the end", [&] { shown.goToPage(99); }, 2},
        {"page box before the start", [&] { shown.goToPage(0); }, 1},
        {"Next", [&] { shown.findChild<QAction*>(QStringLiteral("next"))->trigger(); }, 2},
        {"First", [&] { shown.findChild<QAction*>(QStringLiteral("first"))->trigger(); }, 1},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(shown.currentPage(), step.page) << step.what;
        EXPECT_EQ(shown.statusText(), QStringLiteral("Page %1 of 2").arg(step.page)) << step.what;
    }

    QScrollBar* vertical = workspace.verticalScrollBar();
    vertical->setValue(100);
    QTest::keyClick(&workspace, Qt::Key_Down);
    EXPECT_EQ(vertical->value(), 108);
    QTest::keyClick(&workspace, Qt::Key_PageDown);
    EXPECT_EQ(vertical->value(), 408);
    // Scrolling down to the second page makes it the current one.
    vertical->setValue(vertical->maximum());
    EXPECT_EQ(shown.currentPage(), 2);
}

TEST_F(PreviewWindowTest, FindGoesToTheMatchAndF3ToTheNext)
{
    PreviewWindow& shown = window();
    // The payer stands on the original and on the copy.
    ASSERT_TRUE(shown.find(QStringLiteral("muster gmbh")));
    EXPECT_EQ(shown.currentPage(), 1);
    QTest::keyClick(&shown, Qt::Key_F3);
    EXPECT_EQ(shown.currentPage(), 2);
    QTest::keyClick(&shown, Qt::Key_F3);
    EXPECT_EQ(shown.currentPage(), 1);
    EXPECT_FALSE(shown.find(QStringLiteral("nowhere in the receipt")));
}

TEST_F(PreviewWindowTest, SavedPagesOpenAsTheyWere)
{
    const QByteArray saved = savedPages();
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("receipt.qpr"));
    PreviewWindow& shown = window();
    ASSERT_TRUE(shown.saveFile(fileName));

    m_engine.preparedPages().removePagesFrom(1);
    ASSERT_TRUE(shown.openFile(fileName));
    EXPECT_EQ(shown.statusText(), QStringLiteral("Page 1 of 2"));
    EXPECT_EQ(savedPages(), saved);
}

TEST_F(PreviewWindowTest, BadFilesLeaveThePagesAlone)
{
    const QByteArray before = savedPages();
    for (const char* content : {"", "not xml at all", "<?xml version=\"1.0\"?><TfrxReport/>",
             "<?xml version=\"1.0\"?><preparedreport><TfrxMemoView/></preparedreport>",
             "<?xml version=\"1.0\"?><preparedreport><TfrxReportPage><Nonsense/></TfrxReportPage></preparedreport>"}) {
        QBuffer buffer;
        buffer.setData(content);
        buffer.open(QIODevice::ReadOnly);
        EXPECT_FALSE(loadPreparedPages(buffer, m_engine.preparedPages()).isEmpty()) << content;
        EXPECT_EQ(savedPages(), before) << content;
    }
}

TEST_F(PreviewWindowTest, PageSettingsChangeEveryPage)
{
    PreviewWindow& shown = window();
    PageSettings settings = PageSettings::of(*m_engine.preparedPages().page(0));
    settings.paperSize = 11; // A5
    settings.orientation = PageOrientation::Landscape;
    settings.leftMargin = 20;
    shown.changePageSettings(settings);
    for (int i = 0; i < 2; ++i) {
        const ReportPage& page = *m_engine.preparedPages().page(i);
        EXPECT_DOUBLE_EQ(page.paperWidth(), 210);
        EXPECT_DOUBLE_EQ(page.paperHeight(), 148);
        EXPECT_DOUBLE_EQ(page.leftMargin(), 20);
    }
    // The workspace shows the new paper.
    EXPECT_EQ(shown.workspace().pageRects().front().size(), QSize(794, 559));
}
