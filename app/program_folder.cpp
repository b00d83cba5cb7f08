#include "app/program_folder.h"

#include "runtime/messages.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryFile>

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

bool canWriteIn(const QString& folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".quittung-XXXXXX")));
    return probe.open();
}

QString programFolderReadOnlyMessage(const QString& programFolder)
{
    const QString folder = QDir::toNativeSeparators(QDir::cleanPath(programFolder));
    const QString copy = QDir::toNativeSeparators(QDir::home().filePath(QStringLiteral("Quittung")));
    return formatMessage(msg::SProgramFolderReadOnly, {folder, copy, shellWord(folder)});
}

} // namespace quittung::app
