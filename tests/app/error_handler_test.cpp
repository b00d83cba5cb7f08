#include "app/error_handler.h"

#include "runtime/exception.h"

#include <QStringList>

#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace quittung;
using namespace quittung::app;

TEST(ErrorHandler, TitleIsTheProgramNameUpToTheFirstDotInTitleCase)
{
    const struct {
        const char* path;
        const char* title;
    } rows[] = {
        {"/opt/Quittung/Quittung", "Quittung"},
        {"C:/Programme/QUITTUNG.EXE", "Quittung"},
        {"/usr/bin/app_tests", "app_tests"},
        {"/x/my.prog.bin", "my"},
        {"/x/Ü-Beleg", "Ü-beleg"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(applicationTitleFor(QString::fromUtf8(row.path)), QString::fromUtf8(row.title)) << row.path;
}

TEST(ErrorHandler, AnErrorLeavingAHandlerIsShownOnceAndTheProgramGoesOn)
{
    QStringList shown;
    const ErrorPresenter before = setErrorPresenter(
        [&](const QString& caption, const QString& text) { shown << caption + QLatin1Char('|') + text; });
    bool after = false;
    guarded([] { throw ConvertError(QStringLiteral("'x' ist kein gültiger Integerwert")); });
    guarded([] { throw std::runtime_error("Listenindex überschreitet das Maximum (2)"); });
    guarded([] { throw 42; });
    guarded([&] { after = true; });
    setErrorPresenter(before);

    const QString title = applicationTitle();
    EXPECT_EQ(shown,
        QStringList({title + QStringLiteral("|'x' ist kein gültiger Integerwert."),
            title + QStringLiteral("|Listenindex überschreitet das Maximum (2)"),
            title + QStringLiteral("|Unbekannter Fehler.")}));
    EXPECT_TRUE(after);
}
