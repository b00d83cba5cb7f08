#include "report/preview/report_printer.h"

#include "report/document/page.h"
#include "report/document/report.h"
#include "report/document/shape_object.h"
#include "report/document/text_object.h"
#include "report/engine/pages/report_preparer.h"
#include "report/preview/print_dialog.h"
#include "report/preview/printer_list.h"
#include "tests/support/qt_printers.h"
#include "tests/support/recording_engine_host.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cmath>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

using namespace quittung;
using namespace quittung::report;

namespace {

// A port on the loopback address nobody listens on right now.
int freePort()
{
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(probe);
    return ntohs(address.sin_port);
}

// Takes the bytes of every connection to its port on the loopback address: the print jobs a CUPS
// socket device sends, one connection per job.
class JobCatcher {
public:
    JobCatcher()
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        ::listen(m_socket, 4);
        m_thread = std::thread([this] { serve(); });
    }
    ~JobCatcher()
    {
        ::shutdown(m_socket, SHUT_RDWR);
        m_thread.join();
        ::close(m_socket);
    }
    JobCatcher(const JobCatcher&) = delete;
    JobCatcher& operator=(const JobCatcher&) = delete;

    int port() const { return m_port; }
    std::vector<QByteArray> jobs() const
    {
        const std::lock_guard lock(m_mutex);
        return m_jobs;
    }
    void clear()
    {
        const std::lock_guard lock(m_mutex);
        m_jobs.clear();
    }

private:
    void serve()
    {
        for (;;) {
            const int connection = ::accept(m_socket, nullptr, nullptr);
            if (connection < 0)
                return;
            QByteArray job;
            char buffer[65536];
            for (ssize_t got; (got = ::read(connection, buffer, sizeof buffer)) > 0;)
                job.append(buffer, got);
            ::close(connection);
            const std::lock_guard lock(m_mutex);
            m_jobs.push_back(job);
        }
    }

    int m_socket = -1;
    int m_port = 0;
    mutable std::mutex m_mutex;
    std::vector<QByteArray> m_jobs;
    std::thread m_thread;
};

QString runTool(const QString& program, const QStringList& arguments, bool* ok = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(30000);
    if (ok)
        *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return QString::fromLocal8Bit(process.readAll());
}

// A PPD that hands PDF on unchanged, for A4 and A5 paper with the given unprintable margin.
QByteArray ppd(const QString& model, double marginMm)
{
    const double m = marginMm * 72 / 25.4;
    const auto area = [m](double width, double height) {
        return QStringLiteral("\"%1 %2 %3 %4\"").arg(m).arg(m).arg(width - m).arg(height - m);
    };
    QString text = QStringLiteral(R"ppd(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "QUITTUNG.PPD"
*Manufacturer: "Quittung"
*Product: "(%1)"
*ModelName: "%1"
*ShortNickName: "%1"
*NickName: "%1"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: False
*DefaultColorSpace: Gray
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*cupsFilter: "application/pdf 0 -"
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*PageSize A5/A5: "<</PageSize[420 595]>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: A4
*PageRegion A4/A4: "<</PageSize[595 842]>>setpagedevice"
*PageRegion A5/A5: "<</PageSize[420 595]>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A4
*ImageableArea A4/A4: %2
*ImageableArea A5/A5: %3
*DefaultPaperDimension: A4
*PaperDimension A4/A4: "595 842"
*PaperDimension A5/A5: "420 595"
*OpenUI *Duplex/2-Sided Printing: PickOne
*OrderDependency: 10 AnySetup *Duplex
*DefaultDuplex: None
*Duplex None/Off: ""
*Duplex DuplexNoTumble/Long Edge: ""
*Duplex DuplexTumble/Short Edge: ""
*CloseUI: *Duplex
)ppd");
    return text.arg(model, area(595, 842), area(420, 595)).toLatin1();
}

// The tests' own CUPS scheduler in a temporary folder, reached through CUPS_SERVER. Every queue's
// device is the socket of a catcher of its own.
class PrintScheduler {
public:
    struct Queue {
        QString name;
        double marginMm;
    };

