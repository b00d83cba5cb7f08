// quittung-cli: receipts without a window, one from options or one per row of a CSV file.

#include "app/cli/csv_table.h"
#include "app/receipt_job.h"
#include "report/document/builtin_design.h"
#include "report/document/engine_messages.h"
#include "report/document/report.h"
#include "report/document/report_options.h"
#include "report/engine/report_preparer.h"
#include "report/export/image/image_export.h"
#include "report/export/pdf/pdf_export.h"
#include "report/preview/report_printer.h"
#include "runtime/exception.h"
#include "runtime/number_format.h"
#include "settings/ini_settings.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMap>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <unistd.h>

using namespace quittung;
using namespace quittung::app;

namespace {

enum ExitStatus { AllMade = 0, SomeFailed = 1, UsageError = 2 };

const char* const kHelp = R"(Aufruf: quittung-cli [OPTIONEN]
Erstellt Quittungen ohne Fenster, mit den Vorlagen und der Quittungsnummer des Programmordners.

Felder der Quittung (wie im Fenster):
  --nummer N        Quittungsnummer; ohne sie die nächste des Zählers (QID in Settings.ini)
  --ort ORT         Ort; ohne ihn der zuletzt gespeicherte (sonst Berlin)
  --datum DATUM     2020-07-03 oder im kurzen Datumsformat des Benutzers; ohne es heute
  --von NAME        von wem der Betrag erhalten wurde
  --fuer TEXT       wofür; Zeilenumbrüche sind erlaubt
  --netto BETRAG    Nettobetrag
  --mwst SATZ       MwSt.-Satz in Prozent; ohne ihn der gespeicherte (sonst 19)
  --brutto BETRAG   Bruttobetrag; der fehlende Betrag wird berechnet
                    Beträge im Zahlenformat des Benutzers oder mit "." als Dezimaltrennzeichen
Ausgabe:
  --format F        "A5 - Eine Seite", "A5 - Zwei Seiten", "A4 - Eine Seite", "A4 - Zwei Seiten"
                    oder kurz a5, a5-2, a4, a4-2
  --vorlage DATEI   diese Vorlage statt der des Formats
  --pdf [DATEI|ORDNER]  PDF-Datei schreiben (sonst im Ordner PDF/ des Programmordners)
  --jpg [DATEI|ORDNER]  JPEG-Datei schreiben (sonst im Ordner JPG/ des Programmordners)
  --drucken [DRUCKER]   ohne Dialog drucken, auf dem Standarddrucker oder dem genannten
Stapel:
  --csv DATEI       eine Quittung je Zeile; die Kopfzeile nennt die Spalten mit den Namen der
                    Felder oben ohne "--" (nummer;ort;datum;von;fuer;netto;mwst;brutto;format).
                    Trennzeichen ";" oder ","; UTF-8 oder Windows-1252. Optionen gelten für
                    Spalten, die die Datei nicht hat. Quittungsnummern werden vorab in der
                    Reihenfolge der Zeilen vergeben.
  --help            diese Hilfe

Jede geschriebene Datei steht in einer Zeile der Standardausgabe; Fehler stehen mit ihrer
Zeilennummer auf der Standardfehlerausgabe.

Beispiel:
  quittung-cli --von "Muster GmbH" --fuer "Beratung" --brutto 119,00 --format a4-2 --pdf
  quittung-cli --csv quittungen.csv --pdf /tmp/quittungen/ --jpg

Rückgabewerte:
  0  alle Quittungen erstellt
  1  eine oder mehrere Quittungen nicht erstellt (Fehler auf der Standardfehlerausgabe)
  2  falscher Aufruf
)";

const QStringList kFieldNames = {QStringLiteral("nummer"), QStringLiteral("ort"), QStringLiteral("datum"),
    QStringLiteral("von"), QStringLiteral("fuer"), QStringLiteral("netto"), QStringLiteral("mwst"),
    QStringLiteral("brutto"), QStringLiteral("format")};

// An output the user asked for, and where it goes: empty for the program folder's.
struct OutputTarget {
    bool wanted = false;
    QString target;
};

struct Options {
    QMap<QString, QString> fields;
    OutputTarget pdf;
    OutputTarget jpeg;
    OutputTarget print;
    QString templateFile;
    QString csv;
    bool help = false;
};

