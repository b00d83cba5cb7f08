#include "app/german_messages.h"

#include "report/document/engine_messages.h"
#include "runtime/exception.h"

#include <QRegularExpression>

#include <algorithm>
#include <utility>
#include <vector>

namespace quittung::app {

namespace {

// The engine's messages by key, in German; "%s" and "%d" stand where the English text has them,
// in the same order.
constexpr std::pair<const char*, const char*> kGerman[] = {
    {"xrInvalidFileFormat", "Ungültiges Dateiformat"},
    {"xrCantFindClass", "Klasse nicht gefunden"},
    {"dsErrors", "Folgende Fehler sind aufgetreten:"},
    {"mbError", "Fehler"},
    {"prNoPrinters", "Auf diesem System ist kein Drucker eingerichtet"},
    {"prInvalidPrinter", "Der gewählte Drucker ist ungültig"},
    {"xrInvalidPropertyValue", "Ungültiger Eigenschaftswert"},
    {"xrUnknownVariable", "Unbekannte Variable oder unbekanntes Datenfeld:"},
    {"xrAggregateNeedsBand", "%s kann nur in einem Datenband stehen"},
    {"xrBandsNotPrepared", "Die Seite %s enthält Bänder, die dieses Programm nicht aufbereitet"},
    {"xrInvalidNumber", "Ungültige Zahl"},
    {"xrNumberOutOfRange", "Zahl außerhalb des gültigen Bereichs"},
    {"xrUnterminatedString", "Nicht abgeschlossene Zeichenkette"},
    {"xrInvalidCharCode", "Ungültiger Zeichencode"},
    {"xrUnexpectedSymbol", "Unerwartetes Symbol"},
    {"xrExpressionExpected", "Ausdruck erwartet"},
    {"xrUndeclaredIdentifier", "Nicht deklarierter Bezeichner"},
    {"xrIdentifierExpected", "Bezeichner erwartet"},
    {"xrNotAFunction", "Keine Funktion"},
    {"xrExpressionTooComplex", "Ausdruck zu komplex"},
    {"xrUnknownCharacter", "Unbekanntes Zeichen '%s'"},
    {"xrDivisionByZero", "Division durch null"},
    {"xrInvalidFloatOperation", "Ungültige Gleitkommaoperation"},
    {"xrFloatOverflow", "Gleitkommaüberlauf"},
    {"xrFloatDivisionByZero", "Gleitkommadivision durch null"},
    {"xrStringTooLong", "Zeichenkette zu lang"},
    {"xrCannotConvert", "Ein Wert vom Typ (%s) lässt sich nicht in den Typ (%s) umwandeln"},
    {"xrNotEnoughParameters", "Zu wenige Parameter"},
    {"xrTooManyParameters", "Zu viele Parameter"},
    {"xrExpressionError", "Fehler im Ausdruck '%s': %s"},
    {"xrExpressionTooDeep", "Ausdrücke zu tief verschachtelt in"},
};

struct Translation {
    QRegularExpression english;
    QString german;
};

// Each English text as a pattern whose placeholders take any text; longer texts first, so a text
// that holds a shorter one is put into German as a whole.
const std::vector<Translation>& translations()
{
    static const std::vector<Translation> table = [] {
        std::vector<std::pair<QString, QString>> texts;
        for (const auto& [key, german] : kGerman)
            texts.emplace_back(report::engineMessage(QString::fromLatin1(key)), QString::fromUtf8(german));
        std::sort(texts.begin(), texts.end(), [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
        static const QRegularExpression placeholder(QStringLiteral("%[sd]"));
        std::vector<Translation> translated;
        for (const auto& [english, german] : texts) {
            QString pattern = QRegularExpression::escape(english);
            // escape() leaves "%" alone; each placeholder takes the least text that still fits.
            pattern.replace(placeholder, QStringLiteral("(.*?)"));
            if (pattern.endsWith(QLatin1String("(.*?)")))
                pattern.replace(pattern.size() - 5, 5, QStringLiteral("(.*)"));
            QString replacement = german;
            int argument = 0;
            for (qsizetype at = replacement.indexOf(placeholder); at >= 0; at = replacement.indexOf(placeholder, at)) {
                const QString reference = QStringLiteral("\\%1").arg(++argument);
                replacement.replace(at, 2, reference);
                at += reference.size();
            }
            // A single word (a caption such as "Error") is put into German only where it stands alone,
            // never inside a name; other texts wherever they stand between words.
            pattern = english.contains(u' ') ? QStringLiteral("(?<!\\w)%1(?!\\w)").arg(pattern) : QStringLiteral("^%1$").arg(pattern);
            translated.push_back({QRegularExpression(pattern), replacement});
        }
        return translated;
    }();
    return table;
}

} // namespace

QString germanEngineText(const QString& text)
{
    QString german = text;
    for (const Translation& translation : translations())
        german.replace(translation.english, translation.german);
    return german;
}

QString errorLine(const std::exception& error)
{
    static const QRegularExpression lineBreaks(QStringLiteral("[\\r\\n]+"));
    QStringList lines = messageForDisplay(exceptionMessage(error)).split(lineBreaks, Qt::SkipEmptyParts);
    if (lines.size() > 1 && lines.first() == report::engineMessage(QStringLiteral("dsErrors")))
        lines.removeFirst();
    return germanEngineText(lines.join(u' '));
}

} // namespace quittung::app