    // Points the process's CUPS clients at the scheduler's port before any of them connects.
    static void prepare()
    {
        s_port = freePort();
        qputenv("CUPS_SERVER", QByteArray("127.0.0.1:") + QByteArray::number(s_port));
    }

    // The scheduler with the given queues (the first one the default), started on first use;
    // nullptr when cupsd cannot start here, with the reason in failure.
    static PrintScheduler* instance(const std::vector<Queue>& queues, QString* failure)
    {
        static std::unique_ptr<PrintScheduler> scheduler;
        static QString reason;
        static bool tried = false;
        if (!tried) {
            tried = true;
            auto started = std::unique_ptr<PrintScheduler>(new PrintScheduler);
            if (started->start(queues, &reason))
                scheduler = std::move(started);
            s_instance = scheduler.get();
        }
        *failure = reason;
        return scheduler.get();
    }
    static void stop()
    {
        if (s_instance)
            s_instance->m_cupsd.terminate(), s_instance->m_cupsd.waitForFinished(10000);
    }

    JobCatcher& catcher(const QString& queue)
    {
        for (auto& [name, catcher] : m_catchers) {
            if (name == queue)
                return *catcher;
        }
        throw std::logic_error("no such queue");
    }
    void clearJobs()
    {
        for (auto& entry : m_catchers)
            entry.second->clear();
    }

    // Waits until the scheduler holds no unfinished job, so every job has reached its device.
    bool waitUntilIdle()
    {
        const QDeadlineTimer deadline(60000);
        while (!deadline.hasExpired()) {
            bool ok = false;
            const QString pending = runTool(QStringLiteral("lpstat"), {QStringLiteral("-o")}, &ok);
            if (ok && pending.trimmed().isEmpty())
                return true;
            QThread::msleep(100);
        }
        return false;
    }

private:
    PrintScheduler() = default;

    bool start(const std::vector<Queue>& queues, QString* failure)
    {
        const QString cupsd = QStandardPaths::findExecutable(QStringLiteral("cupsd"), {QStringLiteral("/usr/sbin")});
        if (cupsd.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("lpadmin")).isEmpty()) {
            *failure = QStringLiteral("cupsd or lpadmin is not installed (Debian cups, cups-client)");
            return false;
        }
        const QString root = m_folder.path();
        // The scheduler runs its backends as another user, who must reach the spool.
        QFile::setPermissions(root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
        for (const char* folder : {"spool", "spool/tmp", "cache", "state", "ppd", "log"})
            QDir(root).mkpath(QString::fromLatin1(folder));
        const QString port = QString::number(s_port);
        writeFile(root + QStringLiteral("/cupsd.conf"), QStringLiteral(R"(Listen 127.0.0.1:%1
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
DefaultEncryption Never
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
    Allow all
  </Limit>
</Policy>
)")
                .arg(port));
        const bool root_user = ::geteuid() == 0;
        writeFile(root + QStringLiteral("/cups-files.conf"), QStringLiteral(R"(ServerRoot %1
RequestRoot %1/spool
TempDir %1/spool/tmp
CacheDir %1/cache
StateDir %1/state
ErrorLog %1/log/error_log
AccessLog %1/log/access_log
PageLog %1/log/page_log
Sandboxing relaxed
FileDevice Yes
%2
)")
                .arg(root, root_user ? QStringLiteral("User lp\nGroup lp\nSystemGroup root") : QString()));
        m_cupsd.setProcessChannelMode(QProcess::ForwardedChannels);
        m_cupsd.start(cupsd, {QStringLiteral("-f"), QStringLiteral("-c"), root + QStringLiteral("/cupsd.conf"),
                                 QStringLiteral("-s"), root + QStringLiteral("/cups-files.conf")});
        if (!m_cupsd.waitForStarted(10000)) {
            *failure = QStringLiteral("cupsd did not start: ") + m_cupsd.errorString();
            return false;
        }
        const QDeadlineTimer deadline(20000);
        bool running = false;
        while (!running && !deadline.hasExpired() && m_cupsd.state() == QProcess::Running) {
            // lpstat says whether the scheduler runs; its exit status is 0 either way.
            running = runTool(QStringLiteral("lpstat"), {QStringLiteral("-r")}).contains(QLatin1String("scheduler is running"));
            if (!running)
                QThread::msleep(100);
        }
        if (!running) {
            *failure = QStringLiteral("cupsd did not answer on port ") + port + QStringLiteral(": ")
                + readFile(root + QStringLiteral("/log/error_log"));
            m_cupsd.kill();
            m_cupsd.waitForFinished(5000);
            return false;
        }
        for (const Queue& queue : queues) {
            auto catcher = std::make_unique<JobCatcher>();
            const QString ppdFile = root + QStringLiteral("/") + queue.name + QStringLiteral(".ppd");
            QFile file(ppdFile);
            file.open(QIODevice::WriteOnly);
            file.write(ppd(queue.name, queue.marginMm));
            file.close();
            bool ok = false;
            const QString said = runTool(QStringLiteral("lpadmin"),
                {QStringLiteral("-p"), queue.name, QStringLiteral("-E"), QStringLiteral("-v"),
                    QStringLiteral("socket://127.0.0.1:%1").arg(catcher->port()), QStringLiteral("-P"), ppdFile},
                &ok);
            if (!ok) {
                *failure = QStringLiteral("lpadmin could not add a queue: ") + said;
                return false;
            }
            m_catchers.emplace_back(queue.name, std::move(catcher));
        }
        if (!queues.empty())
            runTool(QStringLiteral("lpadmin"), {QStringLiteral("-d"), queues.front().name});
        return true;
    }

