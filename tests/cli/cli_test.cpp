// quittung-cli run as the user runs it: a copy of the program in a temporary program folder, its
// output files checked with djpeg, qpdf and pdftotext. The tool runs under C.UTF-8 (as on servers
// and in cron jobs) unless a test says otherwise: what it reads and writes must not depend on it.

#include "app/receipt_job.h"
#include "settings/ini_settings.h"
#include "tests/support/tool_run.h"
#include "tools/example_receipt.h"

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
#include <csignal>

#include <sys/stat.h>
#include <unistd.h>

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

class CliWithTools : public ::testing::Test {
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
    // The environment the tool runs in: this one under C.UTF-8, without a runtime folder for Qt to
    // remark on.
    static QProcessEnvironment environment(const QString& locale = QStringLiteral("C.UTF-8"))
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LC_ALL", "LC_NUMERIC", "LC_TIME", "LANGUAGE", "XDG_RUNTIME_DIR"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("LANG"), locale);
        return environment;
    }
    void start(QProcess& process, const QStringList& arguments) const
    {
        process.setWorkingDirectory(folder.path());
        if (process.processEnvironment().isEmpty())
            process.setProcessEnvironment(environment());
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
    CliRun cli(const QStringList& arguments, const QByteArray& input = QByteArray()) const
    {
        QProcess process;
        start(process, arguments);
        process.write(input);
        process.closeWriteChannel();
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
    // Every file in the folders receipts go to, relative to the program folder.
    QStringList receiptsOnDisk() const
    {
        QStringList files;
        for (const char* folderName : {"out", "PDF", "JPG"}) {
            const QString name = QString::fromLatin1(folderName);
            for (const QString& file : QDir(path(name)).entryList(QDir::Files | QDir::Hidden))
                files << name + u'/' + file;
        }
        files.sort();
        return files;
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

TEST_F(CliWithTools, OneReceiptFromEveryOption)
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

    const QString pdf = path("ablage/7-03.07.2020-Muster GmbH.PDF");
    ASSERT_TRUE(QFile::exists(pdf)) << run.files.join(u',').toStdString();
    EXPECT_TRUE(run.files.contains(QStringLiteral("ablage/") + QFileInfo(pdf).fileName()));
    EXPECT_EQ(runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf}).exitCode, 0);
    const QString text = runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).out;
    for (const char* expected : {"Muster GmbH", "Hamburg", "und Schulung", "119,00", "EINHUNDERTNEUNZEHN"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
}

// Every input as the tool gets it, each with what must come of it: the messages on standard error,
// the files listed on standard output (which are all the files in the receipt folders) and the
// receipt counter, which only receipts on disk advance.
TEST_F(CliWithTools, EveryInputGivesItsMessageStatusFilesAndCounter)
{
    const QString hint = QStringLiteral("\"quittung-cli --help\" zeigt die Optionen.");
    const auto receipt = [](const QStringList& fields) {
        return QStringList{"--datum", "2020-07-03", "--pdf", "out/"} + fields;
    };
    const QStringList batch = {"--csv", "rows.csv", "--datum", "2020-07-03", "--pdf", "out/"};
    const QStringList notMade;
    const struct {
        const char* name;
        QStringList arguments;
        QByteArray csv; // rows.csv, written when the arguments name it
        int status;
        QStringList errors;
        QStringList files;
        int counter;
        // In the text of the first file.
        const char* text = nullptr;
        QByteArray input = {};
    } cases[] = {
        // A template that cannot be read makes no file.
        {"template missing", receipt({"--von", "A", "--brutto", "10", "--vorlage", "/nonexistent.Dat"}), {}, 1,
            {"Vorlage \"/nonexistent.Dat\": Die Datei gibt es nicht."}, notMade, 41},
        {"template a folder", receipt({"--von", "A", "--brutto", "10", "--vorlage", "/tmp"}), {}, 1,
            {"Vorlage \"/tmp\": Das ist ein Ordner, keine Datei."}, notMade, 41},
        {"template a device", receipt({"--von", "A", "--brutto", "10", "--vorlage", "/dev/zero"}), {}, 1,
            {"Vorlage \"/dev/zero\": Das ist keine gewöhnliche Datei."}, notMade, 41},
        {"template not a template", receipt({"--von", "A", "--brutto", "10", "--vorlage", "kaputt.Dat"}), {}, 1,
            {"Vorlage \"kaputt.Dat\": Ungültiges Dateiformat"}, notMade, 41},
        {"template without a page", receipt({"--von", "A", "--brutto", "10", "--vorlage", "ohne-seite.Dat"}), {}, 1,
            {"Vorlage \"ohne-seite.Dat\": Die Vorlage hat keine Seite, die gedruckt wird."}, notMade, 41},

        // CSV files by RFC 4180: a broken row is named with its line, the rows after it are made.
        {"quote inside a field", batch, "von;fuer;brutto\nA;x\"y;10\nB;ok;20\n", 1,
            {"Zeile 2: Spalte \"fuer\": Anführungszeichen mitten im Feld; ein Feld mit Anführungszeichen steht ganz "
             "in Anführungszeichen, und jedes darin wird verdoppelt (\"x\"\"y\")."},
            {"out/42-03.07.2020-B.PDF"}, 42, "ok"},
        {"quote never closed", batch, "von;fuer;brutto\nA;\"offen;10\nB;ok;20\n\nC;ok;30\n", 1,
            {"Zeile 2: Spalte \"fuer\": Das Anführungszeichen in Zeile 2 wird bis zum Ende der Datei nicht geschlossen.",
                "Zeile 3: nicht erstellt: Die Zeile steht im Feld, dessen Anführungszeichen in Zeile 2 nicht "
                "geschlossen wird.",
                "Zeile 5: nicht erstellt: Die Zeile steht im Feld, dessen Anführungszeichen in Zeile 2 nicht "
                "geschlossen wird."},
            notMade, 41},
        {"line breaks in quotes, text after a closing quote", batch,
            "von;fuer;brutto\r\nA;\"Zeile 1\r\nZeile 2\";10\r\nB;\"ok\"x;20\r\nC;ok;30\r\n", 1,
            {"Zeile 4: Spalte \"fuer\": Nach dem schließenden Anführungszeichen folgt noch Text; steht ein "
             "Anführungszeichen im Feld, wird es verdoppelt (\"\")."},
            {"out/42-03.07.2020-A.PDF", "out/43-03.07.2020-C.PDF"}, 43, "Zeile 2"},
        {"a column twice", batch, "von;brutto;von\nA;10;B\n", 2,
            {"rows.csv: Die Spalte \"von\" steht zweimal in der Kopfzeile.", hint}, notMade, 41},
        {"unknown columns", batch, "von;brutto;Bemerkung;Kostenstelle\nA;10;x;y\n", 0,
            {"rows.csv: Die Spalten \"bemerkung\", \"kostenstelle\" sind unbekannt und werden übergangen; bekannt "
             "sind nummer, ort, datum, von, fuer, netto, mwst, brutto, format."},
            {"out/42-03.07.2020-A.PDF"}, 42},
        {"missing and extra fields", batch, "von;brutto\nA\nB;10;x\nC;30\n", 1,
            {"Zeile 2: Die Zeile hat ein Feld, die Kopfzeile 2 Felder; sie wird nicht erstellt.",
                "Zeile 3: Die Zeile hat 3 Felder, die Kopfzeile 2 Felder; sie wird nicht erstellt."},
            {"out/42-03.07.2020-C.PDF"}, 42},
        {"an empty file", batch, "", 1, {"rows.csv: Die Datei ist leer; es gibt keine Quittungen zu erstellen."},
            notMade, 41},
        {"a header alone", batch, "von;brutto\r\n", 1,
            {"rows.csv: Die Datei hat nur die Kopfzeile; es gibt keine Quittungen zu erstellen."}, notMade, 41},
        {"rows from standard input", {"--csv", "-", "--datum", "2020-07-03", "--pdf", "out/"}, {}, 0, {},
            {"out/42-03.07.2020-A.PDF"}, 42, nullptr, "von;brutto\nA;10\n"},
        {"a batch into one file", {"--csv", "rows.csv", "--pdf", "einzeln.pdf"}, "von;brutto\nA;10\n", 2,
            {"--pdf einzeln.pdf: Mit --csv nennt --pdf einen Ordner, einen, den es gibt, oder einen Namen mit \"/\" am "
             "Ende (einzeln.pdf/).",
                hint},
            notMade, 41},
        {"a CSV file that is a folder", {"--csv", "/tmp", "--pdf", "out/"}, {}, 2,
            {"--csv /tmp: Das ist ein Ordner, keine Datei.", hint}, notMade, 41},

        // A receipt refused takes no number.
        {"no amount", receipt({"--von", "A"}), {}, 1,
            {"Netto und Brutto fehlen: Eine Quittung braucht mindestens einen der beiden Beträge."}, notMade, 41},
        {"an empty gross amount", receipt({"--von", "A", "--brutto", ""}), {}, 1,
            {"Netto und Brutto fehlen: Eine Quittung braucht mindestens einen der beiden Beträge."}, notMade, 41},
        {"not an amount", receipt({"--von", "A", "--brutto", "1e"}), {}, 2, {"Brutto: '1e' ist kein gültiger Betrag.", hint},
            notMade, 41},
        {"no date", receipt({"--von", "A", "--brutto", "10", "--datum", "31.31.2020"}), {}, 2,
            {"Datum: '31.31.2020' ist kein gültiges Datum (2020-07-03, 03.07.2020 oder 03.07.20).", hint}, notMade, 41},
        {"a slash in the payer", receipt({"--von", "a/b", "--brutto", "10"}), {}, 1,
            {"Von: 'a/b' kann nicht im Dateinamen stehen. Der Name enthält einen Schrägstrich (/), der aus dem "
             "Ausgabeordner führen würde."},
            notMade, 41},
        {"no format", receipt({"--von", "A", "--brutto", "10", "--format", "a3"}), {}, 2,
            {"Format: 'a3' ist kein Ausgabeformat; möglich sind a5, a5-2, a4, a4-2, \"A5 - Eine Seite\", \"A5 - Zwei "
             "Seiten\", \"A4 - Eine Seite\" und \"A4 - Zwei Seiten\".",
                hint},
            notMade, 41},
        {"no output", {"--von", "A", "--brutto", "10"}, {}, 2,
            {"Keine Ausgabe gewählt: --pdf, --jpg oder --drucken fehlt.", hint}, notMade, 41},
        {"a bad row", batch, "von;brutto;mwst\nA;10;x\nB;20;7\n", 1,
            {"Zeile 2: MwSt.: 'x' ist kein gültiger Prozentsatz."}, {"out/42-03.07.2020-B.PDF"}, 42},

        // German amounts and dates under C.UTF-8; receipts and their names with German settings.
        {"decimal comma", receipt({"--von", "A", "--brutto", "119,00"}), {}, 0, {}, {"out/42-03.07.2020-A.PDF"}, 42,
            "--119,00--"},
        {"thousands and cents", receipt({"--von", "A", "--brutto", "1.234,56"}), {}, 0, {}, {"out/42-03.07.2020-A.PDF"},
            42, "--1234,56--"},
        {"thousands", receipt({"--von", "A", "--brutto", "1.234"}), {}, 0, {}, {"out/42-03.07.2020-A.PDF"}, 42,
            "--1234,00--"},
        {"decimal point", receipt({"--von", "A", "--netto", "0.5", "--mwst", "7.5"}), {}, 0, {},
            {"out/42-03.07.2020-A.PDF"}, 42, "--0,50--"},
        {"a short German date", receipt({"--von", "A", "--brutto", "10", "--datum", "3.7.20"}), {}, 0, {},
            {"out/42-03.07.2020-A.PDF"}, 42, "Berlin, 03.07.2020"},

        // Net and gross both given fit the rate to the cent.
        {"net and gross disagree", receipt({"--von", "A", "--netto", "100", "--brutto", "200", "--mwst", "19"}), {}, 1,
            {"Netto 100,00, MwSt. 19 % und Brutto 200,00 passen nicht zusammen: 100,00 und 19 % MwSt. ergeben brutto "
             "119,00."},
            notMade, 41},
        {"net and gross agree", receipt({"--von", "A", "--netto", "84,03", "--brutto", "100", "--mwst", "19"}), {}, 0, {},
            {"out/42-03.07.2020-A.PDF"}, 42, "--84,03--"},

        // Control characters would end up in file names and split the list of files.
        {"a line break in the payer", receipt({"--von", "A\nB", "--brutto", "10"}), {}, 2,
            {"Von: Das Steuerzeichen U+000A ist hier nicht erlaubt ('A\\nB').", hint}, notMade, 41},
        {"a control character in the number", receipt({"--nummer", "1\x01", "--von", "A", "--brutto", "10"}), {}, 2,
            {"Nummer: Das Steuerzeichen U+0001 ist hier nicht erlaubt ('1\\x01').", hint}, notMade, 41},
        {"an escape in the place", receipt({"--ort", "\x1b[31mBerlin", "--von", "A", "--brutto", "10"}), {}, 2,
            {"Ort: Das Steuerzeichen U+001B ist hier nicht erlaubt ('\\x1b[31mBerlin').", hint}, notMade, 41},
        {"a bell in a row", batch, "von;brutto\n\"A\x07\";10\n", 1,
            {"Zeile 2: Von: Das Steuerzeichen U+0007 ist hier nicht erlaubt ('A\\x07')."}, notMade, 41},

        // Usage errors exit with 2; Qt keeps its notes to itself.
        {"unknown option", {"--farbe", "rot"}, {}, 2, {"Unbekannte Option: --farbe", hint}, notMade, 41},
        {"missing value", {"--von"}, {}, 2, {"Die Option --von braucht einen Wert.", hint}, notMade, 41},
        {"no option", {"frei"}, {}, 2, {"Unerwartetes Argument: frei", hint}, notMade, 41},
        {"no jobs", {"--jobs", "0"}, {}, 2, {"Die Option --jobs braucht eine Zahl ab 1.", hint}, notMade, 41},
        {"JPEG files without Qt's notes", {"--von", "A", "--brutto", "10", "--datum", "2020-07-03", "--jpg", "out/"}, {},
            0, {}, {"out/42-03.07.2020-A.1.jpg"}, 42},
    };
    const QStringList fixed = {"Forms", "JPG", "PDF", "Settings.ini", "kaputt.Dat", "ohne-seite.Dat", "out",
        "quittung-cli", "rows.csv"};
    writeFile("kaputt.Dat", "Das ist keine Vorlage.\n");
    writeFile("ohne-seite.Dat", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<TfrxReport Version=\"4.0\">\n</TfrxReport>\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile("Settings.ini", "[Telvo]\r\nQID=41\r\n");
        writeFile("rows.csv", c.csv);
        for (const char* folderName : {"out", "PDF", "JPG"})
            QDir(path(folderName)).removeRecursively();
        const CliRun run = cli(c.arguments, c.input);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.errors.split(u'\n', Qt::SkipEmptyParts), c.errors);
        EXPECT_EQ(run.files, c.files);
        EXPECT_EQ(receiptsOnDisk(), c.files);
        EXPECT_EQ(storedCounter(), c.counter);
        QStringList left = QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        for (const QString& name : fixed)
            left.removeAll(name);
        EXPECT_TRUE(left.isEmpty()) << left.join(u' ').toStdString();
        if (c.text && !c.files.isEmpty()) {
            const QString text = runTool(QStringLiteral("pdftotext"), {path(c.files.first()), QStringLiteral("-")}).out;
            EXPECT_TRUE(text.contains(QString::fromUtf8(c.text))) << text.toStdString();
        }
    }
}