struct UsageFault {
    QString message;
};

Options parseOptions(const QStringList& arguments)
{
    Options options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString name = arguments[i];
        std::optional<QString> value;
        if (!name.startsWith(QLatin1String("--")))
            throw UsageFault{QStringLiteral("Unerwartetes Argument: %1").arg(name)};
        name = name.mid(2);
        if (const qsizetype equals = name.indexOf(u'='); equals >= 0) {
            value = name.mid(equals + 1);
            name.truncate(equals);
        }
        const bool optionalValue = name == QLatin1String("pdf") || name == QLatin1String("jpg")
            || name == QLatin1String("drucken");
        const bool needsValue
            = kFieldNames.contains(name) || name == QLatin1String("vorlage") || name == QLatin1String("csv");
        if (name == QLatin1String("help")) {
            options.help = true;
            continue;
        }
        if (!optionalValue && !needsValue)
            throw UsageFault{QStringLiteral("Unbekannte Option: --%1").arg(name)};
        if (!value && i + 1 < arguments.size() && (needsValue || !arguments[i + 1].startsWith(QLatin1String("--"))))
            value = arguments[++i];
        if (needsValue && !value)
            throw UsageFault{QStringLiteral("Die Option --%1 braucht einen Wert.").arg(name)};
        if (name == QLatin1String("pdf"))
            options.pdf = {true, value.value_or(QString())};
        else if (name == QLatin1String("jpg"))
            options.jpeg = {true, value.value_or(QString())};
        else if (name == QLatin1String("drucken"))
            options.print = {true, value.value_or(QString())};
        else if (name == QLatin1String("vorlage"))
            options.templateFile = *value;
        else if (name == QLatin1String("csv"))
            options.csv = *value;
        else
            options.fields[name] = *value;
    }
    return options;
}

// The output format's item from its name in the window, its short name or its index.
int outputFormatIndex(const QString& text)
{
    const QString names[][2] = {{QStringLiteral("A5 - Eine Seite"), QStringLiteral("a5")},
        {QStringLiteral("A5 - Zwei Seiten"), QStringLiteral("a5-2")},
        {QStringLiteral("A4 - Eine Seite"), QStringLiteral("a4")},
        {QStringLiteral("A4 - Zwei Seiten"), QStringLiteral("a4-2")}};
    const QString wanted = text.trimmed();
    for (int i = 0; i < int(std::size(names)); ++i) {
        if (wanted.compare(names[i][0], Qt::CaseInsensitive) == 0 || wanted.compare(names[i][1], Qt::CaseInsensitive) == 0
            || wanted == QString::number(i))
            return i;
    }
    throw Exception(QStringLiteral("Unbekanntes Ausgabeformat: %1").arg(text));
}

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

bool isFolder(const QString& target)
{
    return target.endsWith(u'/') || QFileInfo(target).isDir();
}

// Where a receipt of one kind goes: the window's name in the program folder, that name in a chosen
// folder (always in a batch), or the chosen file.
QString outputFile(const OutputTarget& output, bool batch, const QString& programFolder, const QString& kind,
    const ReceiptFormState& state, const FormatSettings& format)
{
    if (output.target.isEmpty())
        return receiptFileName(programFolder, kind, state, format);
    if (batch || isFolder(output.target)) {
        // The window's name as it stands: a "/" in it must still be refused, not cut off.
        const QString name = receiptFileName(QString(), kind, state, format).mid(kind.size() + 1);
        return QDir(output.target).filePath(name);
    }
    return output.target;
}

// Draws "[#####     ] 3/10" over itself on standard error.
void showProgress(int done, int total)
{
    constexpr int width = 30;
    const int filled = total ? done * width / total : width;
    std::fprintf(stderr, "\r[%s%s] %d/%d", QByteArray(filled, '#').constData(),
        QByteArray(width - filled, ' ').constData(), done, total);
    if (done == total)
        std::fputc('\n', stderr);
    std::fflush(stderr);
}

