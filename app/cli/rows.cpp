#include "app/cli/rows.h"

#include "app/cli/csv_table.h"
#include "app/receipt_job.h"
#include "runtime/exception.h"
#include "settings/ini_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quittung::app::cli {

namespace {

QDate parseDate(const QString& text, const FormatSettings& format, const QDate& today)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return today;
    QDate date = QDate::fromString(trimmed, Qt::ISODate);
    if (!date.isValid())
        date = QDate::fromString(trimmed, format.shortDateFormat);
    // A two-digit year in the short format means this century.
    if (date.isValid() && date.year() < 1950 && !format.shortDateFormat.contains(QLatin1String("yyyy")))
        date = date.addYears(100);
    if (!date.isValid())
        throw Exception(QStringLiteral("'%1' ist kein gültiges Datum").arg(text));
    return date;
}

// An amount in the user's format as it stands; one written with "." as the decimal point (one dot,
// no comma, not three digits after it, which would read as thousands) gets the user's separator.
QString userAmount(const QString& text, const FormatSettings& format)
{
    const QString trimmed = text.trimmed();
    if (format.decimalSeparator == u'.' || trimmed.count(u'.') != 1 || trimmed.contains(u','))
        return trimmed;
    const qsizetype digitsAfter = trimmed.size() - trimmed.indexOf(u'.') - 1;
    if (digitsAfter == 3)
        return trimmed;
    QString converted = trimmed;
    converted.replace(u'.', format.decimalSeparator);
    return converted;
}

} // namespace

std::optional<Rows> readRows(const Options& options, QString& error)
{
    Rows rows;
    if (options.csv.isEmpty()) {
        rows.fields.emplace_back();
        rows.lines.push_back(0);
        return rows;
    }
    QFile file(options.csv);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: %2").arg(options.csv, file.errorString());
        return std::nullopt;
    }
    const CsvTable table = readCsv(file.readAll());
    for (const QString& column : table.header) {
        if (!fieldNames().contains(column)) {
            error = QStringLiteral("%1: unbekannte Spalte \"%2\"").arg(options.csv, column);
            return std::nullopt;
        }
    }
    for (const CsvRecord& record : table.records) {
        QMap<QString, QString> row;
        for (qsizetype i = 0; i < table.header.size() && i < record.fields.size(); ++i)
            row[table.header[i]] = record.fields[i];
        rows.fields.push_back(row);
        rows.lines.push_back(record.line);
    }
    return rows;
}

QString rowField(const QMap<QString, QString>& row, const Options& options, const char* name)
{
    const QString key = QString::fromLatin1(name);
    return row.contains(key) ? row[key] : options.fields.value(key);
}

int rowOutputFormat(const QMap<QString, QString>& row, const Options& options, settings::IniSettings& settings)
{
    const QString name = rowField(row, options, "format");
    if (name.trimmed().isEmpty())
        return settings.readInteger(settings_keys::outputFormat, 0);
    return outputFormatIndex(name);
}

Receipt rowReceipt(const QMap<QString, QString>& row, const Options& options, int number,
    settings::IniSettings& settings, const FormatSettings& format)
{
    const auto field = [&](const char* name) { return rowField(row, options, name); };
    ReceiptFormState form;
    form.number = field("nummer").trimmed();
    if (form.number.isEmpty())
        form.number = QString::number(number);
    form.place = field("ort");
    if (form.place.isEmpty())
        form.place = settings.readString(settings_keys::place, QStringLiteral("Berlin"));
    form.date = parseDate(field("datum"), format, QDate::currentDate());
    form.payer = field("von");
    form.purpose = field("fuer");
    form.purpose.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    form.purpose.replace(u'\n', QLatin1String("\r\n"));
    form.net = userAmount(field("netto"), format);
    form.gross = userAmount(field("brutto"), format);
    form.vatRate = userAmount(field("mwst"), format);
    if (form.vatRate.isEmpty())
        form.vatRate = storedVatRate(settings, format);
    fillEmptyAmounts(form);
    form.outputFormat = rowOutputFormat(row, options, settings);
    Receipt receipt = receiptFromForm(form, format);
    receipt.templateFile = options.templateFile;
    return receipt;
}

bool isFolder(const QString& target)
{
    return target.endsWith(u'/') || QFileInfo(target).isDir();
}

QString outputFile(const OutputTarget& output, bool batch, const QString& programFolder, const QString& kind,
    const Receipt& receipt, const FormatSettings& format)
{
    if (output.target.isEmpty())
        return receiptFileName(programFolder, kind, receipt, format);
    if (batch || isFolder(output.target)) {
        // The window's name as it stands: a "/" in it must still be refused, not cut off.
        const QString name = receiptFileName(QString(), kind, receipt, format).mid(kind.size() + 1);
        return QDir(output.target).filePath(name);
    }
    return output.target;
}

} // namespace quittung::app::cli
