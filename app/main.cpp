#include "app/error_handler.h"
#include "app/receipt_window.h"
#include "app/message_host.h"
#include "app/program_start.h"
#include "app/visual_style.h"
#include "runtime/format_settings.h"

#include <QApplication>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

namespace {

// Qt aborts with a toolkit message when there is no display; say it plainly instead.
bool displayAvailable()
{
    for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    if (!displayAvailable()) {
        std::fputs("Quittung needs a graphical desktop, but no display was found (DISPLAY and WAYLAND_DISPLAY are not set).\n",
            stderr);
        return 1;
    }
    const quittung::FormatSettings formatSettings = quittung::FormatSettings::fromProcessLocale();
    QApplication application(argc, argv);
    application.setWindowIcon(quittung::app::programIcon());
    const auto qtTranslations = quittung::app::installQtTranslations(QLocale());
    const auto programTranslations = quittung::app::installProgramTranslations(QLocale());
    quittung::app::applyVisualStyleOrComplain(application, QStringLiteral("Carbon"));
    quittung::app::MessageBoxHost messageHost;
    quittung::report::setEngineHost(&messageHost);
    quittung::app::ReceiptWindow form(formatSettings, QCoreApplication::applicationDirPath());
    form.show();
    quittung::app::warnIfProgramFolderReadOnly(QCoreApplication::applicationDirPath(), messageHost);
    return application.exec();
}
