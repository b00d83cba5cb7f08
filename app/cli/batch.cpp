#include "app/cli/batch.h"

#include "app/german_messages.h"
#include "app/cli/printing.h"
#include "app/template_check.h"
#include "app/receipt_job.h"
#include "report/document/engine_host.h"
#include "report/document/engine_messages.h"
#include "report/export/export_files.h"
#include "report/export/image/image_export.h"
#include "runtime/exception.h"
#include "runtime/messages.h"
#include "runtime/pending_file.h"
#include "settings/ini_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <stdio_ext.h>
#include <sys/resource.h>
#include <unistd.h>

namespace quittung::app::cli {

namespace {

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

// The engine's messages and questions (a font file the PDF cannot take as it is, say) join the
// lines of the row they arose in; questions are answered with No, as nobody is there to ask.
class RowMessageHost final : public report::EngineHost {
public:
    // The row being made; its messages go to standard error when there is none.
    void setRow(RowResult* row) { m_row = row; }

    void showMessage(const QString& caption, const QString& text, Icon) override
    {
        const QString line = germanEngineText(caption) + QStringLiteral(": ")
            + germanEngineText(QString(text).replace(QRegularExpression(QStringLiteral("[\\r\\n]+")), QStringLiteral(" ")));
        if (m_row)
            m_row->addError(line);
        else
            printLine(stderr, line);
    }
    bool askYesNo(const QString& caption, const QString& text, Icon icon) override
    {
        showMessage(caption, text, icon);
        return false;
    }

private:
    RowResult* m_row = nullptr;
};

// Printable ASCII and the German letters and signs beyond it.
QString batchSubsetCharacters()
{
    QString characters;
    for (char16_t c = 0x20; c < 0x7f; ++c)
        characters += QChar(c);
    return characters + QStringLiteral("ÄÖÜäöüß€§°");
}

// A row as it is to be made: its receipt (none when its fields are wrong, with the error), and the
// files its outputs write (empty for an output it does not make).
struct RowPlan {
    QString prefix;
    // The line of the CSV file the row starts on.
    int line = 0;
    // The receipt takes its number from the counter once it is made.
    bool needsNumber = false;
    std::optional<Receipt> receipt;
    QString pdfFile;
    QString jpegFile;
    QStringList errors;
};

// The files of one output of one row, claimed before any row is made: a PDF its file, a JPEG export
// its base name, whose pages are base.1.jpg, base.2.jpg and so on.
struct Claim {
    QString path;
    bool pages = false;
    QString owner;
};

// File names made absolute, through the real folder where it exists; a batch's rows share their
// folders, which are looked up once.
class ComparablePaths {
public:
    QString operator()(const QString& fileName)
    {
        const QFileInfo info(fileName);
        const QString folder = info.absolutePath();
        auto real = m_folders.constFind(folder);
        if (real == m_folders.constEnd()) {
            const QString canonical = QFileInfo(folder).canonicalFilePath();
            real = m_folders.insert(folder, canonical.isEmpty() ? folder : canonical);
        }
        return *real + u'/' + info.fileName();
    }

private:
    QHash<QString, QString> m_folders;
};

bool sameFiles(const Claim& a, const Claim& b)
{
    if (a.pages == b.pages)
        return a.path == b.path;
    const Claim& pages = a.pages ? a : b;
    const Claim& file = a.pages ? b : a;
    static const QRegularExpression pageSuffix(QStringLiteral("^\\.[0-9]+\\.jpg$"));
    return file.path.startsWith(pages.path) && pageSuffix.match(QStringView(file.path).mid(pages.path.size())).hasMatch();
}

// The files the outputs of one run write. Two outputs never write the same file: the later option
// or row is refused with a message naming the earlier one, and the file the earlier one writes
// stands.
class FileClaims {
public:
    // Claims the files of the row's outputs for its receipt, whose number is set.
    void claim(RowPlan& plan, const Options& options, const QString& programFolder, bool batch)
    {
        const struct {
            const OutputTarget& target;
            const char* kind;
            const char* option;
            QString& planned;
        } outputs[] = {{options.pdf, "PDF", "--pdf", plan.pdfFile}, {options.jpeg, "JPG", "--jpg", plan.jpegFile}};
        for (const auto& output : outputs) {
            if (!output.target.wanted)
                continue;
            const QString kind = QString::fromLatin1(output.kind);
            const QString fileName = outputFile(output.target, batch, programFolder, kind, *plan.receipt);
            const QString option = QString::fromLatin1(output.option);
            Claim claim{m_comparablePath(fileName), kind == QLatin1String("JPG"),
                batch ? QStringLiteral("Zeile %1 (%2)").arg(plan.line).arg(option) : option};
            if (claim.pages) {
                claim.path = m_comparablePath(report::JpegExport::imageFileName(fileName, QString()));
                claim.path.chop(4); // ".jpg"
            }
            const auto taken = std::find_if(m_claims.begin(), m_claims.end(), [&](const Claim& c) { return sameFiles(c, claim); });
            if (taken != m_claims.end()) {
                plan.errors << plan.prefix
                        + QStringLiteral("%1: Die Datei \"%2\" schreibt in diesem Aufruf schon %3; sie wird nicht ersetzt.")
                              .arg(option, fileName, taken->owner);
                continue;
            }
            m_claims.push_back(claim);
            output.planned = fileName;
        }
    }

private:
    std::vector<Claim> m_claims;
    ComparablePaths m_comparablePath;
};

// The receipts of the rows, and which outputs each writes. Everything a row can be refused for is
// found here, before it takes a number: its fields, its template and the names of its files. The
// files of a row with its own number are claimed here, those of the others once they have theirs.
std::vector<RowPlan> planRows(const Options& options, const Rows& rows, const QString& programFolder, bool batch,
    TemplateStore& templates, FileClaims& claims)
{
    settings::IniSettings settings;
    openSettings(settings, programFolder);
    const bool writesFiles = options.pdf.wanted || options.jpeg.wanted;
    std::vector<RowPlan> plans(rows.fields.size());
    for (std::size_t i = 0; i < plans.size(); ++i) {
        RowPlan& plan = plans[i];
        plan.line = rows.lines[i];
        if (batch)
            plan.prefix = QStringLiteral("Zeile %1: ").arg(rows.lines[i]);
        if (!rows.faults[i].isEmpty()) {
            plan.errors << plan.prefix + rows.faults[i];
            continue;
        }
        try {
            plan.receipt = rowReceipt(rows.fields[i], options, settings);
        } catch (const std::exception& error) {
            plan.errors << plan.prefix + errorLine(error);
            continue;
        }
        QString fault = receiptTemplateFault(templates, programFolder, settings, *plan.receipt);
        if (fault.isEmpty() && writesFiles)
            fault = fileNameFault(*plan.receipt);
        if (!fault.isEmpty()) {
            plan.errors << plan.prefix + fault;
            plan.receipt.reset();
            continue;
        }
        plan.needsNumber = plan.receipt->number.isEmpty();
        if (!plan.needsNumber)
            claims.claim(plan, options, programFolder, batch);
    }
    return plans;
}

// Everything one thread makes receipts with: its own receipt job and copy of the settings.
class ReceiptMaker {
public:
    ReceiptMaker(const Options& options, const QString& programFolder, bool batch,
        const std::shared_ptr<TemplateStore>& templates)
        : m_job(openSettings(m_settings, programFolder), programFolder, outputFormatSettings()),
          m_strict(options.strict)
    {
        m_job.setTemplates(templates);
        m_job.preparer().setHost(m_host);
        if (options.print.wanted) {
            m_job.output().print = [printer = options.print.target](
                                       report::ReportPreparer& preparer, const report::PrintOptions& printOptions) {
                if (!printReceipt(preparer, printOptions, printer))
                    throw Exception(QStringLiteral("Die Quittung konnte nicht gedruckt werden: kein Drucker."));
                return true;
            };
        }
        // The receipts of a batch differ in their words only: with the letters, digits and signs
        // of German text in every subset they embed the same font data, cut and deflated once.
        if (batch)
            m_job.pdfExport().setCommonSubsetCharacters(batchSubsetCharacters());
    }

