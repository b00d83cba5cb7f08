#include "runtime/format_settings.h"

#include <clocale>
#include <langinfo.h>

namespace quittung {

FormatSettings FormatSettings::german()
{
    FormatSettings settings;
    settings.decimalSeparator = QLatin1Char(',');
    settings.thousandSeparator = QLatin1Char('.');
    settings.shortDateFormat = QStringLiteral("dd.MM.yyyy");
    settings.shortMonthNames = {QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("Mär"),
        QStringLiteral("Apr"), QStringLiteral("Mai"), QStringLiteral("Jun"), QStringLiteral("Jul"),
        QStringLiteral("Aug"), QStringLiteral("Sep"), QStringLiteral("Okt"), QStringLiteral("Nov"),
        QStringLiteral("Dez")};
    settings.longMonthNames = {QStringLiteral("Januar"), QStringLiteral("Februar"), QStringLiteral("März"),
        QStringLiteral("April"), QStringLiteral("Mai"), QStringLiteral("Juni"), QStringLiteral("Juli"),
        QStringLiteral("August"), QStringLiteral("September"), QStringLiteral("Oktober"), QStringLiteral("November"),
        QStringLiteral("Dezember")};
    settings.shortDayNames = {QStringLiteral("Mo"), QStringLiteral("Di"), QStringLiteral("Mi"), QStringLiteral("Do"),
        QStringLiteral("Fr"), QStringLiteral("Sa"), QStringLiteral("So")};
    settings.longDayNames = {QStringLiteral("Montag"), QStringLiteral("Dienstag"), QStringLiteral("Mittwoch"),
        QStringLiteral("Donnerstag"), QStringLiteral("Freitag"), QStringLiteral("Samstag"), QStringLiteral("Sonntag")};
    settings.longDateFormat = longDateFormatFor(settings.shortDateFormat);
    return settings;
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

// Names the locale leaves empty keep the English ones.
template <std::size_t N>
void readNames(std::array<QString, N>& names, const nl_item (&items)[N])
{
    for (std::size_t i = 0; i < N; ++i) {
        const QString name = QString::fromLocal8Bit(nl_langinfo(items[i]));
        if (!name.isEmpty())
            names[i] = name;
    }
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
    settings.longDateFormat = longDateFormatFor(settings.shortDateFormat);
    static constexpr nl_item shortMonths[12] = {ABMON_1, ABMON_2, ABMON_3, ABMON_4, ABMON_5, ABMON_6, ABMON_7,
        ABMON_8, ABMON_9, ABMON_10, ABMON_11, ABMON_12};
    static constexpr nl_item longMonths[12] = {MON_1, MON_2, MON_3, MON_4, MON_5, MON_6, MON_7, MON_8, MON_9,
        MON_10, MON_11, MON_12};
    // The C library counts days from Sunday.
    static constexpr nl_item shortDays[7] = {ABDAY_2, ABDAY_3, ABDAY_4, ABDAY_5, ABDAY_6, ABDAY_7, ABDAY_1};
    static constexpr nl_item longDays[7] = {DAY_2, DAY_3, DAY_4, DAY_5, DAY_6, DAY_7, DAY_1};
    readNames(settings.shortMonthNames, shortMonths);
    readNames(settings.longMonthNames, longMonths);
    readNames(settings.shortDayNames, shortDays);
    readNames(settings.longDayNames, longDays);
    return settings;
}

QString FormatSettings::formatShortDate(const QDate& date) const
{
    return date.toString(shortDateFormat);
}

QString longDateFormatFor(const QString& shortDateFormat)
{
    const qsizetype day = shortDateFormat.indexOf(QLatin1Char('d'));
    const qsizetype month = shortDateFormat.indexOf(QLatin1Char('M'));
    if (day < 0 || month < 0 || month < day)
        return QStringLiteral("dddd, mmmm d, yyyy");
    if (shortDateFormat.contains(QLatin1Char('.')))
        return QStringLiteral("dddd, d. mmmm yyyy");
    return QStringLiteral("dddd d mmmm yyyy");
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
