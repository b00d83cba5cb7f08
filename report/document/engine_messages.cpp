#include "report/document/engine_messages.h"

#include <QHash>

namespace quittung {

namespace {

const QHash<QString, QString>& messages()
{
    static const QHash<QString, QString> table{
        {QStringLiteral("xrInvalidFileFormat"), QStringLiteral("Invalid file format")},
        {QStringLiteral("xrCantFindClass"), QStringLiteral("Cannot find class")},
        {QStringLiteral("dsErrors"), QStringLiteral("The following error(s) have occured:")},
        {QStringLiteral("mbError"), QStringLiteral("Error")},
        {QStringLiteral("xrInvalidPropertyValue"), QStringLiteral("Invalid property value")},
    };
    return table;
}

} // namespace

QString frxGet(const QString& key)
{
    const auto found = messages().constFind(key);
    if (found == messages().constEnd())
        return key;
    return found->startsWith(QLatin1Char('!')) ? found->mid(1) : *found;
}

} // namespace quittung
