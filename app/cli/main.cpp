// quittung-cli: receipts without a window, one from options or one per row of a CSV file.

#include "app/cli/csv_table.h"
#include "app/cli/printing.h"
#include "app/receipt_job.h"
#include "report/document/builtin_design.h"
#include "report/document/engine_host.h"
#include "report/document/engine_messages.h"
#include "report/document/line_object.h"
#include "report/document/other_objects.h"
#include "report/document/report.h"
#include "report/document/report_options.h"
#include "report/document/shape_object.h"
#include "report/document/text_object.h"
#include "report/engine/report_preparer.h"
#include "report/export/image/image_export.h"
#include "report/export/pdf/pdf_export.h"
#include "runtime/exception.h"
#include "runtime/messages.h"
#include "runtime/number_format.h"
#include "runtime/pending_file.h"
#include "settings/ini_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMap>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <sys/resource.h>
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
  --jobs N          so viele Quittungen gleichzeitig erstellen (ohne die Option: eine je
                    Prozessorkern; beim Drucken immer eine nach der anderen)
  --help            diese Hilfe

Jede geschriebene Datei steht in einer Zeile der Standardausgabe, in der Reihenfolge der Zeilen;
Fehler stehen mit ihrer Zeilennummer auf der Standardfehlerausgabe.

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
    // Receipts made at once; 0 for one per core.
    int jobs = 0;
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
            = kFieldNames.contains(name) || name == QLatin1String("vorlage") || name == QLatin1String("csv")
            || name == QLatin1String("jobs");
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
        else if (name == QLatin1String("jobs")) {
            bool ok = false;
            options.jobs = value->toInt(&ok);
            if (!ok || options.jobs < 1)
                throw UsageFault{QStringLiteral("Die Option --jobs braucht eine Zahl ab 1.")};
        } else
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

// What making one row gave. Rows are made on several threads at once; their lines are kept until
// the rows before them are out, so standard output and error read as in a run of one thread.
struct RowResult {
    // "Zeile N: " in a batch.
    QString prefix;
    QStringList written;
    // Files written but not yet named, in the order made; publishRows() names them.
    std::vector<std::unique_ptr<PendingFile>> pending;
    QStringList errors;
    bool failed = false;

    void addError(const QString& text) { errors << prefix + text; }
};

// The row the calling thread is making, for the engine's messages.
thread_local RowResult* t_currentRow = nullptr;

// The engine's messages and questions (a font file the PDF cannot take as it is, say) join the
// lines of the row they arose in; questions are answered with No, as nobody is there to ask.
class RowMessageHost final : public report::EngineHost {
public:
    void showMessage(const QString& caption, const QString& text, Icon) override
    {
        const QString line = caption + QStringLiteral(": ") + QString(text).replace(QRegularExpression(QStringLiteral("[\\r\\n]+")), QStringLiteral(" "));
        if (t_currentRow)
            t_currentRow->addError(line);
        else
            printLine(stderr, line);
    }
    bool askYesNo(const QString& caption, const QString& text, Icon icon) override
    {
        showMessage(caption, text, icon);
        return false;
    }
};

// The rows of a run: one from the options alone, or one per CSV record with the line it starts on.
struct Rows {
    std::vector<QMap<QString, QString>> fields;
    std::vector<int> lines;
};

