#include "app/program_start.h"

#include "app/error_handler.h"
#include "report/document/engine_host.h"
#include "runtime/messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTranslator>

namespace quittung::app {

namespace {

// The path as one word of a shell command.
QString shellWord(const QString& path)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+-]+$"));
    if (plain.match(path).hasMatch())
        return path;
    return QLatin1Char('\'') + QString(path).replace(QStringLiteral("'"), QStringLiteral("'\\''")) + QLatin1Char('\'');
}

} // namespace

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/quittung.png").arg(size), QSize(size, size));
    return icon;
}

std::unique_ptr<QTranslator> installQtTranslations(const QLocale& locale)
{
    if (locale.language() != QLocale::German)
        return nullptr;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

bool canWriteIn(const QString& folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".quittung-XXXXXX")));
    return probe.open();
}

bool warnIfProgramFolderReadOnly(const QString& programFolder, report::EngineHost& host)
{
    if (canWriteIn(programFolder))
        return false;
    const QString folder = QDir::toNativeSeparators(QDir::cleanPath(programFolder));
    const QString copy = QDir::toNativeSeparators(QDir::home().filePath(QStringLiteral("Quittung")));
    host.showMessage(applicationTitle(),
        formatMessage(msg::SProgramFolderReadOnly, {folder, copy, shellWord(folder)}),
        report::EngineHost::Icon::Warning);
    return true;
}

} // namespace quittung::app
