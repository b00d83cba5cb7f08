#include "app/cli/rows.h"

#include "app/template_check.h"

#include "app/cli/csv_table.h"
#include "app/cli/printing.h"
#include "app/program_folder.h"
#include "app/receipt/receipt_amounts.h"
#include "app/receipt_job.h"
#include "runtime/exception.h"
#include "runtime/messages.h"
#include "runtime/pending_file.h"
#include "settings/ini_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <tuple>

namespace quittung::app::cli {

namespace {

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7f;
}

// A field's text as a message shows it: control characters written out, so a message stays one line.
QString shownText(const QString& text)
{
    QString shown;
    for (const QChar c : text) {
        if (c == u'\n')
            shown += QStringLiteral("\\n");
        else if (c == u'\r')
            shown += QStringLiteral("\\r");
        else if (c == u'\t')
            shown += QStringLiteral("\\t");
        else if (isControl(c))
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

QString controlCharacterFault(const QString& name, const QString& text)
{
    for (const QChar c : text) {
        if (isControl(c))
            return QStringLiteral("%1: Das Steuerzeichen U+%2 ist hier nicht erlaubt ('%3').")
                .arg(fieldLabel(name), QStringLiteral("%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper(),
                    shownText(text));
    }
    return QString();
}

// An amount as a German receipt shows it: "1.234,56".
QString euroText(qint64 cents)
{
    const qint64 magnitude = cents < 0 ? -cents : cents;
    QString euros = QString::number(magnitude / 100);
    for (qsizetype at = euros.size() - 3; at > 0; at -= 3)
        euros.insert(at, u'.');
    return (cents < 0 ? QStringLiteral("-") : QString()) + euros + u',' + QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

QString fieldCount(qsizetype count)
{
    return count == 1 ? QStringLiteral("ein Feld") : QStringLiteral("%1 Felder").arg(count);
}

QString amountText(const QString& text)
{
    return germanAmount(text).value_or(QString());
}

} // namespace

const FormatSettings& outputFormatSettings()
{
    static const FormatSettings german = FormatSettings::german();
    return german;
}

QString fieldLabel(const QString& name)
{
    static const QMap<QString, QString> labels = {{QStringLiteral("nummer"), QStringLiteral("Nummer")},
        {QStringLiteral("ort"), QStringLiteral("Ort")}, {QStringLiteral("datum"), QStringLiteral("Datum")},
        {QStringLiteral("von"), QStringLiteral("Von")}, {QStringLiteral("fuer"), QStringLiteral("Für")},
        {QStringLiteral("netto"), QStringLiteral("Netto")}, {QStringLiteral("mwst"), QStringLiteral("MwSt.")},
        {QStringLiteral("brutto"), QStringLiteral("Brutto")}, {QStringLiteral("format"), QStringLiteral("Format")}};
    return labels.value(name, name);
}

std::optional<QString> germanAmount(const QString& text)
{
    // Sign, then the whole euros (grouped in threes by "." or not) and the cents after ",", or
    // digits with "." as the decimal point.
    static const QRegularExpression withComma(QStringLiteral("^([+-]?)([1-9][0-9]{0,2}(?:\\.[0-9]{3})+|[0-9]*),([0-9]*)$"));
    static const QRegularExpression grouped(QStringLiteral("^([+-]?)([1-9][0-9]{0,2}(?:\\.[0-9]{3})+)$"));
    static const QRegularExpression withPoint(QStringLiteral("^([+-]?)([0-9]*)(?:\\.([0-9]*))?$"));
    const QString trimmed = text.trimmed();
    for (const QRegularExpression* form : {&withComma, &grouped, &withPoint}) {
        const QRegularExpressionMatch match = form->match(trimmed);
        if (!match.hasMatch())
            continue;
        const QString whole = match.captured(2).remove(u'.');
        const QString cents = match.captured(3);
        if (whole.isEmpty() && cents.isEmpty())
            return std::nullopt;
        QString amount = match.captured(1) + (whole.isEmpty() ? QStringLiteral("0") : whole);
        if (!cents.isEmpty())
            amount += u',' + cents;
        return amount;
    }
    return std::nullopt;
}

std::optional<QDate> germanDate(const QString& text)
{
    static const QRegularExpression iso(QStringLiteral("^([0-9]{4})-([0-9]{2})-([0-9]{2})$"));
    static const QRegularExpression german(QStringLiteral("^([0-9]{1,2})\\.([0-9]{1,2})\\.([0-9]{4}|[0-9]{2})$"));
    const QString trimmed = text.trimmed();
    QDate date;
    if (const QRegularExpressionMatch match = iso.match(trimmed); match.hasMatch()) {
        date = QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    } else if (const QRegularExpressionMatch dotted = german.match(trimmed); dotted.hasMatch()) {
        int year = dotted.captured(3).toInt();
        if (dotted.capturedLength(3) == 2)
            year += year < 50 ? 2000 : 1900;
        date = QDate(year, dotted.captured(2).toInt(), dotted.captured(1).toInt());
    }
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString fieldFault(const QString& name, const QString& text)
{
    if (text.isEmpty())
        return QString();
    if (name == QLatin1String("nummer") || name == QLatin1String("ort") || name == QLatin1String("von"))
        return controlCharacterFault(name, text);
    if ((name == QLatin1String("netto") || name == QLatin1String("brutto")) && !germanAmount(text))
        return QStringLiteral("%1: '%2' ist kein gültiger Betrag.").arg(fieldLabel(name), shownText(text));
    if (name == QLatin1String("mwst") && !germanAmount(text))
        return QStringLiteral("%1: '%2' ist kein gültiger Prozentsatz.").arg(fieldLabel(name), shownText(text));
    if (name == QLatin1String("datum") && !text.trimmed().isEmpty() && !germanDate(text))
        return QStringLiteral("%1: '%2' ist kein gültiges Datum (2020-07-03, 03.07.2020 oder 03.07.20).")
            .arg(fieldLabel(name), shownText(text));
    if (name == QLatin1String("format") && !text.trimmed().isEmpty()) {
        try {
            outputFormatIndex(text);
        } catch (const Exception& error) {
            return error.message();
        }
    }
    return QString();
}

void checkOptions(const Options& options)
{
    for (auto field = options.fields.begin(); field != options.fields.end(); ++field) {
        if (const QString fault = fieldFault(field.key(), field.value()); !fault.isEmpty())
            throw UsageFault{fault};
    }
    if (!options.pdf.wanted && !options.jpeg.wanted && !options.print.wanted)
        throw UsageFault{QStringLiteral("Keine Ausgabe gewählt: --pdf, --jpg oder --drucken fehlt.")};
    if (options.csv.isEmpty())
        return;
    for (const auto& [output, option] : {std::pair{&options.pdf, "--pdf"}, std::pair{&options.jpeg, "--jpg"}}) {
        if (output->wanted && !output->target.isEmpty() && !isFolder(output->target))
            throw UsageFault{QStringLiteral("%1 %2: Mit --csv nennt %1 einen Ordner, einen, den es gibt, oder einen Namen "
                                            "mit \"/\" am Ende (%2/).")
                                 .arg(QString::fromLatin1(option), output->target)};
    }
}

Rows readRows(const Options& options)
{
    Rows rows;
    if (options.csv.isEmpty()) {
        rows.fields.emplace_back();
        rows.lines.push_back(0);
        rows.faults.emplace_back();
        return rows;
    }
    const bool fromStandardInput = options.csv == QLatin1String("-");
    const QString name = fromStandardInput ? QStringLiteral("Standardeingabe") : options.csv;
    QFile file;
    if (fromStandardInput) {
        file.open(stdin, QIODevice::ReadOnly);
    } else {
        const QString reason = unreadableFileReason(options.csv);
        file.setFileName(options.csv);
        if (!reason.isEmpty() || !file.open(QIODevice::ReadOnly))
            throw UsageFault{QStringLiteral("--csv %1: %2").arg(name, reason.isEmpty() ? QStringLiteral("Die Datei kann nicht gelesen werden.") : reason)};
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw UsageFault{QStringLiteral("--csv %1: Die Datei kann nicht gelesen werden.").arg(name)};
    const CsvTable table = readCsv(bytes);
    if (!table.headerError.isEmpty())
        throw UsageFault{QStringLiteral("%1, Kopfzeile: %2").arg(name, table.headerError)};

    QStringList unknown;
    for (qsizetype i = 0; i < table.header.size(); ++i) {
        const QString& column = table.header[i];
        if (!fieldNames().contains(column)) {
            unknown << QStringLiteral("\"%1\"").arg(column);
            continue;
        }
        if (table.header.indexOf(column) != i)
            throw UsageFault{QStringLiteral("%1: Die Spalte \"%2\" steht zweimal in der Kopfzeile.").arg(name, column)};
    }
    if (!unknown.isEmpty()) {
        rows.warnings << QStringLiteral("%1: %2 %3 unbekannt und %4 übergangen; bekannt sind %5.")
                             .arg(name, QStringLiteral("Die Spalte%1").arg(unknown.size() > 1 ? QStringLiteral("n") : QString()),
                                 unknown.join(QStringLiteral(", ")) + (unknown.size() > 1 ? QStringLiteral(" sind") : QStringLiteral(" ist")),
                                 unknown.size() > 1 ? QStringLiteral("werden") : QStringLiteral("wird"),
                                 fieldNames().join(QStringLiteral(", ")));
    }
    for (const CsvRecord& record : table.records) {
        QMap<QString, QString> row;
        QString fault = record.error;
        if (!fault.isEmpty() && record.field >= 0)
            fault = (record.field < table.header.size() ? QStringLiteral("Spalte \"%1\": ").arg(table.header[record.field])
                                                        : QStringLiteral("Feld %1: ").arg(record.field + 1))
                + fault;
        else if (fault.isEmpty() && record.fields.size() != table.header.size())
            fault = QStringLiteral("Die Zeile hat %1, die Kopfzeile %2; sie wird nicht erstellt.")
                        .arg(fieldCount(record.fields.size()), fieldCount(table.header.size()));
        if (fault.isEmpty()) {
            for (qsizetype i = 0; i < table.header.size(); ++i) {
                if (fieldNames().contains(table.header[i]))
                    row[table.header[i]] = record.fields[i];
            }
        }
        rows.fields.push_back(row);
        rows.lines.push_back(record.line);
        rows.faults.push_back(fault);
    }
    if (rows.fields.empty())
        rows.warnings << (table.header.isEmpty() ? QStringLiteral("%1: Die Datei ist leer; es gibt keine Quittungen zu erstellen.").arg(name)
                                                 : QStringLiteral("%1: Die Datei hat nur die Kopfzeile; es gibt keine Quittungen zu erstellen.").arg(name));
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

Receipt rowReceipt(const QMap<QString, QString>& row, const Options& options, settings::IniSettings& settings)
{
    const auto field = [&](const char* name) { return rowField(row, options, name); };
    for (const QString& name : fieldNames()) {
        const QString fault = fieldFault(name, field(name.toLatin1().constData()));
        if (!fault.isEmpty())
            throw Exception(fault);
    }
    const FormatSettings& format = outputFormatSettings();
    ReceiptFormState form;
    form.number = field("nummer").trimmed();
    form.place = field("ort");
    if (form.place.isEmpty()) {
        form.place = settings.readString(settings_keys::place, QStringLiteral("Berlin"));
        if (const QString fault = controlCharacterFault(QStringLiteral("ort"), form.place); !fault.isEmpty())
            throw Exception(fault);
    }
    const QString date = field("datum");
    form.date = date.trimmed().isEmpty() ? QDate::currentDate() : *germanDate(date);
    form.payer = field("von");
    form.purpose = field("fuer");
    form.purpose.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    form.purpose.replace(u'\n', QLatin1String("\r\n"));
    form.net = amountText(field("netto"));
    form.gross = amountText(field("brutto"));
    if (form.net.isEmpty() && form.gross.isEmpty())
        throw Exception(QStringLiteral("Netto und Brutto fehlen: Eine Quittung braucht mindestens einen der beiden Beträge."));
    form.vatRate = amountText(field("mwst"));
    if (field("mwst").isEmpty()) {
        // The window writes the rate in its user's format, which may have been English.
        const QString stored = settings.readString(settings_keys::vatRate, QStringLiteral("19"));
        form.vatRate = stored.trimmed().isEmpty() ? QStringLiteral("0") : amountText(stored);
        if (form.vatRate.isEmpty())
            throw Exception(QStringLiteral("MwSt.: Der in Settings.ini gespeicherte Satz '%1' ist keine Zahl.").arg(shownText(stored)));
    }
    if (!form.net.isEmpty() && !form.gross.isEmpty()) {
        // Both given: they must fit the rate to the cent, one way or the other.
        const CompletedAmounts fromNet = computeAmounts(form.net, QStringLiteral("0"), form.vatRate, format);
        const CompletedAmounts fromGross = computeAmounts(QStringLiteral("0"), form.gross, form.vatRate, format);
        if (fromNet.grossCents != fromGross.grossCents && fromNet.netCents != fromGross.netCents)
            throw Exception(QStringLiteral("Netto %1, MwSt. %2 % und Brutto %3 passen nicht zusammen: %1 und %2 % MwSt. "
                                           "ergeben brutto %4.")
                                .arg(euroText(fromNet.netCents), form.vatRate, euroText(fromGross.grossCents),
                                    euroText(fromNet.grossCents)));
    }
    fillEmptyAmounts(form);
    form.outputFormat = rowOutputFormat(row, options, settings);
    Receipt receipt = receiptFromForm(form, format);
    receipt.templateFile = options.templateFile;
    return receipt;
}

QString fileNameFault(const Receipt& receipt)
{
    for (const auto& [name, part] : {std::pair{"nummer", &receipt.number}, std::pair{"von", &receipt.payer}}) {
        if (const QString unsafe = unsafeNameReason(*part); !unsafe.isEmpty())
            return QStringLiteral("%1: '%2' kann nicht im Dateinamen stehen. %3").arg(fieldLabel(QString::fromLatin1(name)), *part, unsafe);
    }
    return QString();
}

QStringList runFaults(const Options& options, const Rows& rows, const QString& programFolder, bool batch)
{
    QStringList faults;
    const auto folderFault = [](const QString& option, const QString& folder) -> QString {
        if (!QDir().mkpath(folder))
            return QStringLiteral("%1: Der Ordner \"%2\" kann nicht angelegt werden.").arg(option, folder);
        if (!canWriteIn(folder))
            return QStringLiteral("%1: In den Ordner \"%2\" kann nicht geschrieben werden.").arg(option, folder);
        return QString();
    };
    bool programFolderNeeded = std::any_of(rows.fields.begin(), rows.fields.end(),
        [&](const auto& row) { return rowField(row, options, "nummer").trimmed().isEmpty(); });
    for (const auto& [output, option, folder] : {std::tuple{&options.pdf, "--pdf", "PDF"}, std::tuple{&options.jpeg, "--jpg", "JPG"}}) {
        if (!output->wanted)
            continue;
        const QString name = QString::fromLatin1(option);
        QString fault;
        if (output->target.isEmpty()) {
            programFolderNeeded = true;
            if (canWriteIn(programFolder))
                fault = folderFault(name, programFolder + QString::fromLatin1(folder));
        } else if (batch || isFolder(output->target)) {
            fault = folderFault(name, output->target);
        } else if (const QString parent = QFileInfo(output->target).absolutePath(); !QFileInfo(parent).isDir()) {
            fault = QStringLiteral("%1 %2: Den Ordner \"%3\" gibt es nicht.").arg(name, output->target, parent);
        } else if (!canWriteIn(parent)) {
            fault = QStringLiteral("%1 %2: In den Ordner \"%3\" kann nicht geschrieben werden.").arg(name, output->target, parent);
        } else if (const QString notAFile = notAFileReason(output->target); !notAFile.isEmpty() && output == &options.pdf) {
            fault = formatMessage(msg::SFCreateErrorEx, {output->target, notAFile});
        }
        if (!fault.isEmpty())
            faults << fault;
    }
    if (programFolderNeeded && !canWriteIn(programFolder))
        faults.prepend(programFolderReadOnlyMessage(programFolder)
            + QStringLiteral("\n\nDie Kommandozeile steht dann als ~/Quittung/quittung-cli bereit."));
    if (options.print.wanted) {
        if (const QString fault = printerFault(options.print.target); !fault.isEmpty())
            faults << fault;
    }
    return faults;
}

bool isFolder(const QString& target)
{
    return target.endsWith(u'/') || QFileInfo(target).isDir();
}

QString outputFile(const OutputTarget& output, bool batch, const QString& programFolder, const QString& kind,
    const Receipt& receipt)
{
    const FormatSettings& format = outputFormatSettings();
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
