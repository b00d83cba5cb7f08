// quittung-cli run as the user runs it: a copy of the program in a temporary program folder, its
// output files checked with djpeg, qpdf and pdftotext.

#include "app/receipt_job.h"
#include "settings/ini_settings.h"
#include "tests/support/tool_run.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>

using namespace quittung;

namespace {

struct CliRun {
    int status = -1;
    QStringList files;
    QString errors;
};

// A batch of rows "Kunde 0" … with 10 € each.
QByteArray customersCsv(int rows)
{
    QByteArray csv = "von;brutto\n";
    for (int i = 0; i < rows; ++i)
        csv += "Kunde " + QByteArray::number(i) + ";10\n";
    return csv;
}

bool isCompleteJpeg(const QString& file)
{
    return runTool(QStringLiteral("djpeg"), {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), file}).exitCode == 0;
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        QDir program(folder.path());
        ASSERT_TRUE(program.mkpath(QStringLiteral("Forms")));
        for (const char* form : {"Quittung.Dat", "QuittungA4.Dat"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(QUITTUNG_FORMS_DIR "/") + QString::fromLatin1(form),
                path("Forms/") + QString::fromLatin1(form)));
        ASSERT_TRUE(QFile::copy(QStringLiteral(QUITTUNG_CLI), path("quittung-cli")));
        writeFile("Settings.ini", "[Telvo]\r\nQID=41\r\n");
    }

    QString path(const QString& relative) const { return folder.filePath(relative); }
    QString path(const char* relative) const { return path(QString::fromUtf8(relative)); }
    void writeFile(const char* name, const QByteArray& content)
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray readFile(const char* name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void start(QProcess& process, const QStringList& arguments) const
    {
        process.setWorkingDirectory(folder.path());
        process.start(path("quittung-cli"), arguments);
        ASSERT_TRUE(process.waitForStarted());
    }
    static CliRun finish(QProcess& process)
    {
        EXPECT_TRUE(process.waitForFinished(120000));
        CliRun run;
        run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.files = QString::fromLocal8Bit(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        run.errors = QString::fromLocal8Bit(process.readAllStandardError());
        return run;
    }
    CliRun cli(const QStringList& arguments) const
    {
        QProcess process;
        start(process, arguments);
        return finish(process);
    }
    // The numbers of the receipts a run wrote, from their file names.
    static QList<int> numbers(const QStringList& files)
    {
        QList<int> found;
        for (const QString& file : files)
            found << QFileInfo(file).fileName().section(u'-', 0, 0).toInt();
        return found;
    }
    int storedCounter() const
    {
        settings::IniSettings store;
        app::configureReceiptSettings(store, folder.path());
        return store.readInteger(QStringLiteral("QID"), 0);
    }

    QTemporaryDir folder;
};

} // namespace

TEST_F(CliTest, OneReceiptFromEveryOption)
{
    const CliRun run = cli({"--nummer", "7", "--ort", "Hamburg", "--datum", "2020-07-03", "--von", "Muster GmbH", "--fuer",
        "Beratung\nund Schulung", "--netto", "100", "--mwst", "19", "--format", "a4-2", "--jpg", "beleg.jpg", "--pdf",
        "ablage/"});
    EXPECT_EQ(run.status, 0) << run.errors.toStdString();
    ASSERT_FALSE(run.files.isEmpty());
    // Each page a JPEG file of its own, as the window writes them.
    for (const char* page : {"beleg.1.jpg", "beleg.2.jpg"}) {
        EXPECT_TRUE(run.files.contains(QString::fromLatin1(page))) << run.files.join(u',').toStdString();
        EXPECT_TRUE(isCompleteJpeg(path(page))) << page;
        EXPECT_EQ(readFile(page).count("\xFF\xD8"), 1) << page << " holds more than one image";
    }
    EXPECT_FALSE(QFile::exists(path("beleg.jpg")));
    // A given number leaves the counter alone.
    EXPECT_EQ(storedCounter(), 41);

    const QString pdf = path("ablage/7-07-03-20-Muster GmbH.PDF");
    ASSERT_TRUE(QFile::exists(pdf)) << run.files.join(u',').toStdString();
    EXPECT_TRUE(run.files.contains(QStringLiteral("ablage/") + QFileInfo(pdf).fileName()));
    EXPECT_EQ(runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf}).exitCode, 0);
    const QString text = runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).out;
    for (const char* expected : {"Muster GmbH", "Hamburg", "und Schulung", "119,00", "EINHUNDERTNEUNZEHN"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
}

TEST_F(CliTest, UsageErrorsAndHelp)
{
    EXPECT_EQ(cli({"--help"}).status, 0);
    for (const QStringList& arguments : {QStringList{"--farbe", "rot"}, QStringList{"--von"}, QStringList{"frei"},
             QStringList{"--csv", "fehlt.csv"}, QStringList{"--jobs", "0"}}) {
        const CliRun run = cli(arguments);
        EXPECT_EQ(run.status, 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(run.files.isEmpty());
    }
}

// quittung-cli links no printing: a run that prints goes on in its twin, which finds no printer
// behind a scheduler that is not there.
TEST_F(CliTest, PrintingIsHandedToTheTwinThatPrints)
{
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUITTUNG_CLI_PRINTING), path("quittung-cli-druck")));
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CUPS_SERVER"), QStringLiteral("127.0.0.1:9"));
    process.setProcessEnvironment(environment);
    start(process, {"--nummer", "1", "--von", "A", "--brutto", "1", "--drucken"});
    const CliRun run = finish(process);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("kein Drucker"))) << run.errors.toStdString();
}

