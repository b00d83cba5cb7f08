#include "app/visual_style.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPalette>

#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

using namespace quittung;
using namespace quittung::app;

TEST(VisualStyle, CarbonIsFoundWithoutRegardToCaseAndIsDark)
{
    for (const char* name : {"Carbon", "CARBON", "carbon"})
        EXPECT_TRUE(findVisualStyle(QString::fromLatin1(name)).has_value()) << name;
    EXPECT_FALSE(findVisualStyle(QStringLiteral("Carbo")).has_value());

    auto& application = *static_cast<QApplication*>(QCoreApplication::instance());
    ASSERT_TRUE(applyVisualStyle(application, QStringLiteral("cArBoN")));
    const QPalette palette = QApplication::palette();
    EXPECT_LT(palette.color(QPalette::Window).lightness(), 80);
    EXPECT_GT(palette.color(QPalette::WindowText).lightness(), 180);
    EXPECT_GT(palette.color(QPalette::Disabled, QPalette::Text).lightness(),
        palette.color(QPalette::Base).lightness());
}

TEST(VisualStyle, AMissingStyleIsReportedInTheFehlerBoxWithOneCloseButton)
{
    auto& application = *static_cast<QApplication*>(QCoreApplication::instance());
    EXPECT_FALSE(applyVisualStyle(application, QStringLiteral("Graphit")));

    const auto box = makeStyleNotFoundBox(QStringLiteral("Graphit"));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Fehler"));
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(box->text(), QStringLiteral("Stil 'Graphit' nicht gefunden"));
    ASSERT_EQ(box->buttons().size(), 1);
    EXPECT_EQ(box->buttons().front()->text(), QStringLiteral("&Schließen"));
}