    static void writeFile(const QString& path, const QString& text)
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(text.toUtf8());
    }
    static QString readFile(const QString& path)
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return QString::fromUtf8(file.readAll());
    }

    static inline int s_port = 0;
    static inline PrintScheduler* s_instance = nullptr;
    QTemporaryDir m_folder;
    QProcess m_cupsd;
    std::vector<std::pair<QString, std::unique_ptr<JobCatcher>>> m_catchers;
};

// The child process that tests a system without printers runs with this set.
constexpr char noQueuesVariable[] = "QUITTUNG_TEST_PRINTING_WITHOUT_QUEUES";

class SchedulerEnvironment : public testing::Environment {
public:
    void SetUp() override { PrintScheduler::prepare(); }
    void TearDown() override { PrintScheduler::stop(); }
};

[[maybe_unused]] testing::Environment* const schedulerEnvironment =
    testing::AddGlobalTestEnvironment(new SchedulerEnvironment);

const QString plainQueue = QStringLiteral("Quittung-Plain");
const QString marginQueue = QStringLiteral("Quittung-Margin");

// Prepared A5 pages reading "Seite 1", "Seite 2", ... in a text object 10 mm from the paper's
// left edge, with report margins 0.
struct NumberedReport {
    explicit NumberedReport(int pages)
    {
        report.add<DataPage>()->setName(QStringLiteral("Data"));
        for (int i = 1; i <= pages; ++i) {
            auto* page = report.add<ReportPage>();
            page->setName(QStringLiteral("Page%1").arg(i));
            page->setPaperSize(11);
            page->setLeftMargin(0);
            page->setTopMargin(0);
            page->setRightMargin(0);
            page->setBottomMargin(0);
            auto* text = page->add<TextObject>();
            text->createUniqueName();
            text->setBounds(10 * PixelsPerMm, 20 * PixelsPerMm, 300, 40);
            text->setGapX(0);
            text->setText(QStringLiteral("Seite %1").arg(i));
            // Qt's PDF output keeps no text a reader could extract, so the page number is also
            // told by the height of a black box: its top edge at 30 + 10 × page millimetres.
            auto* mark = page->add<ShapeObject>();
            mark->createUniqueName();
            mark->setBounds(10 * PixelsPerMm, (30 + 10 * i) * PixelsPerMm, 20 * PixelsPerMm, 4 * PixelsPerMm);
            mark->setColor(colors::Black);
        }
        EXPECT_TRUE(engine.prepareReport()) << host.shown.join(QLatin1Char('\n')).toStdString();
        options().setShowDialog(false);
    }