TEST_F(CliTest, WithoutANumberTheWindowsCounterGivesTheNextAndAdvances)
{
    const CliRun run = cli({"--von", "A", "--brutto", "10", "--datum", "2020-07-03", "--jpg"});
    EXPECT_EQ(run.status, 0) << run.errors.toStdString();
    EXPECT_EQ(run.files, QStringList{path("JPG/42-07-03-20-A.1.jpg")});
    EXPECT_EQ(storedCounter(), 42);
}

// Two batches at once take their numbers under the settings file's lock: none is given twice.
TEST_F(CliTest, ConcurrentRunsNeverShareANumber)
{
    writeFile("a.csv", customersCsv(6));
    QProcess first;
    QProcess second;
    start(first, {"--csv", "a.csv", "--jpg", "a"});
    start(second, {"--csv", "a.csv", "--jpg", "b"});
    const CliRun one = finish(first);
    const CliRun two = finish(second);
    ASSERT_EQ(one.status, 0) << one.errors.toStdString();
    ASSERT_EQ(two.status, 0) << two.errors.toStdString();
    const QList<int> all = numbers(one.files) + numbers(two.files);
    EXPECT_EQ(all.size(), 12);
    EXPECT_EQ(QSet<int>(all.begin(), all.end()).size(), 12);
    EXPECT_EQ(storedCounter(), 53);
    // Each batch numbers its rows in order.
    const QList<int> ofOne = numbers(one.files);
    EXPECT_TRUE(std::is_sorted(ofOne.begin(), ofOne.end()));
}

TEST_F(CliTest, BadRowsAreReportedAndTheOthersMade)
{
    writeFile("mixed.csv",
        "nummer;von;datum;brutto\n"
        "1;Gut;2020-07-03;119\n"
        "2;Falscher Betrag;2020-07-03;abc\n"
        "3;Falsches Datum;31.31.2020;10\n"
        "4;a/b;2020-07-03;10\n"
        "5;Auch gut;2020-07-03;10.50\n");
    const CliRun run = cli({"--csv", "mixed.csv", "--jpg", "out"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.files, (QStringList{"out/1-07-03-20-Gut.1.jpg", "out/5-07-03-20-Auch gut.1.jpg"}));
    for (const QString& file : run.files)
        EXPECT_TRUE(isCompleteJpeg(path(file))) << file.toStdString();
    // Qt's own warnings may stand between them.
    const QStringList lines = run.errors.split(u'\n').filter(QRegularExpression(QStringLiteral("^Zeile ")));
    ASSERT_EQ(lines.size(), 3) << run.errors.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("Zeile 3: 'abc' ist kein gültiger Gleitkommawert."));
    EXPECT_EQ(lines[1], QStringLiteral("Zeile 4: '31.31.2020' ist kein gültiges Datum."));
    EXPECT_EQ(lines[2], QStringLiteral("Zeile 5: Datei \"out/4-07-03-20-a/b.JPG\" kann nicht erstellt werden. Der Name "
                                       "enthält einen Schrägstrich (/), der aus dem Ausgabeordner führen würde."));
}

