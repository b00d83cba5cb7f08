#pragma once

#include <QChar>
#include <QDate>
#include <QString>

namespace quittung {

// The user's number and date settings. They are read once at start from the process locale and
// passed to whatever formats or parses amounts and dates, so tests can use German settings on any
// machine.
struct FormatSettings {
    QChar decimalSeparator = QLatin1Char('.');
    QChar thousandSeparator = QLatin1Char(',');
    QString shortDateFormat = QStringLiteral("MM/dd/yy"); // a QDate format string

    // German settings: 84,03 and 03.07.2020.
    static FormatSettings german();
    // The settings of the process locale (LC_NUMERIC and LC_TIME after setlocale(LC_ALL, "")).
    static FormatSettings fromProcessLocale();

    QString formatShortDate(const QDate& date) const;
};

// Turns a strftime date pattern (as nl_langinfo(D_FMT) gives it) into a QDate format string.
QString dateFormatFromStrftime(const QString& pattern);

} // namespace quittung