// The README's examples and those of --help run as written, under C.UTF-8 (servers, containers,
// cron jobs) and under German settings.
TEST_F(CliWithTools, TheExamplesRunAsWrittenInAnyLocale)
{
    QFile readme(QStringLiteral(QUITTUNG_SOURCE_DIR "/README.md"));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    QStringList examples;
    for (const QString& line : QString::fromUtf8(readme.readAll()).split(u'\n')) {
        if (line.startsWith(QLatin1String("    quittung-cli ")))
            examples << line.trimmed();
    }
    for (const QString& line : cli({"--help"}).files) {
        if (line.startsWith(QLatin1String("  quittung-cli ")))
            examples << line.trimmed();
    }
    ASSERT_EQ(examples.size(), 6) << examples.join(u'\n').toStdString();
    // The README names the example file from the repository's folder, --help from its own.
    QDir(folder.path()).mkpath(QStringLiteral("examples"));
    for (const char* copy : {"examples/quittungen.csv", "quittungen.csv"})
        ASSERT_TRUE(QFile::copy(QStringLiteral(QUITTUNG_SOURCE_DIR "/examples/quittungen.csv"), path(copy)));
    const QStringList locales = runTool(QStringLiteral("locale"), {QStringLiteral("-a")}).out.split(u'\n');
    ASSERT_TRUE(locales.contains(QStringLiteral("de_DE.utf8")))
        << "the locale de_DE.UTF-8 is not there: apt-get install locales, enable it in /etc/locale.gen and run "
           "locale-gen (scripts/setup.sh test does it)";
    for (const char* locale : {"C.UTF-8", "de_DE.UTF-8"}) {
        for (const QString& example : std::as_const(examples)) {
            SCOPED_TRACE(locale + (u' ' + example).toStdString());
            writeFile("Settings.ini", "[Telvo]\r\nQID=41\r\n");
            QProcess process;
            QProcessEnvironment shell = environment(QString::fromLatin1(locale));
            shell.insert(QStringLiteral("PATH"), folder.path() + u':' + shell.value(QStringLiteral("PATH")));
            process.setProcessEnvironment(shell);
            process.setWorkingDirectory(folder.path());
            process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), example});
            ASSERT_TRUE(process.waitForStarted());
            const CliRun run = finish(process);
            EXPECT_EQ(run.status, 0);
            EXPECT_EQ(run.errors, QString());
            EXPECT_FALSE(run.files.isEmpty());
            for (const QString& file : run.files)
                EXPECT_TRUE(QFileInfo(QDir(folder.path()).absoluteFilePath(file)).isFile()) << file.toStdString();
        }
    }
}

