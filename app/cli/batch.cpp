#include "app/cli/batch.h"

#include "app/cli/printing.h"
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
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
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

// The engine's messages and questions (a font file the PDF cannot take as it is, say) join the
// lines of the row they arose in; questions are answered with No, as nobody is there to ask.
class RowMessageHost final : public report::EngineHost {
public:
    // The row being made; its messages go to standard error when there is none.
    void setRow(RowResult* row) { m_row = row; }

    void showMessage(const QString& caption, const QString& text, Icon) override
    {
        const QString line = caption + QStringLiteral(": ") + QString(text).replace(QRegularExpression(QStringLiteral("[\\r\\n]+")), QStringLiteral(" "));
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

// The receipts of the rows, and which outputs each writes. Two outputs of one run never write the
// same file: the later option or row is refused with a message naming the earlier one, and the
// file the earlier one writes stands.
std::vector<RowPlan> planRows(const Options& options, const Rows& rows, const std::vector<int>& numbers,
    const QString& programFolder, bool batch)
{
    settings::IniSettings settings;
    openSettings(settings, programFolder);
    const FormatSettings format = FormatSettings::fromProcessLocale();
    std::vector<RowPlan> plans(rows.fields.size());
    std::vector<Claim> claims;
    ComparablePaths comparablePath;
    for (std::size_t i = 0; i < plans.size(); ++i) {
        RowPlan& plan = plans[i];
        if (batch)
            plan.prefix = QStringLiteral("Zeile %1: ").arg(rows.lines[i]);
        try {
            plan.receipt = rowReceipt(rows.fields[i], options, numbers[i], settings, format);
        } catch (const std::exception& error) {
            plan.errors << plan.prefix + errorText(error);
            continue;
        }
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
            const QString fileName = outputFile(output.target, batch, programFolder, kind, *plan.receipt, format);
            const QString option = QString::fromLatin1(output.option);
            Claim claim{comparablePath(fileName), kind == QLatin1String("JPG"),
                batch ? QStringLiteral("Zeile %1 (%2)").arg(rows.lines[i]).arg(option) : option};
            if (claim.pages) {
                claim.path = comparablePath(report::JpegExport::imageFileName(fileName, QString()));
                claim.path.chop(4); // ".jpg"
            }
            const auto taken = std::find_if(claims.begin(), claims.end(), [&](const Claim& c) { return sameFiles(c, claim); });
            if (taken != claims.end()) {
                plan.errors << plan.prefix
                        + QStringLiteral("%1: Die Datei \"%2\" schreibt in diesem Aufruf schon %3; sie wird nicht ersetzt.")
                              .arg(option, fileName, taken->owner);
                continue;
            }
            claims.push_back(claim);
            output.planned = fileName;
        }
    }
    return plans;
}

// Everything one thread makes receipts with: its own receipt job and copy of the settings.
class ReceiptMaker {
public:
    ReceiptMaker(const Options& options, const QString& programFolder, bool batch,
        const std::shared_ptr<TemplateStore>& templates)
        : m_job(openSettings(m_settings, programFolder), programFolder, FormatSettings::fromProcessLocale())
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
            const ReceiptChoices choices{!plan.pdfFile.isEmpty(), !plan.jpegFile.isEmpty(), false, true, QString()};
            m_job.make(*plan.receipt, choices);
        } catch (const std::exception& error) {
            result.failed = true;
            result.addError(errorText(error));
        }
        m_host.setRow(nullptr);
        return result;
    }

private:
    RowMessageHost m_host;
    settings::IniSettings m_settings;
    ReceiptJob m_job;
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

} // namespace

void printLine(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
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
    return std::make_shared<TemplateStore>(FormatSettings::fromProcessLocale(), systemClock(),
        [](report::Report& report) { report.engineOptions().setNewSilentMode(report::SilentMode::Rethrow); }, true);
}

int runBatch(const Options& options, const Rows& rows, const QString& programFolder,
    const std::shared_ptr<TemplateStore>& templates)
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

    const std::vector<RowPlan> plans = planRows(options, rows, numbers, programFolder, batch);

    // Print jobs reach the printer in row order, so printing takes one row after the other.
    const int cores = options.jobs > 0 ? options.jobs : std::max(1, QThread::idealThreadCount());
    const std::size_t threads = options.print.wanted ? 1 : std::min(std::size_t(cores), count);
    std::vector<std::unique_ptr<ReceiptMaker>> makers;
    for (std::size_t i = 0; i < threads; ++i)
        makers.push_back(std::make_unique<ReceiptMaker>(options, programFolder, batch, templates));

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
            made.emplace_back(row, maker.makeRow(plans[row]));
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
    return printer.anyFailed() ? SomeFailed : AllMade;
}

} // namespace quittung::app::cli
