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
        {QStringLiteral("xrUnknownVariable"), QStringLiteral("Unknown variable or datafield:")},
        {QStringLiteral("xrAggregateNeedsBand"), QStringLiteral("%s can only be used in a data band")},
        {QStringLiteral("xrBandsNotPrepared"), QStringLiteral("The page %s holds bands, which this program does not prepare")},
        {QStringLiteral("xrExpressionTooDeep"), QStringLiteral("Expressions nested too deeply in")},
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
