#include "report/document/engine_messages.h"

#include <QHash>

namespace quittung::report {

namespace {

const QHash<QString, QString>& messages()
{
    static const QHash<QString, QString> table{
        {QStringLiteral("xrInvalidFileFormat"), QStringLiteral("Invalid file format")},
        {QStringLiteral("xrCantFindClass"), QStringLiteral("Cannot find class")},
        {QStringLiteral("dsErrors"), QStringLiteral("The following error(s) have occured:")},
        {QStringLiteral("mbError"), QStringLiteral("Error")},
        {QStringLiteral("expExportingPage"), QStringLiteral("Exporting page %d")},
        {QStringLiteral("prgPreparingPage"), QStringLiteral("Preparing page %d")},
        {QStringLiteral("prNoPrinters"), QStringLiteral("No printers installed on your system")},
        {QStringLiteral("prInvalidPrinter"), QStringLiteral("Printer selected is not valid")},
        {QStringLiteral("prPrintingPage"), QStringLiteral("Printing page %d")},
        {QStringLiteral("expJPEGDescription"), QStringLiteral("JPEG image")},
        {QStringLiteral("expJPEGFilter"), QStringLiteral("Jpeg image (*.jpg)|*.jpg")},
        {QStringLiteral("expCancel"), QStringLiteral("Cancel")},
        {QStringLiteral("xrInvalidPropertyValue"), QStringLiteral("Invalid property value")},
        {QStringLiteral("xrUnknownVariable"), QStringLiteral("Unknown variable or datafield:")},
        {QStringLiteral("xrAggregateNeedsBand"), QStringLiteral("%s can only be used in a data band")},
        {QStringLiteral("xrBandsNotPrepared"), QStringLiteral("The page %s holds bands, which this program does not prepare")},
        {QStringLiteral("xrInvalidNumber"), QStringLiteral("Invalid number")},
        {QStringLiteral("xrNumberOutOfRange"), QStringLiteral("Number out of range")},
        {QStringLiteral("xrUnterminatedString"), QStringLiteral("Unterminated string")},
        {QStringLiteral("xrInvalidCharCode"), QStringLiteral("Invalid character code")},
        {QStringLiteral("xrUnexpectedSymbol"), QStringLiteral("Unexpected symbol")},
        {QStringLiteral("xrExpressionExpected"), QStringLiteral("Expression expected")},
        {QStringLiteral("xrUndeclaredIdentifier"), QStringLiteral("Undeclared identifier")},
        {QStringLiteral("xrIdentifierExpected"), QStringLiteral("Identifier expected")},
        {QStringLiteral("xrNotAFunction"), QStringLiteral("Not a function")},
        {QStringLiteral("xrExpressionTooComplex"), QStringLiteral("Expression too complex")},
        {QStringLiteral("xrUnknownCharacter"), QStringLiteral("Unknown character '%s'")},
        {QStringLiteral("xrDivisionByZero"), QStringLiteral("Division by zero")},
        {QStringLiteral("xrInvalidFloatOperation"), QStringLiteral("Invalid floating point operation")},
        {QStringLiteral("xrFloatOverflow"), QStringLiteral("Floating point overflow")},
        {QStringLiteral("xrFloatDivisionByZero"), QStringLiteral("Floating point division by zero")},
        {QStringLiteral("xrStringTooLong"), QStringLiteral("String too long")},
        {QStringLiteral("xrCannotConvert"), QStringLiteral("Could not convert variant of type (%s) into type (%s)")},
        {QStringLiteral("xrNotEnoughParameters"), QStringLiteral("Not enough actual parameters")},
        {QStringLiteral("xrTooManyParameters"), QStringLiteral("Too many actual parameters")},
        {QStringLiteral("xrExpressionError"), QStringLiteral("Error in expression '%s': %s")},
        {QStringLiteral("xrExpressionTooDeep"), QStringLiteral("Expressions nested too deeply in")},
    };
    return table;
}

} // namespace

QString engineMessage(const QString& key)
{
    const auto found = messages().constFind(key);
    if (found == messages().constEnd())
        return key;
    return found->startsWith(QLatin1Char('!')) ? found->mid(1) : *found;
}

} // namespace quittung::report
