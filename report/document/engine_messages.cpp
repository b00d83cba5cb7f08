#include "report/document/engine_messages.h"

#include <QCoreApplication>
#include <QHash>

namespace quittung::report {

namespace {

// The English texts are the source texts of the program's translations (context "EngineMessages"),
// so a German desktop shows them in German.
const QHash<QString, const char*>& messages()
{
    static const QHash<QString, const char*> table{
        {QStringLiteral("xrInvalidFileFormat"), QT_TRANSLATE_NOOP("EngineMessages", "Invalid file format")},
        {QStringLiteral("xrCantFindClass"), QT_TRANSLATE_NOOP("EngineMessages", "Cannot find class")},
        {QStringLiteral("dsErrors"), QT_TRANSLATE_NOOP("EngineMessages", "The following error(s) have occured:")},
        {QStringLiteral("mbError"), QT_TRANSLATE_NOOP("EngineMessages", "Error")},
        {QStringLiteral("expExportingPage"), QT_TRANSLATE_NOOP("EngineMessages", "Exporting page %d")},
        {QStringLiteral("prgPreparingPage"), QT_TRANSLATE_NOOP("EngineMessages", "Preparing page %d")},
        {QStringLiteral("prNoPrinters"), QT_TRANSLATE_NOOP("EngineMessages", "No printers installed on your system")},
        {QStringLiteral("prInvalidPrinter"), QT_TRANSLATE_NOOP("EngineMessages", "Printer selected is not valid")},
        {QStringLiteral("prPrintingPage"), QT_TRANSLATE_NOOP("EngineMessages", "Printing page %d")},
        {QStringLiteral("expPDFDescription"), QT_TRANSLATE_NOOP("EngineMessages", "PDF file")},
        {QStringLiteral("expJPEGDescription"), QT_TRANSLATE_NOOP("EngineMessages", "JPEG image")},
        {QStringLiteral("expJPEGFilter"), QT_TRANSLATE_NOOP("EngineMessages", "Jpeg image (*.jpg)|*.jpg")},
        {QStringLiteral("expCancel"), QT_TRANSLATE_NOOP("EngineMessages", "Cancel")},
        {QStringLiteral("xrInvalidPropertyValue"), QT_TRANSLATE_NOOP("EngineMessages", "Invalid property value")},
        {QStringLiteral("xrUnknownVariable"), QT_TRANSLATE_NOOP("EngineMessages", "Unknown variable or datafield:")},
        {QStringLiteral("xrAggregateNeedsBand"), QT_TRANSLATE_NOOP("EngineMessages", "%s can only be used in a data band")},
        {QStringLiteral("xrBandsNotPrepared"), QT_TRANSLATE_NOOP("EngineMessages", "The page %s holds bands, which this program does not prepare")},
        {QStringLiteral("xrInvalidNumber"), QT_TRANSLATE_NOOP("EngineMessages", "Invalid number")},
        {QStringLiteral("xrNumberOutOfRange"), QT_TRANSLATE_NOOP("EngineMessages", "Number out of range")},
        {QStringLiteral("xrUnterminatedString"), QT_TRANSLATE_NOOP("EngineMessages", "Unterminated string")},
        {QStringLiteral("xrInvalidCharCode"), QT_TRANSLATE_NOOP("EngineMessages", "Invalid character code")},
        {QStringLiteral("xrUnexpectedSymbol"), QT_TRANSLATE_NOOP("EngineMessages", "Unexpected symbol")},
        {QStringLiteral("xrExpressionExpected"), QT_TRANSLATE_NOOP("EngineMessages", "Expression expected")},
        {QStringLiteral("xrUndeclaredIdentifier"), QT_TRANSLATE_NOOP("EngineMessages", "Undeclared identifier")},
        {QStringLiteral("xrIdentifierExpected"), QT_TRANSLATE_NOOP("EngineMessages", "Identifier expected")},
        {QStringLiteral("xrNotAFunction"), QT_TRANSLATE_NOOP("EngineMessages", "Not a function")},
        {QStringLiteral("xrExpressionTooComplex"), QT_TRANSLATE_NOOP("EngineMessages", "Expression too complex")},
        {QStringLiteral("xrUnknownCharacter"), QT_TRANSLATE_NOOP("EngineMessages", "Unknown character '%s'")},
        {QStringLiteral("xrDivisionByZero"), QT_TRANSLATE_NOOP("EngineMessages", "Division by zero")},
        {QStringLiteral("xrInvalidFloatOperation"), QT_TRANSLATE_NOOP("EngineMessages", "Invalid floating point operation")},
        {QStringLiteral("xrFloatOverflow"), QT_TRANSLATE_NOOP("EngineMessages", "Floating point overflow")},
        {QStringLiteral("xrFloatDivisionByZero"), QT_TRANSLATE_NOOP("EngineMessages", "Floating point division by zero")},
        {QStringLiteral("xrStringTooLong"), QT_TRANSLATE_NOOP("EngineMessages", "String too long")},
        {QStringLiteral("xrCannotConvert"), QT_TRANSLATE_NOOP("EngineMessages", "Could not convert variant of type (%s) into type (%s)")},
        {QStringLiteral("xrNotEnoughParameters"), QT_TRANSLATE_NOOP("EngineMessages", "Not enough actual parameters")},
        {QStringLiteral("xrTooManyParameters"), QT_TRANSLATE_NOOP("EngineMessages", "Too many actual parameters")},
        {QStringLiteral("xrExpressionError"), QT_TRANSLATE_NOOP("EngineMessages", "Error in expression '%s': %s")},
        {QStringLiteral("xrExpressionTooDeep"), QT_TRANSLATE_NOOP("EngineMessages", "Expressions nested too deeply in")},
        {QStringLiteral("fntFormatError"), QT_TRANSLATE_NOOP("EngineMessages", "Font format error")},
        {QStringLiteral("fntChecksumError"), QT_TRANSLATE_NOOP("EngineMessages", "Font table checksum error")},
        {QStringLiteral("fntTableChecksum"), QT_TRANSLATE_NOOP("EngineMessages", "Table ID \"%s\" checksum error.")},
        {QStringLiteral("fntDuplicateTable"), QT_TRANSLATE_NOOP("EngineMessages", "Duplicate table \"%s\"")},
    };
    return table;
}

} // namespace

QString engineMessage(const QString& key)
{
    const auto found = messages().constFind(key);
    if (found == messages().constEnd())
        return key;
    const QString text = QCoreApplication::translate("EngineMessages", *found);
    return text.startsWith(QLatin1Char('!')) ? text.mid(1) : text;
}

} // namespace quittung::report