class ReceiptMaker {
public:
    ReceiptMaker(const Options& options, const QString& programFolder, bool batch)
        : m_options(options), m_programFolder(programFolder), m_batch(batch)
        , m_format(FormatSettings::fromProcessLocale())
    {
        configureReceiptSettings(m_settings, programFolder);
        // Every write goes through the lock; writing the whole store again at the end would put
        // back a counter another run has advanced meanwhile.
        m_settings.setFlushOnDestroy(false);
        m_report.setLocaleSettings(m_format);
        report::applyBuiltinDesign(m_report);
        // A receipt's errors end that receipt and are reported with its row.
        m_report.engineOptions().setNewSilentMode(report::SilentMode::Rethrow);
        m_pdf.setShowDialog(false);
        m_pdf.setEmbeddedFonts(true);
        m_pdf.setAuthor(QStringLiteral("Varnel Quittungsprogramm"));
        m_pdf.setSubject(QStringLiteral("Varnel Quittungsprogramm PDF-Export"));
        m_pdf.setCreator(QStringLiteral("Varnel IT-Service"));
        m_jpeg.setShowDialog(false);
        for (const OutputTarget* output : {&options.pdf, &options.jpeg}) {
            if (output->wanted && !output->target.isEmpty() && (batch || isFolder(output->target)))
                QDir().mkpath(output->target);
        }
        for (const char* folder : {"PDF", "JPG"})
            QDir(programFolder).mkpath(QString::fromLatin1(folder));
    }

    settings::IniSettings& settings() { return m_settings; }

    // The fields of a receipt from a row's values, the options standing in for missing columns.
    ReceiptFormState state(const QMap<QString, QString>& row, int number)
    {
        const auto field = [&](const char* name) {
            const QString key = QString::fromLatin1(name);
            return row.contains(key) ? row[key] : m_options.fields.value(key);
        };
        ReceiptFormState state;
        state.number = field("nummer").trimmed();
        if (state.number.isEmpty())
            state.number = QString::number(number);
        state.place = field("ort");
        if (state.place.isEmpty())
            state.place = m_settings.readString(QStringLiteral("Ort"), QStringLiteral("Berlin"));
        state.date = parseDate(field("datum"), m_format, QDate::currentDate());
        state.payer = field("von");
        state.purpose = field("fuer");
        state.purpose.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        state.purpose.replace(u'\n', QLatin1String("\r\n"));
        state.net = userAmount(field("netto"), m_format);
        state.gross = userAmount(field("brutto"), m_format);
        state.vatRate = userAmount(field("mwst"), m_format);
        if (state.vatRate.isEmpty()) {
            const QString rate = m_settings.readString(QStringLiteral("MwSt"), QStringLiteral("19"));
            state.vatRate = floatToString(rate.isEmpty() ? 0.0 : stringToFloat(rate, m_format), m_format);
        }
        return state;
    }

    int outputFormat(const QMap<QString, QString>& row)
    {
        const QString name = row.value(QStringLiteral("format"), m_options.fields.value(QStringLiteral("format")));
        if (name.trimmed().isEmpty())
            return m_settings.readInteger(QStringLiteral("AusgabeFormat"), 0);
        return outputFormatIndex(name);
    }

    // Makes one receipt; the files written are added to written.
    void make(ReceiptFormState& state, int outputFormat, QStringList& written)
    {
        ReceiptOutput output;
        output.storeChoices = false;
        output.completeFilesOnly = true;
        output.fileName = [this](const QString& kind, const ReceiptFormState& receipt) {
            return outputFile(kind == QLatin1String("PDF") ? m_options.pdf : m_options.jpeg, m_batch, m_programFolder,
                kind, receipt, m_format);
        };
        output.written = [&written](const QString& file) { written << file; };
        if (m_options.print.wanted) {
            const QString printer = m_options.print.target;
            output.print = [printer](report::ReportPreparer& preparer) {
                if (!printer.isEmpty())
                    preparer.report().printOptions().setPrinter(printer);
                if (!report::printReport(preparer))
                    throw Exception(QStringLiteral("Die Quittung konnte nicht gedruckt werden: kein Drucker."));
                return true;
            };
        }
        const ReceiptChoices choices{
            m_options.pdf.wanted, m_options.jpeg.wanted, false, true, outputFormat, m_options.templateFile};
        ReceiptTools tools{m_report, m_preparer, m_pdf, m_jpeg, m_settings, m_programFolder, m_format, output, {}};
        makeReceipt(tools, state, choices);
    }

private:
    const Options& m_options;
    QString m_programFolder;
    bool m_batch;
    FormatSettings m_format;
    settings::IniSettings m_settings;
    report::Report m_report;
    report::ReportPreparer m_preparer{m_report};
    report::PdfExport m_pdf;
    report::JpegExport m_jpeg;
};

