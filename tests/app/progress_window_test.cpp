#include "app/message_host.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::app;

namespace {

// A shown, active main window for the progress window to disable.
struct ActiveWindow {
    ActiveWindow()
    {
        window.resize(300, 200);
        window.show();
        QApplication::setActiveWindow(&window);
        QCoreApplication::processEvents();
    }
    QWidget window;
};

} // namespace

TEST(ProgressWindow, ShowsCentredWithMessageAndCancelAndDisablesTheActiveWindow)
{
    ActiveWindow main;
    ASSERT_EQ(QApplication::activeWindow(), &main.window);
    MessageBoxHost host;
    host.progressStart(QString());
    host.progressSetMessage(QStringLiteral("Exporting page 1"));

    ProgressWindow* progress = host.progressWindow();
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(progress->isVisible());
    EXPECT_TRUE(progress->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(progress->size(), QSize(271, 101));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_LE((progress->frameGeometry().center() - screen.center()).manhattanLength(), 1);
    EXPECT_EQ(progress->message(), QStringLiteral("Exporting page 1"));
    EXPECT_EQ(progress->findChild<QLabel*>()->text(), QStringLiteral("Exporting page 1"));
    EXPECT_EQ(progress->cancelButton()->text(), QStringLiteral("Cancel"));
    EXPECT_FALSE(main.window.isEnabled());
    EXPECT_FALSE(host.progressTerminated());

    host.progressStop();
    EXPECT_EQ(host.progressWindow(), nullptr);
    EXPECT_TRUE(main.window.isEnabled());
}

TEST(ProgressWindow, CancelClosesTheWindowAndIsSeenByTheHost)
{
    ActiveWindow main;
    MessageBoxHost host;
    host.progressStart(QStringLiteral("Exporting page 1"));
    QTest::mouseClick(host.progressWindow()->cancelButton(), Qt::LeftButton);
    host.processMessages();

    EXPECT_TRUE(host.progressTerminated());
    EXPECT_FALSE(host.progressWindow()->isVisible());
    EXPECT_TRUE(main.window.isEnabled()) << "closing gives the main window back";
    host.progressSetMessage(QStringLiteral("Exporting page 2"));
    EXPECT_TRUE(host.progressTerminated());
    host.progressStop();
    EXPECT_FALSE(host.progressTerminated());
}