TEST_F(CliWithTools, HelpAndVersion)
{
    for (const char* option : {"-h", "--help"}) {
        const CliRun run = cli({option});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.files.first(), QStringLiteral("Aufruf: quittung-cli [OPTIONEN]"));
        EXPECT_TRUE(run.files.contains(QStringLiteral("  130  abgebrochen durch SIGINT oder SIGTERM")));
        EXPECT_TRUE(run.errors.isEmpty());
    }
    const CliRun version = cli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.files, QStringList{QStringLiteral("quittung-cli " QUITTUNG_VERSION)});
}

// Receipts made but not listed, because standard output cannot be written, are no success.
TEST_F(CliWithTools, AFailedWriteToStandardOutputExitsWithOne)
{
    for (const QStringList& arguments : {QStringList{"--help"}, QStringList{"--von", "A", "--brutto", "10", "--pdf", "out/"}}) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        QProcess process;
        process.setStandardOutputFile(QStringLiteral("/dev/full"));
        start(process, arguments);
        const CliRun run = finish(process);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.errors, QStringLiteral("Die Standardausgabe ließ sich nicht schreiben: Auf dem Gerät ist kein Platz mehr.\n"));
    }
    // The receipt itself was made, and its number is taken.
    EXPECT_EQ(receiptsOnDisk().size(), 1);
    EXPECT_EQ(storedCounter(), 42);
}

