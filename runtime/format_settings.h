#pragma once

#include <QChar>
#include <QDate>
#include <QString>

#include <array>

namespace quittung {

// The user's number and date settings. They are read once at start from the process locale and
// passed to whatever formats or parses amounts and dates, so tests can use German settings on any
// machine. Default-constructed they are English.
struct FormatSettings {
    QChar decimalSeparator = QLatin1Char('.');
    QChar thousandSeparator = QLatin1Char(',');
    QString shortDateFormat = QStringLiteral("MM/dd/yy"); // a QDate format string
    // Names of the months from January, of the days from Monday (as QDate::dayOfWeek counts).
    std::array<QString, 12> shortMonthNames{QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("Mar"),
        QStringLiteral("Apr"), QStringLiteral("May"), QStringLiteral("Jun"), QStringLiteral("Jul"),
        QStringLiteral("Aug"), QStringLiteral("Sep"), QStringLiteral("Oct"), QStringLiteral("Nov"),
        QStringLiteral("Dec")};
    std::array<QString, 12> longMonthNames{QStringLiteral("January"), QStringLiteral("February"),
        QStringLiteral("March"), QStringLiteral("April"), QStringLiteral("May"), QStringLiteral("June"),
        QStringLiteral("July"), QStringLiteral("August"), QStringLiteral("September"), QStringLiteral("October"),
        QStringLiteral("November"), QStringLiteral("December")};
    std::array<QString, 7> shortDayNames{QStringLiteral("Mon"), QStringLiteral("Tue"), QStringLiteral("Wed"),
        QStringLiteral("Thu"), QStringLiteral("Fri"), QStringLiteral("Sat"), QStringLiteral("Sun")};
    std::array<QString, 7> longDayNames{QStringLiteral("Monday"), QStringLiteral("Tuesday"),
        QStringLiteral("Wednesday"), QStringLiteral("Thursday"), QStringLiteral("Friday"), QStringLiteral("Saturday"),
        QStringLiteral("Sunday")};
    // The long date as a date-time picture of text formats ("dddd, d. mmmm yyyy").
    QString longDateFormat = QStringLiteral("dddd, mmmm d, yyyy");

    // German settings: 84,03, 03.07.2020 and "Freitag, 3. Juli 2020".
    static FormatSettings german();
    // The settings of the process locale (LC_NUMERIC and LC_TIME after setlocale(LC_ALL, "")). The C
    // library knows no long date, so it follows the short date's order of day and month.
    static FormatSettings fromProcessLocale();

    QString formatShortDate(const QDate& date) const;

    bool operator==(const FormatSettings&) const = default;
};

// Turns a strftime date pattern (as nl_langinfo(D_FMT) gives it) into a QDate format string.
QString dateFormatFromStrftime(const QString& pattern);

// A long date picture that fits a short QDate format: the day first ("dddd, d. mmmm yyyy" after
// "dd.MM.yyyy", "dddd d mmmm yyyy" after "dd/MM/yyyy") or the month first ("dddd, mmmm d, yyyy").
QString longDateFormatFor(const QString& shortDateFormat);

} // namespace quittung
