// Date-time pictures and the reading of values as date-times.

#include "report/engine/formats/date_time_format.h"

#include "report/document/report_options.h"
#include "report/engine/formats/format_data.h"
#include "report/engine/formats/format_digits.h"
#include "runtime/decimal_scan.h"

#include <QStringList>

#include <algorithm>
#include <optional>
#include <vector>

namespace quittung::report {

namespace {

QString twoDigits(int value)
{
    return unsignedText(static_cast<quint64>(value), 2);
}

QString timeText(const QTime& time, bool seconds)
{
    QString text = twoDigits(time.hour()) + QLatin1Char(':') + twoDigits(time.minute());
    if (seconds)
        text += QLatin1Char(':') + twoDigits(time.second());
    return text;
}

bool isMidnight(const QTime& time)
{
    return time.msecsSinceStartOfDay() == 0;
}

QChar dateSeparator(const FormatSettings& regional)
{
    for (const QChar c : regional.shortDateFormat)
        if (!c.isLetter() && c != QLatin1Char('\''))
            return c;
    return QLatin1Char('/');
}

// Whether an "h" at `from` shows a 12-hour clock: an "am/pm", "a/p" or "ampm" follows before the
// next "h".
bool twelveHourClock(const QString& format, qsizetype from)
{
    QChar quote;
    for (qsizetype i = from; i < format.size(); ++i) {
        const QChar c = format[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char('h') || c == QLatin1Char('H')) {
            return false;
        } else if (c == QLatin1Char('a') || c == QLatin1Char('A')) {
            const QStringView rest = QStringView(format).mid(i);
            return rest.startsWith(u"am/pm", Qt::CaseInsensitive) || rest.startsWith(u"a/p", Qt::CaseInsensitive)
                || rest.startsWith(u"ampm", Qt::CaseInsensitive);
        }
    }
    return false;
}

std::optional<QDate> parseDate(const QString& text, const FormatSettings& regional)
{
    const QStringList parts = text.split(dateSeparator(regional));
    if (parts.size() != 3)
        return std::nullopt;
    // The order of day, month and year follows the short date format.
    struct Field {
        qsizetype position;
        char name;
    };
    std::vector<Field> fields{{regional.shortDateFormat.indexOf(QLatin1Char('d')), 'd'},
        {regional.shortDateFormat.indexOf(QLatin1Char('M')), 'M'}, {regional.shortDateFormat.indexOf(QLatin1Char('y')), 'y'}};
    if (std::any_of(fields.begin(), fields.end(), [](const Field& f) { return f.position < 0; }))
        fields = {{0, 'd'}, {1, 'M'}, {2, 'y'}};
    std::stable_sort(fields.begin(), fields.end(), [](const Field& a, const Field& b) { return a.position < b.position; });
    int day = 0;
    int month = 0;
    int year = 0;
    for (std::size_t k = 0; k < 3; ++k) {
        const QString& part = parts[static_cast<qsizetype>(k)];
        if (part.isEmpty() || part.size() > 4 || !std::all_of(part.begin(), part.end(), isDigit))
            return std::nullopt;
        const int number = part.toInt();
        switch (fields[k].name) {
        case 'd': day = number; break;
        case 'M': month = number; break;
        default:
            // Two-digit years: 00-49 in this century, 50-99 in the last.
            year = part.size() <= 2 ? number + (number < 50 ? 2000 : 1900) : number;
            break;
        }
    }
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QTime> parseTime(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() < 2 || parts.size() > 3)
        return std::nullopt;
    int fields[3] = {0, 0, 0};
    for (qsizetype k = 0; k < parts.size(); ++k) {
        const QString& part = parts[k];
        if (part.isEmpty() || part.size() > 2 || !std::all_of(part.begin(), part.end(), isDigit))
            return std::nullopt;
        fields[k] = part.toInt();
    }
    const QTime time(fields[0], fields[1], fields[2]);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

// A date in the regional short date format, a time "h:mm[:ss]", or both separated by blanks; a time
// alone falls on day zero.
std::optional<QDateTime> parseDateTime(const QString& text, const FormatSettings& regional)
{
    const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.size() > 2)
        return std::nullopt;
    QDate date(1899, 12, 30);
    QTime time(0, 0);
    qsizetype k = 0;
    if (!parts[0].contains(QLatin1Char(':'))) {
        const auto parsed = parseDate(parts[0], regional);
        if (!parsed)
            return std::nullopt;
        date = *parsed;
        ++k;
    }
    if (k < parts.size()) {
        const auto parsed = parseTime(parts[k]);
        if (!parsed)
            return std::nullopt;
        time = *parsed;
        ++k;
    }
    if (k != parts.size())
        return std::nullopt;
    return QDateTime(date, time);
}

} // namespace

QString dateTimeText(const QDateTime& dateTime, const FormatSettings& regional)
{
    QString text = regional.formatShortDate(dateTime.date());
    if (!isMidnight(dateTime.time()))
        text += QLatin1Char(' ') + timeText(dateTime.time(), true);
    return text;
}

QString formatDateTime(const QString& givenFormat, const QDateTime& dateTime, const FormatSettings& regional,
    bool nested)
{
    const QString format = givenFormat.isEmpty() ? QStringLiteral("c") : givenFormat;
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    const auto monthIndex = static_cast<std::size_t>(date.month() - 1);
    const auto dayIndex = static_cast<std::size_t>(date.dayOfWeek() - 1);
    QString out;
    QChar lastToken;
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            qsizetype close = format.indexOf(c, i + 1);
            if (close < 0)
                close = n;
            out += format.mid(i + 1, close - i - 1);
            i = close + 1;
            continue;
        }
        if (c == QLatin1Char('/')) {
            out += dateSeparator(regional);
            ++i;
            continue;
        }
        const QChar token = c.toUpper();
        if (token == QLatin1Char('A')) {
            const QStringView rest = QStringView(format).mid(i);
            const bool pm = time.hour() >= 12;
            if (rest.startsWith(u"am/pm", Qt::CaseInsensitive)) {
                out += rest.mid(pm ? 3 : 0, 2);
                i += 5;
            } else if (rest.startsWith(u"a/p", Qt::CaseInsensitive)) {
                out += rest[pm ? 2 : 0];
                i += 3;
            } else if (rest.startsWith(u"ampm", Qt::CaseInsensitive)) {
                out += pm ? QStringLiteral("PM") : QStringLiteral("AM");
                i += 4;
            } else {
                out += c;
                ++i;
            }
            continue;
        }
        qsizetype count = 1;
        while (i + count < n && format[i + count] == c)
            ++count;
        const auto digits = [](qsizetype runLength) { return runLength >= 2 ? 2 : 1; };
        switch (token.unicode()) {
        case 'Y':
            out += count <= 2 ? twoDigits(date.year() % 100) : signedText(date.year(), 4);
            break;
        case 'M':
            // "m" right after an hour means minutes: "hh:mm".
            if (count <= 2 && lastToken == QLatin1Char('H'))
                out += unsignedText(static_cast<quint64>(time.minute()), digits(count));
            else if (count <= 2)
                out += unsignedText(static_cast<quint64>(date.month()), digits(count));
            else if (count == 3)
                out += regional.shortMonthNames.at(monthIndex);
            else
                out += regional.longMonthNames.at(monthIndex);
            break;
        case 'D':
            if (count <= 2)
                out += unsignedText(static_cast<quint64>(date.day()), digits(count));
            else if (count == 3)
                out += regional.shortDayNames.at(dayIndex);
            else if (count == 4)
                out += regional.longDayNames.at(dayIndex);
            else if (count == 5 || nested)
                out += regional.formatShortDate(date);
            else
                out += formatDateTime(regional.longDateFormat, dateTime, regional, true);
            break;
        case 'H': {
            int hour = time.hour();
            if (twelveHourClock(format, i + count))
                hour = hour == 0 ? 12 : hour > 12 ? hour - 12 : hour;
            out += unsignedText(static_cast<quint64>(hour), digits(count));
            break;
        }
        case 'N':
            out += unsignedText(static_cast<quint64>(time.minute()), digits(count));
            break;
        case 'S':
            out += unsignedText(static_cast<quint64>(time.second()), digits(count));
            break;
        case 'Z':
            out += unsignedText(static_cast<quint64>(time.msec()), count >= 3 ? 3 : 1);
            break;
        case 'T':
            out += timeText(time, count >= 2);
            break;
        case 'C':
            out += dateTimeText(dateTime, regional);
            break;
        default:
            out += c;
            ++i;
            continue;
        }
        lastToken = token;
        i += count;
    }
    return out;
}

std::optional<QDateTime> variantToDateTime(const Variant& value, const FormatSettings& regional)
{
    switch (value.type()) {
    case Variant::Type::DateTime:
        if (value.dateTimeValue().date().isValid())
            return value.dateTimeValue();
        break;
    case Variant::Type::Integer:
    case Variant::Type::Float:
    case Variant::Type::Currency: {
        // 1 January 1 to 31 December 9999.
        const std::optional<double> days = variantToNumber(value, regional);
        if (days && *days >= -693593.0 && *days < 2958466.0)
            return daysToDateTime(*days);
        break;
    }
    case Variant::Type::String:
        return parseDateTime(value.stringValue(), regional);
    default:
        break;
    }
    return std::nullopt;
}

} // namespace quittung::report