// An installed program folder is not the user's to write: the tool says so and where to copy it, as
// the window does, instead of reporting a locked settings file.
TEST_F(CliWithTools, AProgramFolderThatCannotBeWrittenIsExplained)
{
    ASSERT_EQ(::chmod(QFile::encodeName(folder.path()).constData(), 0555), 0);
    QProcess process;
    QStringList arguments = {"--von", "A", "--brutto", "10", "--pdf"};
    // Root writes anywhere; the tool then runs as nobody.
    if (::geteuid() == 0) {
        arguments.prepend(path("quittung-cli"));
        arguments = QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", "--"} + arguments;
        process.setWorkingDirectory(QStringLiteral("/"));
        process.setProcessEnvironment(environment());
        process.start(toolPath(QStringLiteral("setpriv")), arguments);
        ASSERT_TRUE(process.waitForStarted());
    } else {
        start(process, arguments);
    }
    const CliRun run = finish(process);
    ::chmod(QFile::encodeName(folder.path()).constData(), 0700);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.errors.startsWith(QStringLiteral("In den Programmordner %1 kann nicht geschrieben werden.").arg(folder.path())))
        << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QStringLiteral("~/Quittung/quittung-cli"))) << run.errors.toStdString();
    EXPECT_FALSE(run.errors.contains(QStringLiteral("gesperrt")));
    EXPECT_EQ(storedCounter(), 41);
}