void printLine(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

// An error as one line: the engine's list of errors loses its heading, its lines are joined.
QString errorText(const std::exception& error)
{
    QStringList lines = messageForDisplay(exceptionMessage(error)).split(QRegularExpression(QStringLiteral("[\\r\\n]+")), Qt::SkipEmptyParts);
    if (lines.size() > 1 && lines.first() == report::engineMessage(QStringLiteral("dsErrors")))
        lines.removeFirst();
    return lines.join(u' ');
}

int run(const Options& options, const QString& programFolder)
{
    const bool batch = !options.csv.isEmpty();
    std::vector<QMap<QString, QString>> rows;
    std::vector<int> lines;
    if (batch) {
        QFile file(options.csv);
        if (!file.open(QIODevice::ReadOnly)) {
            printLine(stderr, QStringLiteral("%1: %2").arg(options.csv, file.errorString()));
            return UsageError;
        }
        const CsvTable table = readCsv(file.readAll());
        for (const QString& column : table.header) {
            if (!kFieldNames.contains(column)) {
                printLine(stderr, QStringLiteral("%1: unbekannte Spalte \"%2\"").arg(options.csv, column));
                return UsageError;
            }
        }
        for (const CsvRecord& record : table.records) {
            QMap<QString, QString> row;
            for (qsizetype i = 0; i < table.header.size() && i < record.fields.size(); ++i)
                row[table.header[i]] = record.fields[i];
            rows.push_back(row);
            lines.push_back(record.line);
        }
    } else {
        rows.emplace_back();
        lines.push_back(0);
    }

    ReceiptMaker maker(options, programFolder, batch);
    // Rows without a number get theirs from the shared counter, in row order, before any is made.
    const auto numbered = [&](const QMap<QString, QString>& row) {
        return !row.value(QStringLiteral("nummer"), options.fields.value(QStringLiteral("nummer"))).trimmed().isEmpty();
    };
    const int needed = int(std::count_if(rows.begin(), rows.end(), [&](const auto& row) { return !numbered(row); }));
    int next = 0;
    try {
        if (needed > 0)
            next = reserveNumbers(maker.settings(), needed);
    } catch (const std::exception& error) {
        printLine(stderr, errorText(error));
        return SomeFailed;
    }

    const bool progress = batch && isatty(STDERR_FILENO);
    int failed = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int number = numbered(rows[i]) ? 0 : next++;
        QStringList written;
        try {
            ReceiptFormState state = maker.state(rows[i], number);
            maker.make(state, maker.outputFormat(rows[i]), written);
        } catch (const std::exception& error) {
            ++failed;
            if (progress)
                std::fputc('\n', stderr);
            printLine(stderr, batch ? QStringLiteral("Zeile %1: %2").arg(lines[i]).arg(errorText(error)) : errorText(error));
        }
        for (const QString& file : written)
            printLine(stdout, file);
        if (progress)
            showProgress(int(i + 1), int(rows.size()));
    }
    return failed ? SomeFailed : AllMade;
}

} // namespace

int main(int argc, char* argv[])
{
    // Receipts are drawn without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    Options options;
    try {
        options = parseOptions(arguments);
    } catch (const UsageFault& fault) {
        printLine(stderr, fault.message + QStringLiteral("\n\"quittung-cli --help\" zeigt die Optionen."));
        return UsageError;
    }
    if (options.help) {
        std::fputs(kHelp, stdout);
        return AllMade;
    }
    // Printing needs the widgets' print support; everything else the plain GUI application.
    std::unique_ptr<QGuiApplication> application = options.print.wanted
        ? std::make_unique<QApplication>(argc, argv)
        : std::make_unique<QGuiApplication>(argc, argv);
    QString programFolder = QCoreApplication::applicationDirPath();
    if (!programFolder.endsWith(u'/'))
        programFolder += u'/';
    return run(options, programFolder);
}