TEST_F(CliTest, SeparatorsQuotesAndEncodingsAreRead)
{
    const struct {
        const char* name;
        QByteArray csv;
    } cases[] = {
        {"semicolon, UTF-8 with mark", "\xEF\xBB\xBFvon;fuer;brutto\n\"M\xC3\xBCller; Sohn\";\"Zeile 1\nZeile \"\"2\"\"\";10\n"},
        {"comma, UTF-8", "von,fuer,brutto\r\n\"M\xC3\xBCller; Sohn\",\"Zeile 1\r\nZeile \"\"2\"\"\",10\r\n"},
        {"semicolon, Windows-1252", "von;fuer;brutto\n\"M\xFCller; Sohn\";\"Zeile 1\nZeile \"\"2\"\"\";10\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile("rows.csv", c.csv);
        const CliRun run = cli({"--csv", "rows.csv", "--nummer", "9", "--datum", "2020-07-03", "--jpg", "enc"});
        EXPECT_EQ(run.status, 0) << run.errors.toStdString();
        EXPECT_EQ(run.files, QStringList{QStringLiteral("enc/9-07-03-20-Müller; Sohn.1.jpg")});
        QFile::remove(path("enc/9-07-03-20-Müller; Sohn.1.jpg"));
    }
}

// The receipts of a batch embed the same subset of each font (their tags, which stand for the
// glyphs kept, agree), each a valid file with its own texts; the two fonts of a file keep tags of
// their own.
TEST_F(CliTest, TheReceiptsOfABatchShareTheirFontSubsets)
{
    writeFile("rows.csv",
        "von;fuer;brutto\n"
        "Anna Zahl;Miete;119\n"
        "Bäckerei Öz;\"Spende\nfür Kinder\";7.35\n"
        "Quast & Co.;Beitrag 2020;1234.56\n");
    const CliRun run = cli({"--csv", "rows.csv", "--datum", "2020-07-03", "--format", "a4-2", "--pdf", "out"});
    ASSERT_EQ(run.status, 0) << run.errors.toStdString();
    ASSERT_EQ(run.files.size(), 3);
    QStringList fontsOfFirst;
    for (int i = 0; i < 3; ++i) {
        const QString pdf = path(run.files[i]);
        EXPECT_EQ(runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf}).exitCode, 0);
        EXPECT_TRUE(runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).out.contains(
            QStringList{QStringLiteral("Anna Zahl"), QStringLiteral("Bäckerei Öz"), QStringLiteral("Quast & Co.")}[i]));
        // "ABCDEF+Arial  CID TrueType  Identity-H  yes yes yes  3 0" below two header lines.
        QStringList fonts = runTool(QStringLiteral("pdffonts"), {pdf}).out.split(u'\n', Qt::SkipEmptyParts).mid(2);
        for (QString& font : fonts)
            font = font.section(u' ', 0, 0);
        ASSERT_EQ(fonts.size(), 2) << fonts.join(u' ').toStdString();
        EXPECT_NE(fonts[0].left(6), fonts[1].left(6));
        if (i == 0)
            fontsOfFirst = fonts;
        else
            EXPECT_EQ(fonts, fontsOfFirst);
    }
}

// On a terminal a batch draws its progress over itself on standard error; into a pipe it does not.
TEST_F(CliTest, ABatchShowsItsProgressOnATerminalOnly)
{
    writeFile("rows.csv", customersCsv(3));
    // script(1) gives the tool a terminal and copies what it writes there.
    QProcess process;
    process.setWorkingDirectory(folder.path());
    process.start(QStringLiteral("script"), {QStringLiteral("-qec"), QStringLiteral("./quittung-cli --csv rows.csv --pdf out"),
                                             QStringLiteral("/dev/null")});
    ASSERT_TRUE(process.waitForStarted());
    const CliRun onTerminal = finish(process);
    EXPECT_EQ(onTerminal.status, 0) << onTerminal.errors.toStdString();
    const QString screen = onTerminal.files.join(u'\n');
    EXPECT_TRUE(screen.contains(QStringLiteral("\r[%1] 3/3").arg(QString(30, u'#')))) << screen.toStdString();

    const CliRun piped = cli({"--csv", "rows.csv", "--pdf", "out"});
    EXPECT_EQ(piped.status, 0);
    EXPECT_FALSE(piped.errors.contains(u'#')) << piped.errors.toStdString();
}