// quittung-cli links no printing: a run that prints goes on in its twin, which finds no printer
// behind a scheduler that is not there.
TEST_F(CliWithTools, PrintingIsHandedToTheTwinThatPrints)
{
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUITTUNG_CLI_PRINTING), path("quittung-cli-druck")));
    QProcess process;
    QProcessEnvironment withoutScheduler = environment();
    withoutScheduler.insert(QStringLiteral("CUPS_SERVER"), QStringLiteral("127.0.0.1:9"));
    process.setProcessEnvironment(withoutScheduler);
    start(process, {"--von", "A", "--brutto", "1", "--drucken"});
    const CliRun run = finish(process);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors, QStringLiteral("Die Quittung kann nicht gedruckt werden: kein Drucker eingerichtet.\n"));
    EXPECT_EQ(storedCounter(), 41);
}

TEST_F(CliWithTools, WithoutANumberTheWindowsCounterGivesTheNextAndAdvances)
{
    const CliRun run = cli({"--von", "A", "--brutto", "10", "--datum", "2020-07-03", "--jpg"});
    EXPECT_EQ(run.status, 0) << run.errors.toStdString();
    EXPECT_EQ(run.files, QStringList{path("JPG/42-03.07.2020-A.1.jpg")});
    EXPECT_EQ(storedCounter(), 42);
}