    // Makes the receipt of one planned row; its files are added to the result still unnamed, for
    // publishRows().
    RowResult makeRow(const RowPlan& plan)
    {
        RowResult result;
        result.prefix = plan.prefix;
        result.errors = plan.errors;
        result.failed = !plan.errors.isEmpty();
        if (!plan.receipt)
            return result;
        m_host.setRow(&result);
        try {
            ReceiptOutput& output = m_job.output();
            output.pending = [&result](report::ExportFiles files) {
                for (auto& file : files.take())
                    result.pending.push_back(std::move(file));
            };
            // The files planned for the row, checked against the other rows' and options'.
            output.fileName = [&plan](const QString& kind, const Receipt&) {
                return kind == QLatin1String("PDF") ? plan.pdfFile : plan.jpegFile;
            };
            // A cut-off text is made with a warning, or, strictly, not at all.
            output.clipped = [&result, this](const QStringList& warnings) {
                if (m_strict)
                    throw Exception(warnings.join(u' '));
                for (const QString& warning : warnings)
                    result.addError(QStringLiteral("Warnung: ") + warning);
            };
            ReceiptChoices choices;
            choices.pdf = !plan.pdfFile.isEmpty();
            choices.jpeg = !plan.jpegFile.isEmpty();
            choices.preview = false;
            choices.directPrint = true;
            m_job.make(*plan.receipt, choices);
        } catch (const std::exception& error) {
            result.failed = true;
            result.addError(errorLine(error));
        }
        m_host.setRow(nullptr);
        return result;
    }

private:
    RowMessageHost m_host;
    settings::IniSettings m_settings;
    ReceiptJob m_job;
    bool m_strict = false;
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

// How many numbers a batch takes from the counter at a time: writing the settings file waits for
// the disk, which once per row would cost more than making the row.
constexpr int kNumbersTakenTogether = 32;

// Receipt numbers from the shared counter, handed out one after the other. They are taken from the
// settings file a few at a time, as rows need them; those never handed out are given back at the
// end (unless another program has taken a number since).
class NumberSource {
public:
    NumberSource(const QString& programFolder, std::size_t rowsWanting) : m_rowsWanting(rowsWanting)
    {
        openSettings(m_settings, programFolder);
    }