    PrintOptions& options() { return report.printOptions(); }

    RecordingEngineHost host;
    Report report;
    ReportPreparer engine{report};
};

// The PDF documents of a captured job: a device that prints copies itself gets the file again.
QList<QByteArray> documentsOf(const QByteArray& job)
{
    QList<QByteArray> documents;
    for (qsizetype at = job.indexOf("%PDF-"); at >= 0;) {
        const qsizetype next = job.indexOf("%PDF-", at + 5);
        documents << job.mid(at, next < 0 ? -1 : next - at);
        at = next;
    }
    return documents;
}

// The pages of a PDF rendered at the given pixels per millimetre, in order.
std::vector<QImage> renderedPages(const QByteArray& pdf, int pixelsPerMm)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("job.pdf"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(pdf);
    file.close();
    runTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(25.4 * pixelsPerMm), QStringLiteral("-gray"),
                                            path, folder.filePath(QStringLiteral("page"))});
    std::vector<QImage> pages;
    for (const QString& name : QDir(folder.path()).entryList({QStringLiteral("page-*.pgm")}, QDir::Files, QDir::Name))
        pages.push_back(QImage(folder.filePath(name)));
    return pages;
}

// The page numbers a PDF's pages show by the height of their black box, in order (an empty page 0).
std::vector<int> pageNumbersOf(const QByteArray& pdf)
{
    std::vector<int> numbers;
    for (const QImage& page : renderedPages(pdf, 1)) {
        int number = 0;
        for (int y = 35; y < page.height() && number == 0; ++y) {
            if (qGray(page.pixel(20, y)) < 128)
                number = int(std::lround((y - 30) / 10.0));
        }
        numbers.push_back(number);
    }
    return numbers;
}

class Printing : public testing::Test {
protected:
    void SetUp() override
    {
        QString failure;
        m_scheduler = PrintScheduler::instance({{plainQueue, 0}, {marginQueue, 4}}, &failure);
        ASSERT_TRUE(m_scheduler) << "no CUPS scheduler for the test: " << failure.toStdString();
        ASSERT_TRUE(PrinterList::instance().hasPhysicalPrinters());
        PrinterList::instance().setCurrent(PrinterList::instance().indexOf(plainQueue));
        m_scheduler->clearJobs();
    }

    // The documents each queue received, once the scheduler has sent everything on.
    std::vector<QByteArray> jobsOf(const QString& queue)
    {
        EXPECT_TRUE(m_scheduler->waitUntilIdle());
        return m_scheduler->catcher(queue).jobs();
    }

    std::vector<int> printedPages(const QString& queue = plainQueue)
    {
        std::vector<int> pages;
        for (const QByteArray& job : jobsOf(queue)) {
            for (const QByteArray& document : documentsOf(job)) {
                const std::vector<int> numbers = pageNumbersOf(document);
                pages.insert(pages.end(), numbers.begin(), numbers.end());
            }
        }
        return pages;
    }

    PrintScheduler* m_scheduler = nullptr;
};

TEST_F(Printing, TheSystemsPrintersAreListedWithTheDefaultCurrent)
{
    EXPECT_EQ(PrinterList::instance().names(), QStringList({marginQueue, plainQueue}));
    EXPECT_EQ(PrinterList::instance().indexOf(QStringLiteral("quittung-margin")), 0);
    EXPECT_EQ(PrinterList::instance().indexOf(QStringLiteral("Default")), -1);
    Printer& margin = PrinterList::instance().printer(0);
    ASSERT_TRUE(margin.initialise());
    EXPECT_EQ(margin.margins(), QMarginsF(4, 4, 4, 4));
    EXPECT_EQ(margin.paperWidth(), 210);
}