// Two batches at once take their numbers under the settings file's lock: none is given twice.
TEST_F(CliWithTools, ConcurrentRunsNeverShareANumber)
{
    writeFile("a.csv", customersCsv(6));
    QProcess first;
    QProcess second;
    start(first, {"--csv", "a.csv", "--jpg", "a/"});
    start(second, {"--csv", "a.csv", "--jpg", "b/"});
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

// A text the template cuts off gives a warning line with its field, and the receipt is made; with
// --streng the receipt fails instead. A receipt that fits says nothing.
TEST_F(CliWithTools, ATextTheTemplateCutsOffIsAWarningOrWithStrictAnError)
{
    const struct {
        const char* name;
        QStringList fields;
        QString field;
    } cases[] = {
        {"long payer", {"--von", overlongPayer()}, QStringLiteral("Von")},
        {"long purpose", {"--von", "Muster GmbH", "--fuer", overlongPurpose()}, QStringLiteral(u"Für")},
        {"fitting", {"--von", QStringLiteral(u"Zoë Ångström"), "--fuer", "Miete\nJuli"}, QString()},
    };
    for (const char* format : {"a5-2", "a4"}) {
        for (const auto& c : cases) {
            for (const bool strict : {false, true}) {
                SCOPED_TRACE(std::string(c.name) + ", " + format + (strict ? ", strict" : ""));
                QFile::remove(path("beleg.pdf"));
                QStringList arguments = c.fields;
                arguments << "--brutto" << "119" << "--format" << QString::fromLatin1(format) << "--pdf" << "beleg.pdf";
                if (strict)
                    arguments << "--streng";
                const CliRun run = cli(arguments);
                const QString warning = QStringLiteral(u"Der Text im Feld „%1“ ist zu lang für die Vorlage und wird abgeschnitten.").arg(c.field);
                if (c.field.isEmpty()) {
                    EXPECT_EQ(run.status, 0);
                    EXPECT_EQ(run.errors, QString());
                } else if (!strict) {
                    EXPECT_EQ(run.status, 0);
                    EXPECT_EQ(run.errors, QStringLiteral("Warnung: ") + warning + u'\n');
                } else {
                    EXPECT_EQ(run.status, 1);
                    EXPECT_EQ(run.errors, warning + u'\n');
                }
                const bool made = c.field.isEmpty() || !strict;
                EXPECT_EQ(QFile::exists(path("beleg.pdf")), made);
                EXPECT_EQ(run.files, made ? QStringList{QStringLiteral("beleg.pdf")} : QStringList());
            }
        }
    }
}

TEST_F(CliWithTools, BadRowsAreReportedAndTheOthersMade)
{
    writeFile("mixed.csv",
        "nummer;von;datum;brutto\n"
        "1;Gut;2020-07-03;119\n"
        "2;Falscher Betrag;2020-07-03;abc\n"
        "3;Falsches Datum;31.31.2020;10\n"
        "4;a/b;2020-07-03;10\n"
        "5;Auch gut;2020-07-03;10.50\n");
    const CliRun run = cli({"--csv", "mixed.csv", "--jpg", "out/"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.files, (QStringList{"out/1-03.07.2020-Gut.1.jpg", "out/5-03.07.2020-Auch gut.1.jpg"}));
    for (const QString& file : run.files)
        EXPECT_TRUE(isCompleteJpeg(path(file))) << file.toStdString();
    EXPECT_EQ(run.errors.split(u'\n', Qt::SkipEmptyParts),
        (QStringList{QStringLiteral("Zeile 3: Brutto: 'abc' ist kein gültiger Betrag."),
            QStringLiteral("Zeile 4: Datum: '31.31.2020' ist kein gültiges Datum (2020-07-03, 03.07.2020 oder 03.07.20)."),
            QStringLiteral("Zeile 5: Von: 'a/b' kann nicht im Dateinamen stehen. Der Name enthält einen Schrägstrich (/), "
                           "der aus dem Ausgabeordner führen würde.")}));
}

TEST_F(CliWithTools, SeparatorsQuotesAndEncodingsAreRead)
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
        const CliRun run = cli({"--csv", "rows.csv", "--nummer", "9", "--datum", "2020-07-03", "--jpg", "enc/"});
        EXPECT_EQ(run.status, 0) << run.errors.toStdString();
        EXPECT_EQ(run.files, QStringList{QStringLiteral("enc/9-03.07.2020-Müller; Sohn.1.jpg")});
        QFile::remove(path("enc/9-03.07.2020-Müller; Sohn.1.jpg"));
    }
}