    // The number the next row gets; throws when the counter cannot be advanced.
    int next()
    {
        if (m_next > m_last) {
            const int count = int(std::min<std::size_t>(std::max<std::size_t>(m_rowsWanting, 1), kNumbersTakenTogether));
            m_next = reserveNumbers(m_settings, count);
            m_last = m_next + count - 1;
        }
        return m_next;
    }
    // The number next() gave is used; a number not used goes to the next row.
    void use() { ++m_next; }
    // A row that may want a number was taken (whether it uses one or not).
    void rowTaken() { m_rowsWanting -= m_rowsWanting > 0; }

    void giveBack()
    {
        if (m_next > m_last)
            return;
        try {
            returnNumbers(m_settings, m_next, m_last);
        } catch (const std::exception&) {
            // The numbers stay taken: a gap, never a number twice.
        }
        m_next = m_last + 1;
    }

private:
    settings::IniSettings m_settings;
    std::size_t m_rowsWanting;
    int m_next = 1;
    int m_last = 0;
};

// Set by SIGINT and SIGTERM: no further row is started.
std::atomic<bool> g_stopRequested = false;
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void requestStop(int)
{
    g_stopRequested = true;
}

// SIGINT and SIGTERM let the rows in flight finish; a second one ends the program at once.
void stopOnSignals()
{
    struct sigaction action {};
    action.sa_handler = requestStop;
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM})
        sigaction(signal, &action, nullptr);
}

// Hands the threads their rows in row order, a row without a number together with the next number
// of the counter: numbers follow the rows, and are taken only as rows are made.
class RowSource {
public:
    RowSource(const std::vector<RowPlan>& plans, NumberSource& numbers, FileClaims& claims, const Options& options,
        const QString& programFolder, bool batch)
        : m_plans(plans), m_numbers(numbers), m_claims(claims), m_options(options), m_programFolder(programFolder)
        , m_batch(batch)
    {
    }

    // The next row as it is to be made, with its number; nothing once all rows are taken or a
    // signal asked to stop.
    std::optional<std::pair<std::size_t, RowPlan>> next()
    {
        std::lock_guard lock(m_mutex);
        if (m_next >= m_plans.size() || g_stopRequested)
            return std::nullopt;
        const std::size_t row = m_next++;
        RowPlan plan = m_plans[row];
        if (plan.needsNumber)
            takeNumber(plan);
        return std::pair{row, std::move(plan)};
    }

    // The rows handed out.
    std::size_t taken()
    {
        std::lock_guard lock(m_mutex);
        return m_next;
    }

private:
    void takeNumber(RowPlan& plan)
    {
        m_numbers.rowTaken();
        try {
            plan.receipt->number = QString::number(m_numbers.next());
        } catch (const std::exception& error) {
            plan.errors << plan.prefix + errorLine(error);
            plan.receipt.reset();
            return;
        }
        m_claims.claim(plan, m_options, m_programFolder, m_batch);
        // A row whose every file another row writes is not made, and leaves its number to the next.
        if (plan.pdfFile.isEmpty() && plan.jpegFile.isEmpty() && !m_options.print.wanted) {
            plan.receipt.reset();
            return;
        }
        m_numbers.use();
    }

