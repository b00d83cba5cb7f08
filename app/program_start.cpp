#include "app/program_start.h"

#include "app/error_handler.h"
#include "report/document/engine_host.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace quittung::app {

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/quittung.png").arg(size), QSize(size, size));
    return icon;
}

namespace {

std::unique_ptr<QTranslator> installGermanTranslation(const QLocale& locale, const QString& name, const QString& folder)
{
    if (locale.language() != QLocale::German)
        return nullptr;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(name, folder))
        return nullptr;
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

} // namespace

std::unique_ptr<QTranslator> installQtTranslations(const QLocale& locale)
{
    return installGermanTranslation(
        locale, QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

std::unique_ptr<QTranslator> installProgramTranslations(const QLocale& locale)
{
    // Built from translations/quittung_de.ts into the program's resources.
    return installGermanTranslation(locale, QStringLiteral("quittung_de"), QStringLiteral(":/translations"));
}

bool warnIfProgramFolderReadOnly(const QString& programFolder, report::EngineHost& host)
{
    if (canWriteIn(programFolder))
        return false;
    host.showMessage(applicationTitle(), programFolderReadOnlyMessage(programFolder), report::EngineHost::Icon::Warning);
    return true;
}

} // namespace quittung::app