// The receipts of a batch embed the same subset of each font (their tags, which stand for the
// glyphs kept, agree), each a valid file with its own texts; the two fonts of a file keep tags of
// their own.
TEST_F(CliWithTools, TheReceiptsOfABatchShareTheirFontSubsets)
{
    writeFile("rows.csv",
        "von;fuer;brutto\n"
        "Anna Zahl;Miete;119\n"
        "Bäckerei Öz;\"Spende\nfür Kinder\";7.35\n"
        "Quast & Co.;Beitrag 2020;1234.56\n");
    const CliRun run = cli({"--csv", "rows.csv", "--datum", "2020-07-03", "--format", "a4-2", "--pdf", "out/"});
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
TEST_F(CliWithTools, ABatchShowsItsProgressOnATerminalOnly)
{
    writeFile("rows.csv", customersCsv(3));
    // script(1) gives the tool a terminal and copies what it writes there.
    QProcess process;
    process.setWorkingDirectory(folder.path());
    process.start(QStringLiteral("script"), {QStringLiteral("-qec"), QStringLiteral("./quittung-cli --csv rows.csv --pdf out/"),
                                             QStringLiteral("/dev/null")});
    ASSERT_TRUE(process.waitForStarted());
    const CliRun onTerminal = finish(process);
    EXPECT_EQ(onTerminal.status, 0) << onTerminal.errors.toStdString();
    const QString screen = onTerminal.files.join(u'\n');
    EXPECT_TRUE(screen.contains(QStringLiteral("\r[%1] 3/3").arg(QString(30, u'#')))) << screen.toStdString();

    const CliRun piped = cli({"--csv", "rows.csv", "--pdf", "out/"});
    EXPECT_EQ(piped.status, 0);
    EXPECT_FALSE(piped.errors.contains(u'#')) << piped.errors.toStdString();
}

// Files wait open for their group to be named; with many threads and a low limit of open files
// the groups shrink, and every receipt is still made.
TEST_F(CliWithTools, ManyThreadsKeepWithinTheLimitOfOpenFiles)
{
    writeFile("many.csv", customersCsv(160));
    QProcess process;
    process.setWorkingDirectory(folder.path());
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("ulimit -n 64 && exec ./quittung-cli \"$@\""),
                                              QStringLiteral("sh"), QStringLiteral("--csv"), QStringLiteral("many.csv"),
                                              QStringLiteral("--jobs"), QStringLiteral("8"), QStringLiteral("--pdf"),
                                              QStringLiteral("out/")});
    ASSERT_TRUE(process.waitForStarted());
    const CliRun run = finish(process);
    EXPECT_EQ(run.status, 0) << run.errors.toStdString();
    EXPECT_EQ(run.files.size(), 160);
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files).size(), 160);
}

// Rows take their numbers as they are made. A batch killed at any moment leaves only complete
// receipts under their names, and the counter ahead of the highest of them by no more than the rows
// in flight: per thread the row being made and those whose files wait to be named with its group
// (at most 32), and the numbers taken for the next rows (at most 32).
TEST_F(CliWithTools, AKilledBatchLosesNoMoreNumbersThanItsRowsInFlight)
{
    writeFile("many.csv", customersCsv(400));
    QProcess process;
    start(process, {"--csv", "many.csv", "--jpg", "out/", "--datum", "2020-07-03", "--jobs", "2"});
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
    const QList<int> onDisk = numbers(receipts);
    const int highest = *std::max_element(onDisk.begin(), onDisk.end());
    EXPECT_GE(storedCounter(), highest);
    EXPECT_LE(storedCounter() - highest, 2 * 33 + 32);
}