TEST_F(Printing, PagesGoOutInTheOrderTheOptionsAsk)
{
    struct Case {
        const char* name;
        QString pageNumbers;
        PrintPages which;
        bool reverse;
        int copies;
        bool collate;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"all", {}, PrintPages::All, false, 1, true, {1, 2, 3, 4, 5}},
        {"ranges", QStringLiteral("1,3-4"), PrintPages::All, false, 1, true, {1, 3, 4}},
        {"open range", QStringLiteral("2-"), PrintPages::All, false, 1, true, {2, 3, 4, 5}},
        {"reverse", {}, PrintPages::All, true, 1, true, {5, 4, 3, 2, 1}},
        {"odd", {}, PrintPages::Odd, false, 1, true, {1, 3, 5}},
        {"even reversed", {}, PrintPages::Even, true, 1, true, {4, 2}},
        {"collated copies", QStringLiteral("1-2"), PrintPages::All, false, 2, true, {1, 2, 1, 2}},
    };
    NumberedReport report(5);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_scheduler->clearJobs();
        report.options().setPageNumbers(c.pageNumbers);
        report.options().setPrintPages(c.which);
        report.options().setReverse(c.reverse);
        report.options().setCopies(c.copies);
        report.options().setCollate(c.collate);
        ASSERT_TRUE(printReport(report.engine));
        EXPECT_EQ(jobsOf(plainQueue).size(), 1u);
        EXPECT_EQ(printedPages(), c.expected);
        EXPECT_EQ(report.options().pageNumbers(), c.pageNumbers);
    }
    EXPECT_EQ(report.host.shown, QStringList());
    EXPECT_EQ(report.host.progress.first(), QStringLiteral("start:"));
    EXPECT_EQ(report.host.progress.last(), QStringLiteral("stop"));
    EXPECT_TRUE(report.host.progress.contains(QStringLiteral("message:Printing page 4")));
}

TEST_F(Printing, UncollatedCopiesAreTheDevicesWork)
{
    NumberedReport report(2);
    report.options().setCopies(2);
    report.options().setCollate(false);
    ASSERT_TRUE(printReport(report.engine));
    const std::vector<QByteArray> jobs = jobsOf(plainQueue);
    ASSERT_EQ(jobs.size(), 1u);
    // One document of two pages, which the device takes twice.
    const QList<QByteArray> documents = documentsOf(jobs[0]);
    ASSERT_EQ(documents.size(), 2);
    EXPECT_EQ(pageNumbersOf(documents[0]), std::vector<int>({1, 2}));
    EXPECT_EQ(documents[1], documents[0]);
}

TEST_F(Printing, TwoSidedCopiesStartOnASheetOfTheirOwn)
{
    NumberedReport report(3);
    report.options().setCopies(2);
    report.options().setDuplex(static_cast<int>(DuplexMode::Vertical));
    ASSERT_TRUE(printReport(report.engine));
    EXPECT_EQ(printedPages(), std::vector<int>({1, 2, 3, 0, 1, 2, 3, 0}));
}

TEST_F(Printing, ReportMarginsAreMeasuredFromTheSheetsEdge)
{
    NumberedReport report(1);
    report.options().setPrinter(marginQueue);
    ASSERT_TRUE(printReport(report.engine));
    const std::vector<QByteArray> jobs = jobsOf(marginQueue);
    ASSERT_EQ(jobs.size(), 1u);
    // The box of page 1 starts 10 mm from the paper's left edge; at 10 pixels per millimetre.
    const std::vector<QImage> pages = renderedPages(jobs[0], 10);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NEAR(pages[0].width(), 1480, 10); // A5
    int left = -1;
    for (int x = 0; x < pages[0].width() && left < 0; ++x) {
        if (qGray(pages[0].pixel(x, 420)) < 128)
            left = x;
    }
    EXPECT_NEAR(left / 10.0, 10, 0.5);
}

TEST_F(Printing, PrintingToAFileSendsNothing)
{
    NumberedReport report(2);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("receipt.prn"));
    report.options().setPrnOutFileName(path);
    ASSERT_TRUE(printReport(report.engine));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(pageNumbersOf(file.readAll()), std::vector<int>({1, 2}));
    EXPECT_TRUE(jobsOf(plainQueue).empty());
    EXPECT_EQ(report.options().prnOutFileName(), path);
}

// Runs the dialog the next print opens: act changes it, then OK or Cancel.
void answerDialog(std::function<void(PrintDialog&)> act, const char* button)
{
    QTimer::singleShot(0, [act = std::move(act), button] {
        auto* dialog = dynamic_cast<PrintDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
        dialog->findChild<QPushButton*>(QString::fromLatin1(button))->click();
    });
}

