#include "runtime/format_settings.h"

#include <clocale>
#include <langinfo.h>

namespace quittung {

FormatSettings FormatSettings::german()
{
    return {QLatin1Char(','), QLatin1Char('.'), QStringLiteral("dd.MM.yyyy")};
}

namespace {

QChar firstCharOr(const char* text, QChar fallback)
{
    const QString s = QString::fromLocal8Bit(text ? text : "");
    return s.isEmpty() ? fallback : s.front();
}

QString quotedLiteral(const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

} // namespace

FormatSettings FormatSettings::fromProcessLocale()
{
    std::setlocale(LC_ALL, "");
    FormatSettings settings;
    settings.decimalSeparator = firstCharOr(nl_langinfo(RADIXCHAR), QLatin1Char('.'));
    // Locales without grouping (C, POSIX) still need a separator that differs from the decimal one.
    settings.thousandSeparator = firstCharOr(nl_langinfo(THOUSEP),
        settings.decimalSeparator == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(','));
    const QString dateFormat = dateFormatFromStrftime(QString::fromLocal8Bit(nl_langinfo(D_FMT)));
    if (!dateFormat.isEmpty())
        settings.shortDateFormat = dateFormat;
    return settings;
}

QString FormatSettings::formatShortDate(const QDate& date) const
{
    return date.toString(shortDateFormat);
}

QString dateFormatFromStrftime(const QString& pattern)
{
    QString result;
    QString literal;
    auto flushLiteral = [&] {
        if (literal.isEmpty())
            return;
        // Separators such as "." or "/" need no quotes; letters would be taken as fields.
        bool plain = true;
        for (QChar c : literal)
            plain = plain && !c.isLetter() && c != QLatin1Char('\'');
        result += plain ? literal : quotedLiteral(literal);
        literal.clear();
    };
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != QLatin1Char('%') || i + 1 >= pattern.size()) {
            literal += pattern[i];
            continue;
        }
        QChar field = pattern[++i];
        // "%-d" drops the padding; other flags and modifiers ("%Ey", "%Od") keep the field.
        bool unpadded = false;
        while ((field == QLatin1Char('-') || field == QLatin1Char('_') || field == QLatin1Char('0')
                   || field == QLatin1Char('E') || field == QLatin1Char('O'))
            && i + 1 < pattern.size()) {
            unpadded = unpadded || field == QLatin1Char('-');
            field = pattern[++i];
        }
        QString qt;
        switch (field.unicode()) {
        case 'd': qt = unpadded ? QStringLiteral("d") : QStringLiteral("dd"); break;
        case 'e': qt = QStringLiteral("d"); break;
        case 'm': qt = unpadded ? QStringLiteral("M") : QStringLiteral("MM"); break;
        case 'b':
        case 'h': qt = QStringLiteral("MMM"); break;
        case 'B': qt = QStringLiteral("MMMM"); break;
        case 'y': qt = QStringLiteral("yy"); break;
        case 'Y':
        case 'G': qt = QStringLiteral("yyyy"); break;
        case 'a': qt = QStringLiteral("ddd"); break;
        case 'A': qt = QStringLiteral("dddd"); break;
        case 'F': qt = QStringLiteral("yyyy-MM-dd"); break;
        case 'D': qt = QStringLiteral("MM/dd/yy"); break;
        case '%': literal += QLatin1Char('%'); continue;
        case 'n': literal += QLatin1Char('\n'); continue;
        case 't': literal += QLatin1Char('\t'); continue;
        default: continue; // fields a date cannot show (time, week numbers)
        }
        flushLiteral();
        result += qt;
    }
    flushLiteral();
    return result;
}

} // namespace quittung