// SIGINT and SIGTERM stop a batch once its rows in flight are made: every receipt made is listed
// and on disk, their numbers follow each other from the counter's, and the counter stands at the
// last of them.
TEST_F(CliWithTools, AnInterruptedBatchListsWhatItMadeAndKeepsTheCounterThere)
{
    writeFile("many.csv", customersCsv(400));
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        writeFile("Settings.ini", "[Telvo]\r\nQID=41\r\n");
        QDir(path("out")).removeRecursively();
        QProcess process;
        start(process, {"--csv", "many.csv", "--pdf", "out/", "--datum", "2020-07-03", "--jobs", "2"});
        QByteArray listed;
        while (listed.count('\n') < 3 && process.waitForReadyRead(60000))
            listed += process.readAllStandardOutput();
        ::kill(pid_t(process.processId()), signal);
        CliRun run = finish(process);
        run.files = QString::fromLocal8Bit(listed).split(u'\n', Qt::SkipEmptyParts) + run.files;
        EXPECT_EQ(run.status, 130);
        const QStringList onDisk = receiptsOnDisk();
        ASSERT_LT(onDisk.size(), 400);
        EXPECT_EQ(run.errors, QStringLiteral("Abgebrochen nach %1 von 400 Zeilen.\n").arg(onDisk.size()));
        QStringList files = run.files;
        files.sort();
        EXPECT_EQ(files, onDisk);
        QList<int> made = numbers(run.files);
        std::sort(made.begin(), made.end());
        QList<int> expected;
        for (int number = 42; number < 42 + int(onDisk.size()); ++number)
            expected << number;
        EXPECT_EQ(made, expected);
        EXPECT_EQ(storedCounter(), 41 + int(onDisk.size()));
    }
}

// A batch made on several threads writes exactly the files, lines and numbers of one made on one.
TEST_F(CliWithTools, ABatchOnSeveralThreadsMatchesOneThread)
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
        made.run = cli(QStringList{"--csv", "rows.csv", "--datum", "2020-07-03", "--pdf", into + u'/'} + options);
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
    const Batch one = batch(QStringLiteral("one"), {"--jpg", "one/", "--jobs", "1"});
    const Batch several = batch(QStringLiteral("several"), {"--jpg", "several/", "--jobs", "4"});
    // Without JPEG files the tool starts without Qt's GUI platform; its PDFs stay the same.
    const Batch pdfOnly = batch(QStringLiteral("pdf"), {});
    EXPECT_EQ(one.run.status, 1);
    EXPECT_EQ(several.run.status, 1);
    EXPECT_EQ(several.run.files, one.run.files);
    EXPECT_EQ(one.run.errors, QStringLiteral("Zeile 10: Brutto: 'abc' ist kein gültiger Betrag.\n"));
    EXPECT_EQ(several.run.errors, one.run.errors);
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
    // The row that cannot be made takes no number.
    EXPECT_EQ(storedCounter(), 41 + 5);
}

// Two outputs of one run never write one file: the later option or row is refused and says which
// wrote it, the earlier one's file stands; an older file from an earlier run is replaced.
TEST_F(CliWithTools, OutputsOfOneRunNeverReplaceEachOther)
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
    run = cli({"--csv", "twice.csv", "--datum", "2020-07-03", "--pdf", "out/"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.files, (QStringList{"out/5-03.07.2020-A.PDF", "out/6-03.07.2020-B.PDF"}));
    EXPECT_TRUE(run.errors.contains(QStringLiteral("Zeile 4: --pdf: Die Datei \"out/5-03.07.2020-A.PDF\" schreibt in "
                                                   "diesem Aufruf schon Zeile 2 (--pdf); sie wird nicht ersetzt.")))
        << run.errors.toStdString();
    const QString text = runTool(QStringLiteral("pdftotext"), {path("out/5-03.07.2020-A.PDF"), QStringLiteral("-")}).out;
    EXPECT_TRUE(text.contains(QStringLiteral("10,00"))) << text.toStdString();

    // The same batch again replaces the files of the first run.
    writeFile("twice.csv", "nummer;von;brutto\n5;A;30\n");
    run = cli({"--csv", "twice.csv", "--datum", "2020-07-03", "--pdf", "out/"});
    EXPECT_EQ(run.status, 0) << run.errors.toStdString();
    EXPECT_TRUE(runTool(QStringLiteral("pdftotext"), {path("out/5-03.07.2020-A.PDF"), QStringLiteral("-")})
                    .out.contains(QStringLiteral("30,00")));
}

// A device or a FIFO as the target is refused and stays what it is.
TEST_F(CliWithTools, DevicesAndPipesAreNeverReplaced)
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
        // Refused before the receipt took a number.
        EXPECT_EQ(storedCounter(), 41);
    }
}