    std::mutex m_mutex;
    const std::vector<RowPlan>& m_plans;
    NumberSource& m_numbers;
    FileClaims& m_claims;
    const Options& m_options;
    const QString& m_programFolder;
    const bool m_batch;
    std::size_t m_next = 0;
};

// Set once a line could not be written to standard output, with the reason.
std::atomic<int> g_standardOutputError = 0;

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

} // namespace

void printLine(FILE* stream, const QString& text)
{
    errno = 0;
    const bool written = std::fputs(text.toLocal8Bit().constData(), stream) >= 0 && std::fputc('\n', stream) != EOF
        && std::fflush(stream) == 0;
    if (!written && stream == stdout) {
        int expected = 0;
        g_standardOutputError.compare_exchange_strong(expected, errno ? errno : EIO);
        // What could not be written must not come out later, half, with another line.
        std::clearerr(stream);
        __fpurge(stream);
    }
}

QString standardOutputFault()
{
    const int error = g_standardOutputError;
    if (error == 0)
        return QString();
    const QString reason = error == ENOSPC ? QStringLiteral("Auf dem Gerät ist kein Platz mehr.")
        : error == EPIPE                   ? QStringLiteral("Das lesende Programm hat die Pipe geschlossen.")
                                           : QString::fromLocal8Bit(std::strerror(error));
    return QStringLiteral("Die Standardausgabe ließ sich nicht schreiben: %1").arg(reason);
}

settings::IniSettings& openSettings(settings::IniSettings& settings, const QString& programFolder)
{
    configureReceiptSettings(settings, programFolder);
    settings.setFlushOnDestroy(false);
    return settings;
}

std::shared_ptr<TemplateStore> batchTemplates()
{
    // A receipt's errors end that receipt and are reported with its row.
    return std::make_shared<TemplateStore>(outputFormatSettings(), systemClock(),
        [](report::Report& report) { report.engineOptions().setNewSilentMode(report::SilentMode::Rethrow); }, true);
}

int runBatch(const Options& options, const Rows& rows, const QString& programFolder,
    const std::shared_ptr<TemplateStore>& templates)
{
    const bool batch = !options.csv.isEmpty();
    stopOnSignals();
    if (const QStringList faults = runFaults(options, rows, programFolder, batch); !faults.isEmpty()) {
        for (const QString& fault : faults)
            printLine(stderr, fault);
        return SomeFailed;
    }
    const std::size_t count = rows.fields.size();
    FileClaims claims;
    const std::vector<RowPlan> plans = planRows(options, rows, programFolder, batch, *templates, claims);
    NumberSource numbers(programFolder,
        std::size_t(std::count_if(plans.begin(), plans.end(), [](const RowPlan& plan) { return plan.needsNumber; })));
    RowSource rowSource(plans, numbers, claims, options, programFolder, batch);

    // Print jobs reach the printer in row order, so printing takes one row after the other.
    const int cores = options.jobs > 0 ? options.jobs : std::max(1, QThread::idealThreadCount());
    const std::size_t threads = options.print.wanted ? 1 : std::min(std::size_t(cores), count);
    std::vector<std::unique_ptr<ReceiptMaker>> makers;
    for (std::size_t i = 0; i < threads; ++i)
        makers.push_back(std::make_unique<ReceiptMaker>(options, programFolder, batch, templates));

    RowPrinter printer(count, batch);
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
        while (std::optional<std::pair<std::size_t, RowPlan>> next = rowSource.next()) {
            made.emplace_back(next->first, maker.makeRow(next->second));
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
    // Numbers taken for rows that were not made go back, so the counter stands at the last receipt.
    numbers.giveBack();
    if (const std::size_t done = rowSource.taken(); done < count) {
        if (batch && isatty(STDERR_FILENO))
            std::fputc('\n', stderr);
        printLine(stderr, QStringLiteral("Abgebrochen nach %1 von %2 Zeilen.").arg(done).arg(count));
        return Interrupted;
    }
    if (const QString fault = standardOutputFault(); !fault.isEmpty()) {
        printLine(stderr, fault);
        return SomeFailed;
    }
    return printer.anyFailed() ? SomeFailed : AllMade;
}

} // namespace quittung::app::cli
