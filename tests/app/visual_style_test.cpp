#include "app/error_handler.h"
#include "app/receipt_window.h"
#include "app/visual_style.h"
#include "runtime/format_settings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QScopeGuard>
#include <QTemporaryDir>

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

// The format box can be typed in: an item wider than its edit field scrolls the field to the
// cursor at its end and loses its first letters ("4 - Zwei Seiten"). An item shows whole when
// moving the cursor to its start changes nothing in the field's picture.
TEST(VisualStyle, TheFormatBoxShowsEachItemWholeInCarbon)
{
    auto& application = *static_cast<QApplication*>(QCoreApplication::instance());
    ASSERT_TRUE(applyVisualStyle(application, QStringLiteral("Carbon")));
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QStringList errors;
    const ErrorPresenter before = setErrorPresenter([&errors](const QString&, const QString& text) { errors << text; });
    const auto restore = qScopeGuard([&before] { setErrorPresenter(before); });
    ReceiptWindow form(FormatSettings::german(), folder.path());
    form.show();
    QLineEdit& field = *form.formatBox->lineEdit();
    ASSERT_EQ(form.formatBox->count(), 4);
    for (int i = 0; i < form.formatBox->count(); ++i) {
        form.formatBox->setCurrentIndex(i);
        field.deselect();
        const QImage atEnd = field.grab().toImage();
        field.setCursorPosition(0);
        EXPECT_TRUE(field.grab().toImage() == atEnd) << form.formatBox->itemText(i).toStdString() << " scrolls in the field";
    }
    EXPECT_EQ(errors, QStringList());
}