TEST_F(Printing, TheDialogsChoicesLastForOnePrintAndItsPrinterStays)
{
    NumberedReport report(3);
    report.options().setShowDialog(true);
    answerDialog([](PrintDialog& dialog) {
        dialog.findChild<QComboBox*>(QStringLiteral("printerBox"))->setCurrentText(marginQueue);
        dialog.findChild<QLineEdit*>(QStringLiteral("pagesEdit"))->setText(QStringLiteral("3"));
        dialog.findChild<QRadioButton*>(QStringLiteral("pagesButton"))->setChecked(true);
        dialog.findChild<QComboBox*>(QStringLiteral("orderBox"))->setCurrentIndex(1);
    }, "okButton");
    ASSERT_TRUE(printReport(report.engine));
    EXPECT_EQ(printedPages(marginQueue), std::vector<int>({3}));
    EXPECT_EQ(report.options().pageNumbers(), QString());
    EXPECT_FALSE(report.options().reverse());

    m_scheduler->clearJobs();
    answerDialog([](PrintDialog& dialog) {
        dialog.findChild<QRadioButton*>(QStringLiteral("currentButton"))->setChecked(true);
    }, "okButton");
    ASSERT_TRUE(printReport(report.engine, 2));
    EXPECT_EQ(printedPages(marginQueue), std::vector<int>({2}));

    m_scheduler->clearJobs();
    answerDialog([](PrintDialog& dialog) {
        dialog.findChild<QComboBox*>(QStringLiteral("printerBox"))->setCurrentText(plainQueue);
    }, "cancelButton");
    EXPECT_FALSE(printReport(report.engine));
    EXPECT_EQ(PrinterList::instance().current().name(), marginQueue);
    EXPECT_TRUE(jobsOf(marginQueue).empty());
    EXPECT_TRUE(jobsOf(plainQueue).empty());
}

TEST_F(Printing, CancelInTheProgressWindowEndsThePrintout)
{
    NumberedReport report(4);
    report.host.cancelAfterMessages = 2;
    ASSERT_TRUE(printReport(report.engine));
    const std::vector<int> pages = printedPages();
    EXPECT_LE(pages.size(), 2u);
    EXPECT_EQ(report.host.progress.last(), QStringLiteral("stop"));
}

TEST_F(Printing, APageRangeThatIsNoNumberPrintsNothing)
{
    NumberedReport report(2);
    report.options().setPageNumbers(QStringLiteral("1,x"));
    EXPECT_ANY_THROW(printReport(report.engine));
    EXPECT_EQ(report.options().pageNumbers(), QStringLiteral("1,x"));
    EXPECT_TRUE(jobsOf(plainQueue).empty());
}

// A system without printers: the printer list lives for the process, so a child process of this
// program, pointed at a scheduler without queues, tells.
TEST(PrintingWithoutPrinters, SaysSoAndReturnsFalse)
{
    if (!qEnvironmentVariableIsSet(noQueuesVariable)) {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(noQueuesVariable), QStringLiteral("1"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
            {QStringLiteral("--gtest_filter=PrintingWithoutPrinters.SaysSoAndReturnsFalse")});
        ASSERT_TRUE(child.waitForFinished(120000));
        const QString output = QString::fromLocal8Bit(child.readAll());
        EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
        return;
    }
    QString failure;
    ASSERT_TRUE(PrintScheduler::instance({}, &failure)) << "no CUPS scheduler for the test: " << failure.toStdString();
    NumberedReport report(1);
    EXPECT_FALSE(printReport(report.engine));
    EXPECT_EQ(report.host.shown, QStringList({QStringLiteral("Error|No printers installed on your system")}));
    EXPECT_EQ(report.host.progress, QStringList());
    EXPECT_FALSE(PrinterList::instance().hasPhysicalPrinters());
    EXPECT_EQ(PrinterList::instance().names(), QStringList({QStringLiteral("Virtual")}));
}

} // namespace