std::optional<Rows> readRows(const Options& options)
{
    Rows rows;
    if (options.csv.isEmpty()) {
        rows.fields.emplace_back();
        rows.lines.push_back(0);
        return rows;
    }
    QFile file(options.csv);
    if (!file.open(QIODevice::ReadOnly)) {
        printLine(stderr, QStringLiteral("%1: %2").arg(options.csv, file.errorString()));
        return std::nullopt;
    }
    const CsvTable table = readCsv(file.readAll());
    for (const QString& column : table.header) {
        if (!kFieldNames.contains(column)) {
            printLine(stderr, QStringLiteral("%1: unbekannte Spalte \"%2\"").arg(options.csv, column));
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

// A row's output format: its column or option, else the window's remembered one.
int outputFormat(const QMap<QString, QString>& row, const Options& options, settings::IniSettings& settings)
{
    const QString name = rowField(row, options, "format");
    if (name.trimmed().isEmpty())
        return settings.readInteger(QStringLiteral("AusgabeFormat"), 0);
    return outputFormatIndex(name);
}

// The settings file of the program folder as the command line uses it: every write goes through
// the lock, since writing the whole store again at the end would put back a counter another run
// has advanced meanwhile.
void openSettings(settings::IniSettings& settings, const QString& programFolder)
{
    configureReceiptSettings(settings, programFolder);
    settings.setFlushOnDestroy(false);
}

// Printable ASCII and the German letters and signs beyond it.
QString batchSubsetCharacters()
{
    QString characters;
    for (char16_t c = 0x20; c < 0x7f; ++c)
        characters += QChar(c);
    return characters + QStringLiteral("ÄÖÜäöüß€§°");
}

// Everything one thread makes receipts with: its own report, exports and copy of the settings.
class ReceiptMaker {
public:
    ReceiptMaker(const Options& options, const QString& programFolder, bool batch)
        : m_options(options), m_programFolder(programFolder), m_batch(batch)
        , m_format(FormatSettings::fromProcessLocale())
    {
        openSettings(m_settings, programFolder);
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
        // The receipts of a batch differ in their words only: with the letters, digits and signs
        // of German text in every subset they embed the same font data, cut and deflated once.
        if (batch)
            m_pdf.setCommonSubsetCharacters(batchSubsetCharacters());
    }

    // Makes the receipt of one row; number is the counter's for a row without one.
    RowResult makeRow(const QMap<QString, QString>& row, int number, int line)
    {
        RowResult result;
        if (m_batch)
            result.prefix = QStringLiteral("Zeile %1: ").arg(line);
        t_currentRow = &result;
        try {
            ReceiptFormState receipt = state(row, number);
            make(receipt, outputFormat(row, m_options, m_settings), result);
        } catch (const std::exception& error) {
            result.failed = true;
            result.addError(errorText(error));
            m_loadedTemplate = LoadedTemplate();
        }
        t_currentRow = nullptr;
        return result;
    }

private:
    // The fields of a receipt from a row's values, the options standing in for missing columns.
    ReceiptFormState state(const QMap<QString, QString>& row, int number)
    {
        const auto field = [&](const char* name) { return rowField(row, m_options, name); };
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

    // Makes one receipt; its files are added to the result still unnamed, for publishRows().
    void make(ReceiptFormState& state, int outputFormat, RowResult& result)
    {
        ReceiptOutput output;
        output.storeChoices = false;
        output.pending = [&result](std::unique_ptr<PendingFile> file) { result.pending.push_back(std::move(file)); };
        output.fileName = [this](const QString& kind, const ReceiptFormState& receipt) {
            return outputFile(kind == QLatin1String("PDF") ? m_options.pdf : m_options.jpeg, m_batch, m_programFolder,
                kind, receipt, m_format);
        };
        if (m_options.print.wanted) {
            const QString printer = m_options.print.target;
            output.print = [printer](report::ReportPreparer& preparer) {
                if (!printReceipt(preparer, printer))
                    throw Exception(QStringLiteral("Die Quittung konnte nicht gedruckt werden: kein Drucker."));
                return true;
            };
        }
        const ReceiptChoices choices{
            m_options.pdf.wanted, m_options.jpeg.wanted, false, true, outputFormat, m_options.templateFile, QString()};
        ReceiptTools tools{
            m_report, m_preparer, m_pdf, m_jpeg, m_settings, m_programFolder, m_format, output, {}, &m_loadedTemplate};
        makeReceipt(tools, state, choices);
    }

    const Options& m_options;
    QString m_programFolder;
    bool m_batch;
    FormatSettings m_format;
    settings::IniSettings m_settings;
    report::Report m_report;
    report::ReportPreparer m_preparer{m_report};
    report::PdfExport m_pdf;
    report::JpegExport m_jpeg;
    LoadedTemplate m_loadedTemplate;
};

// How many files a thread writes before it makes them durable and names them: the disk is waited
// for once per group, and an interruption loses at most a group per thread. The
// files of a group stay open until then, so all threads' groups together keep to half the process's
// limit of open files (a row may take a group two files past its size).
std::size_t filesPublishedTogether(std::size_t threads)
{
    constexpr std::size_t kMost = 32;
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return kMost;
    const std::size_t perThread = std::size_t(limit.rlim_cur) / 2 / std::max<std::size_t>(threads, 1);
    return std::clamp<std::size_t>(perThread > 2 ? perThread - 2 : 1, 1, kMost);
}

// Names the rows' pending files (see PendingFile); a file that cannot be made durable or named
// fails its row with the message of a file that cannot be created.
void publishRows(std::vector<std::pair<std::size_t, RowResult>>& rows)
{
    std::vector<PendingFile*> files;
    for (auto& [row, result] : rows)
        for (const auto& file : result.pending)
            files.push_back(file.get());
    PendingFile::publishAll(files);
    for (auto& [row, result] : rows) {
        for (const auto& file : result.pending) {
            if (file->published()) {
                result.written << file->fileName();
            } else {
                result.failed = true;
                result.addError(formatMessage(msg::SFCreateErrorEx, {file->fileName(), file->errorString()}));
            }
        }
        result.pending.clear();
    }
}

// Prints the rows' lines in row order as soon as the rows before them are done, and the progress
// bar over the rows done.
class RowPrinter {
public:
    RowPrinter(std::size_t count, bool batch)
        : m_results(count), m_ready(count, false), m_progress(batch && isatty(STDERR_FILENO))
    {
    }

    void finished(std::size_t row, RowResult result)
    {
        std::lock_guard lock(m_mutex);
        m_failed = m_failed || result.failed;
        m_results[row] = std::move(result);
        m_ready[row] = true;
        ++m_done;
        for (; m_next < m_results.size() && m_ready[m_next]; ++m_next) {
            RowResult& next = m_results[m_next];
            if (m_progress && !next.errors.isEmpty())
                std::fputc('\n', stderr);
            for (const QString& error : std::as_const(next.errors))
                printLine(stderr, error);
            for (const QString& file : std::as_const(next.written))
                printLine(stdout, file);
            next = RowResult();
        }
        if (m_progress)
            showProgress(int(m_done), int(m_results.size()));
    }

    bool anyFailed() const { return m_failed; }

private:
    std::mutex m_mutex;
    std::vector<RowResult> m_results;
    std::vector<bool> m_ready;
    std::size_t m_next = 0;
    std::size_t m_done = 0;
    bool m_progress;
    bool m_failed = false;
};

// True when a template holds an object the PDF export draws as a picture rather than writing it
// as text and paths (pictures, bar codes, texts with tags or patterned backgrounds): drawing text
// takes Qt's fonts, which need a GUI application.
bool drawsPictures(const QString& templateFile)
{
    report::Report report;
    try {
        report.engineOptions().setNewSilentMode(report::SilentMode::Rethrow);
        report.loadFromFile(templateFile);
    } catch (const Exception&) {
        // The receipt reports it; nothing of it is drawn.
        return false;
    }
    for (const report::ReportObject* object : report.allObjects()) {
        const auto* view = dynamic_cast<const report::View*>(object);
        if (!view || dynamic_cast<const report::ShapeObject*>(view) || dynamic_cast<const report::LineObjectBase*>(view)
            || dynamic_cast<const report::CheckBoxObject*>(view))
            continue;
        const auto* text = dynamic_cast<const report::TextObjectBase*>(view);
        const bool plainBrush = view->brushStyle() == report::BrushStyle::Solid || view->brushStyle() == report::BrushStyle::Clear;
        if (!text || !plainBrush || text->allowHtmlTags())
            return true;
    }
    return false;
}

// The templates the rows are made from.
QStringList templatesOfRows(const Options& options, const Rows& rows, const QString& programFolder)
{
    settings::IniSettings settings;
    openSettings(settings, programFolder);
    QStringList files;
    for (const auto& row : rows.fields) {
        ReceiptChoices choices;
        choices.templateFile = options.templateFile;
        try {
            choices.outputFormat = outputFormat(row, options, settings);
        } catch (const Exception&) {
            // The row is reported when it is made.
            continue;
        }
        const QString file = receiptTemplate(programFolder, settings, choices).file;
        if (!file.isEmpty() && !files.contains(file))
            files << file;
    }
    return files;
}

int run(const Options& options, const Rows& rows, const QString& programFolder)
{
    const bool batch = !options.csv.isEmpty();
    for (const OutputTarget* output : {&options.pdf, &options.jpeg}) {
        if (output->wanted && !output->target.isEmpty() && (batch || isFolder(output->target)))
            QDir().mkpath(output->target);
    }
    for (const char* folder : {"PDF", "JPG"})
        QDir(programFolder).mkpath(QString::fromLatin1(folder));

    // Rows without a number get theirs from the shared counter, in row order, before any is made.
    const std::size_t count = rows.fields.size();
    std::vector<int> numbers(count, 0);
    std::vector<std::size_t> unnumbered;
    for (std::size_t i = 0; i < count; ++i) {
        if (rowField(rows.fields[i], options, "nummer").trimmed().isEmpty())
            unnumbered.push_back(i);
    }
    if (!unnumbered.empty()) {
        try {
            settings::IniSettings counter;
            openSettings(counter, programFolder);
            int next = reserveNumbers(counter, int(unnumbered.size()));
            for (const std::size_t row : unnumbered)
                numbers[row] = next++;
        } catch (const std::exception& error) {
            printLine(stderr, errorText(error));
            return SomeFailed;
        }
    }

    // Print jobs reach the printer in row order, so printing takes one row after the other.
    const int cores = options.jobs > 0 ? options.jobs : std::max(1, QThread::idealThreadCount());
    const std::size_t threads = options.print.wanted ? 1 : std::min(std::size_t(cores), count);
    std::vector<std::unique_ptr<ReceiptMaker>> makers;
    for (std::size_t i = 0; i < threads; ++i)
        makers.push_back(std::make_unique<ReceiptMaker>(options, programFolder, batch));

    RowMessageHost host;
    report::EngineHost* const previousHost = report::setEngineHost(&host);
    RowPrinter printer(count, batch);
    std::atomic<std::size_t> nextRow = 0;
    const std::size_t groupSize = filesPublishedTogether(makers.size());
    const auto work = [&](ReceiptMaker& maker) {
        // Each thread names its files a group at a time, after one flush to disk for the group.
        std::vector<std::pair<std::size_t, RowResult>> made;
        std::size_t files = 0;
        const auto publish = [&] {
            publishRows(made);
            for (auto& [row, result] : made)
                printer.finished(row, std::move(result));
            made.clear();
            files = 0;
        };
        for (std::size_t row = nextRow++; row < count; row = nextRow++) {
            made.emplace_back(row, maker.makeRow(rows.fields[row], numbers[row], rows.lines[row]));
            files += made.back().second.pending.size();
            if (files >= groupSize)
                publish();
        }
        publish();
    };
    if (makers.size() == 1) {
        work(*makers.front());
    } else {
        std::vector<std::thread> workers;
        for (const auto& maker : makers)
            workers.emplace_back(work, std::ref(*maker));
        for (std::thread& worker : workers)
            worker.join();
    }
    report::setEngineHost(previousHost);
    return printer.anyFailed() ? SomeFailed : AllMade;
}

// The folder of the program file, with a trailing "/", found before any application object exists.
QString programFolderOf()
{
    QString folder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

} // namespace

int main(int argc, char* argv[])
{
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
    const QString programFolder = programFolderOf();
    if (options.print.wanted && !canPrint()) {
        const QByteArray twin = QFile::encodeName(programFolder + QStringLiteral("quittung-cli-druck"));
        execv(twin.constData(), argv);
        printLine(stderr, QStringLiteral("%1: %2").arg(QFile::decodeName(twin), QString::fromLocal8Bit(std::strerror(errno))));
        return SomeFailed;
    }
    const std::optional<Rows> rows = readRows(options);
    if (!rows)
        return UsageError;

    // The application object costs much of a short run's start, so each run takes the least it
    // needs: printing the widgets' print support; JPEG files and templates the PDF draws pictures
    // of Qt's fonts, which need a GUI application (on the offscreen platform, as there is no
    // display); a PDF of texts, lines and shapes needs neither.
    const QStringList templates = options.print.wanted || options.jpeg.wanted ? QStringList()
                                                                                : templatesOfRows(options, *rows, programFolder);
    const bool drawsText = options.print.wanted || options.jpeg.wanted
        || std::any_of(templates.begin(), templates.end(), drawsPictures);
    if (drawsText && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> application;
    if (options.print.wanted)
        application = printingApplication(argc, argv);
    else if (drawsText)
        application = std::make_unique<QGuiApplication>(argc, argv);
    else
        application = std::make_unique<QCoreApplication>(argc, argv);
    return run(options, *rows, programFolder);
}