// Files wait open for their group to be named; with many threads and a low limit of open files
// the groups shrink, and every receipt is still made.
TEST_F(CliTest, ManyThreadsKeepWithinTheLimitOfOpenFiles)
{
    writeFile("many.csv", customersCsv(160));
    QProcess process;
    process.setWorkingDirectory(folder.path());
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("ulimit -n 64 && exec ./quittung-cli \"$@\""),
                                              QStringLiteral("sh"), QStringLiteral("--csv"), QStringLiteral("many.csv"),
                                              QStringLiteral("--jobs"), QStringLiteral("8"), QStringLiteral("--pdf"),
                                              QStringLiteral("out")});
    ASSERT_TRUE(process.waitForStarted());
    const CliRun run = finish(process);
    EXPECT_EQ(run.status, 0) << run.errors.toStdString();
    EXPECT_EQ(run.files.size(), 160);
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files).size(), 160);
}

// A batch killed midway leaves only complete receipts under their names.
TEST_F(CliTest, AnInterruptedBatchLeavesOnlyCompleteFiles)
{
    writeFile("many.csv", customersCsv(400));
    QProcess process;
    start(process, {"--csv", "many.csv", "--jpg", "out", "--datum", "2020-07-03"});
    QByteArray listed;
    while (listed.count('\n') < 3 && process.waitForReadyRead(60000))
        listed += process.readAllStandardOutput();
    process.kill();
    process.waitForFinished();
    const QStringList receipts = QDir(path("out")).entryList({QStringLiteral("*.jpg")}, QDir::Files);
    ASSERT_GE(receipts.size(), 3);
    EXPECT_LT(receipts.size(), 400);
    for (const QString& receipt : receipts)
        EXPECT_TRUE(isCompleteJpeg(path("out/") + receipt)) << receipt.toStdString();
}

// A batch made on several threads writes exactly the files, lines and numbers of one made on one.
TEST_F(CliTest, ABatchOnSeveralThreadsMatchesOneThread)
{
    QByteArray csv = "nummer;von;fuer;brutto;format\n";
    for (int i = 0; i < 9; ++i) {
        const QByteArray row = QByteArray::number(i);
        // Every third row brings its number; one row cannot be made.
        csv += (i % 3 == 0 ? "7" + row : QByteArray()) + ";Kunde " + row + ";\"Miete\nMonat " + row + "\";"
            + (i == 4 ? "abc" : QByteArray::number(10 + i)) + ";" + (i % 2 ? "a4-2" : "a5") + "\n";
    }
    writeFile("rows.csv", csv);
    struct Batch {
        CliRun run;
        QMap<QString, QByteArray> files;
    };
    const auto batch = [&](const QString& into, const QStringList& options) {
        writeFile("Settings.ini", "[Telvo]\r\nQID=41\r\n");
        Batch made;
        made.run = cli(QStringList{"--csv", "rows.csv", "--datum", "2020-07-03", "--pdf", into} + options);
        for (QString& file : made.run.files) {
            const QByteArray written = file.toUtf8();
            file = QFileInfo(file).fileName();
            // The PDF's text, as its bytes hold the time it was made.
            made.files[file] = file.endsWith(QLatin1String(".PDF"))
                ? runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path(written.constData()), QStringLiteral("-")}).out.toUtf8()
                : readFile(written.constData());
        }
        return made;
    };
    const Batch one = batch(QStringLiteral("one"), {"--jpg", "one", "--jobs", "1"});
    const Batch several = batch(QStringLiteral("several"), {"--jpg", "several", "--jobs", "4"});
    // Without JPEG files the tool starts without Qt's GUI platform; its PDFs stay the same.
    const Batch pdfOnly = batch(QStringLiteral("pdf"), {});
    EXPECT_EQ(one.run.status, 1);
    EXPECT_EQ(several.run.status, 1);
    EXPECT_EQ(several.run.files, one.run.files);
    // Qt's own warnings may stand between the rows' lines.
    const auto rowErrors = [](const CliRun& run) {
        return run.errors.split(u'\n').filter(QRegularExpression(QStringLiteral("^Zeile ")));
    };
    EXPECT_EQ(rowErrors(one.run), QStringList{QStringLiteral("Zeile 10: 'abc' ist kein gültiger Gleitkommawert.")});
    EXPECT_EQ(rowErrors(several.run), rowErrors(one.run));
    // Eight PDFs and a JPEG for each page: two for the four rows on A4 with the copy.
    ASSERT_EQ(one.files.size(), 20);
    EXPECT_EQ(numbers(one.run.files).first(), 70);
    EXPECT_EQ(numbers(one.run.files).mid(2, 4), (QList<int>{42, 42, 42, 43}));
    for (auto file = one.files.begin(); file != one.files.end(); ++file) {
        EXPECT_FALSE(file.value().isEmpty()) << file.key().toStdString();
        EXPECT_EQ(several.files.value(file.key()), file.value()) << file.key().toStdString();
        if (file.key().endsWith(QLatin1String(".PDF"))) {
            EXPECT_EQ(pdfOnly.files.value(file.key()), file.value()) << file.key().toStdString();
        }
    }
    EXPECT_EQ(pdfOnly.files.size(), 8);
    EXPECT_EQ(storedCounter(), 41 + 6);
}

// Two outputs of one run never write one file: the later option or row is refused and says which
// wrote it, the earlier one's file stands; an older file from an earlier run is replaced.
TEST_F(CliTest, OutputsOfOneRunNeverReplaceEachOther)
{
    const QStringList receipt = {"--von", "A", "--brutto", "10", "--datum", "2020-07-03"};
    CliRun run = cli(receipt + QStringList{"--pdf", "beleg.1.jpg", "--jpg", "beleg.jpg"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.files, QStringList{"beleg.1.jpg"});
    EXPECT_TRUE(run.errors.contains(
        QStringLiteral("--jpg: Die Datei \"beleg.jpg\" schreibt in diesem Aufruf schon --pdf; sie wird nicht ersetzt.")))
        << run.errors.toStdString();
    EXPECT_TRUE(readFile("beleg.1.jpg").startsWith("%PDF-"));

    // One name for both: the PDF takes it, the JPEG its page's name beside it.
    run = cli(receipt + QStringList{"--pdf", "beleg", "--jpg", "beleg"});
    EXPECT_EQ(run.status, 0) << run.errors.toStdString();
    EXPECT_EQ(run.files, (QStringList{"beleg", "beleg.1.jpg"}));
    EXPECT_TRUE(readFile("beleg").startsWith("%PDF-"));
    EXPECT_TRUE(isCompleteJpeg(path("beleg.1.jpg")));

    writeFile("twice.csv", "nummer;von;brutto\n5;A;10\n6;B;10\n5;A;20\n");
    run = cli({"--csv", "twice.csv", "--datum", "2020-07-03", "--pdf", "out"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.files, (QStringList{"out/5-07-03-20-A.PDF", "out/6-07-03-20-B.PDF"}));
    EXPECT_TRUE(run.errors.contains(QStringLiteral("Zeile 4: --pdf: Die Datei \"out/5-07-03-20-A.PDF\" schreibt in "
                                                   "diesem Aufruf schon Zeile 2 (--pdf); sie wird nicht ersetzt.")))
        << run.errors.toStdString();
    const QString text = runTool(QStringLiteral("pdftotext"), {path("out/5-07-03-20-A.PDF"), QStringLiteral("-")}).out;
    EXPECT_TRUE(text.contains(QStringLiteral("10,00"))) << text.toStdString();

    // The same batch again replaces the files of the first run.
    writeFile("twice.csv", "nummer;von;brutto\n5;A;30\n");
    run = cli({"--csv", "twice.csv", "--datum", "2020-07-03", "--pdf", "out"});
    EXPECT_EQ(run.status, 0) << run.errors.toStdString();
    EXPECT_TRUE(runTool(QStringLiteral("pdftotext"), {path("out/5-07-03-20-A.PDF"), QStringLiteral("-")})
                    .out.contains(QStringLiteral("30,00")));
}

// A device or a FIFO as the target is refused and stays what it is.
TEST_F(CliTest, DevicesAndPipesAreNeverReplaced)
{
    const QString fifo = path("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QStringList receipt = {"--von", "A", "--brutto", "10", "--datum", "2020-07-03"};
    for (const QString& target : {QStringLiteral("/dev/null"), fifo}) {
        SCOPED_TRACE(target.toStdString());
        const CliRun run = cli(receipt + QStringList{"--pdf", target});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.files.isEmpty()) << run.files.join(u',').toStdString();
        EXPECT_TRUE(run.errors.contains(QStringLiteral("Datei \"%1\" kann nicht erstellt werden.").arg(target)))
            << run.errors.toStdString();
        struct stat status {};
        ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &status), 0);
        EXPECT_FALSE(S_ISREG(status.st_mode));
    }
}
