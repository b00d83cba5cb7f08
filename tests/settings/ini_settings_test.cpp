#include "settings/ini_settings.h"

#include "runtime/exception.h"
#include "tests/support/qt_printers.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <optional>

#include <sys/resource.h>
#include <sys/stat.h>

namespace quittung::settings {
namespace {

using namespace Qt::StringLiterals;

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

mode_t modeOf(const QString& path)
{
    struct stat info {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    return info.st_mode & 07777;
}

void setMode(const QString& path, mode_t mode)
{
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

// A store set up the way the program sets it up, in a fresh folder.
class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString folder() const { return m_dir.path(); }
    QString iniPath() const { return m_dir.filePath(u"Settings.ini"_s); }

    static std::unique_ptr<IniSettings> makeStore(const QString& location, bool load = true)
    {
        auto store = std::make_unique<IniSettings>();
        store->setFileName(u"Settings.ini"_s);
        store->setLocation(location);
        store->setDefaultSection(u"Telvo"_s);
        if (load)
            store->loaded();
        return store;
    }
    std::unique_ptr<IniSettings> openStore() const { return makeStore(folder()); }

private:
    QTemporaryDir m_dir;
};

// --- reading ---------------------------------------------------------------------------------

enum class Kind { String, Integer, Boolean };

struct ReadCase {
    const char* name;
    QByteArray file;
    Kind kind;
    QString key;
    QString expected; // the value as text; ignored when an error is expected
    const char* error = nullptr;
};

void PrintTo(const ReadCase& row, std::ostream* out)
{
    *out << row.name;
}

// Distinct defaults, so a default is never mistaken for a value read.
QString readAsText(IniSettings& store, Kind kind, const QString& key)
{
    switch (kind) {
    case Kind::String:
        return store.readString(key, u"default"_s);
    case Kind::Integer:
        return QString::number(store.readInteger(key, 42));
    case Kind::Boolean:
        return store.readBoolean(key, true) ? u"true"_s : u"false"_s;
    }
    return {};
}

class SettingsRead : public SettingsStore, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(SettingsRead, ValueFromFile)
{
    const ReadCase& row = GetParam();
    writeBytes(iniPath(), row.file);
    const auto store = openStore();

    if (!row.error) {
        EXPECT_EQ(readAsText(*store, row.kind, row.key), row.expected);
        return;
    }
    try {
        readAsText(*store, row.kind, row.key);
        ADD_FAILURE() << "no conversion error";
    } catch (const ConvertError& error) {
        EXPECT_EQ(error.message(), QString::fromUtf8(row.error));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SettingsRead,
    ::testing::Values(
        ReadCase{"BooleanYes", "[Telvo]\r\nExportPDF=yes\r\n", Kind::Boolean, u"ExportPDF"_s, u"true"_s},
        ReadCase{"BooleanY", "[Telvo]\r\nExportPDF=y\r\n", Kind::Boolean, u"ExportPDF"_s, u"true"_s},
        ReadCase{"BooleanOne", "[Telvo]\r\nExportPDF=1\r\n", Kind::Boolean, u"ExportPDF"_s, u"true"_s},
        ReadCase{"BooleanNegative", "[Telvo]\r\nExportPDF=-3\r\n", Kind::Boolean, u"ExportPDF"_s, u"true"_s},
        ReadCase{"BooleanEmpty", "[Telvo]\r\nExportPDF=\r\n", Kind::Boolean, u"ExportPDF"_s, u"false"_s},
        ReadCase{"BooleanZero", "[Telvo]\r\nExportPDF=0\r\n", Kind::Boolean, u"ExportPDF"_s, u"false"_s},
        ReadCase{"BooleanNoMixedCase", "[Telvo]\r\nExportPDF=nO\r\n", Kind::Boolean, u"ExportPDF"_s, u"false"_s},
        ReadCase{"BooleanFalseMixedCase", "[Telvo]\r\nExportPDF=fAlSe\r\n", Kind::Boolean, u"ExportPDF"_s,
                 u"false"_s},
        ReadCase{"BooleanMissing", "[Telvo]\r\n", Kind::Boolean, u"ExportPDF"_s, u"true"_s},
        ReadCase{"BooleanJa", "[Telvo]\r\nExportPDF=ja\r\n", Kind::Boolean, u"ExportPDF"_s, {},
                 "'ja' ist kein gültiger Integerwert"},
        ReadCase{"OpenPdfIsText", "[Telvo]\r\nOpenPDF=TRUE\r\n", Kind::String, u"OpenPDF"_s, u"TRUE"_s},
        ReadCase{"ValueTrimmed", "[Telvo]\r\n OpenPDF =  true \t\r\n", Kind::String, u"OpenPDF"_s, u"true"_s},
        ReadCase{"StringMissing", "[Telvo]\r\nOrt=Berlin\r\n", Kind::String, u"Form"_s, u"default"_s},
        ReadCase{"IntegerEmpty", "[Telvo]\r\nQID=\r\n", Kind::Integer, u"QID"_s, u"0"_s},
        ReadCase{"IntegerSigned", "[Telvo]\r\nQID=-12\r\nMwSt=+7\r\n", Kind::Integer, u"MwSt"_s, u"7"_s},
        ReadCase{"IntegerMaximum", "[Telvo]\r\nQID=2147483647\r\n", Kind::Integer, u"QID"_s, u"2147483647"_s},
        ReadCase{"IntegerMinimum", "[Telvo]\r\nQID=-2147483648\r\n", Kind::Integer, u"QID"_s, u"-2147483648"_s},
        ReadCase{"IntegerTooLarge", "[Telvo]\r\nQID=2147483648\r\n", Kind::Integer, u"QID"_s, {},
                 "'2147483648' ist kein gültiger Integerwert"},
        ReadCase{"IntegerFarTooLarge", "[Telvo]\r\nQID=99999999999999999999\r\n", Kind::Integer, u"QID"_s, {},
                 "'99999999999999999999' ist kein gültiger Integerwert"},
        ReadCase{"IntegerTrailingText", "[Telvo]\r\nQID=12a\r\n", Kind::Integer, u"QID"_s, {},
                 "'12a' ist kein gültiger Integerwert"},
        ReadCase{"IntegerHex", "[Telvo]\r\nQID=0x10\r\n", Kind::Integer, u"QID"_s, {},
                 "'0x10' ist kein gültiger Integerwert"},
        ReadCase{"IntegerSignOnly", "[Telvo]\r\nQID=-\r\n", Kind::Integer, u"QID"_s, {},
                 "'-' ist kein gültiger Integerwert"},
        ReadCase{"LowerCaseSectionAndKey", "[telvo]\r\nqid=5\r\n", Kind::Integer, u"QID"_s, u"5"_s},
        ReadCase{"KeyWrittenInOtherCase", "[Telvo]\r\nMwST=16\r\n", Kind::Integer, u"MwSt"_s, u"16"_s},
        ReadCase{"CommentIgnored", "[Telvo]\r\n;QID=3\r\n", Kind::Integer, u"QID"_s, u"42"_s},
        ReadCase{"LineBeforeSectionDropped", "QID=9\r\n[Telvo]\r\n", Kind::Integer, u"QID"_s, u"42"_s},
        ReadCase{"OtherSectionNotServed", "[Other]\r\nQID=9\r\n", Kind::Integer, u"QID"_s, u"42"_s},
        ReadCase{"FirstOfRepeatedSections", "[Telvo]\r\nQID=1\r\n[TELVO]\r\nQID=2\r\n", Kind::Integer, u"QID"_s,
                 u"1"_s},
        ReadCase{"PathNamesSection", "[Other]\r\nQID=9\r\n", Kind::Integer, u"Other\\QID"_s, u"9"_s}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(SettingsStore, ConversionErrorCanYieldDefault)
{
    writeBytes(iniPath(), "[Telvo]\r\nQID=x\r\nExportPDF=ja\r\n");
    const auto store = openStore();
    store->storageOptions().defaultIfReadConvertError = true;

    EXPECT_EQ(store->readInteger(u"QID"_s, 7), 7);
    EXPECT_TRUE(store->readBoolean(u"ExportPDF"_s, true));
}

TEST_F(SettingsStore, ReloadFollowsTheFile)
{
    const auto store = openStore();
    EXPECT_EQ(store->readInteger(u"QID"_s, 0), 0);

    writeBytes(iniPath(), "[Telvo]\r\nQID=5\r\n");
    EXPECT_EQ(store->readInteger(u"QID"_s, 0), 0) << "the file is read once";
    store->reload();
    EXPECT_EQ(store->readInteger(u"QID"_s, 0), 5);

    ASSERT_TRUE(QFile::remove(iniPath()));
    store->reload();
    EXPECT_EQ(store->readInteger(u"QID"_s, 0), 0);
}

// --- writing ---------------------------------------------------------------------------------

TEST_F(SettingsStore, ProgramKeysGiveTheExampleFile)
{
    {
        const auto store = openStore();
        store->writeString(u"QID"_s, u"1"_s);
        store->writeString(u"MwST"_s, u"19"_s);
        store->writeString(u"Ort"_s, u"Berlin"_s);
        store->writeBoolean(u"ExportPDF"_s, false);
        store->writeBoolean(u"ExportJPG"_s, false);
        store->writeBoolean(u"ExportVorschau"_s, true);
        store->writeInteger(u"Ausgabeformat"_s, 0);
    }
    EXPECT_EQ(readBytes(iniPath()), QByteArray("[Telvo]\r\nQID=1\r\nMwST=19\r\nOrt=Berlin\r\nExportPDF=FALSE\r\n"
                                               "ExportJPG=FALSE\r\nExportVorschau=TRUE\r\nAusgabeformat=0\r\n\r\n"));
}

TEST_F(SettingsStore, KeyTakesTheLetterCaseOfTheLastWrite)
{
    writeBytes(iniPath(), "[telvo]\r\nqid=5\r\n");
    {
        const auto store = openStore();
        store->writeString(u"QID"_s, QString::number(store->readInteger(u"QID"_s, 0) + 1));
        store->writeInteger(u"AusgabeFormat"_s, -1);
        store->writeInteger(u"Ausgabeformat"_s, -2);
    }
    EXPECT_EQ(readBytes(iniPath()), QByteArray("[telvo]\r\nQID=6\r\nAusgabeformat=-2\r\n\r\n"));
}

TEST_F(SettingsStore, ForeignContentSurvives)
{
    writeBytes(iniPath(), "; written by hand\r\n"
                          "stray=1\r\n"
                          "[Telvo]\r\n"
                          "  Foreign  =  kept value  \r\n"
                          "free text\r\n"
                          ";QID=3\r\n"
                          "QID=3\r\n"
                          "\r\n"
                          "[Other]\n"
                          "a = 1\n");
    {
        const auto store = openStore();
        store->writeString(u"QID"_s, u"4"_s);
        store->writeString(u"Ort"_s, u"Berlin"_s);
    }
    EXPECT_EQ(readBytes(iniPath()), QByteArray("[Telvo]\r\nForeign=kept value\r\nfree text\r\nQID=4\r\nOrt=Berlin\r\n\r\n"
                                               "[Other]\r\na=1\r\n\r\n"));
}

TEST_F(SettingsStore, FileIsWrittenOnlyWhenTheStoreEnds)
{
    const QByteArray before = "[Telvo]\r\nQID=1\r\n";
    writeBytes(iniPath(), before);

    auto store = openStore();
    store->writeString(u"QID"_s, u"2"_s);
    EXPECT_EQ(store->readString(u"QID"_s), u"2"_s);
    EXPECT_EQ(readBytes(iniPath()), before);
    store.reset();
    EXPECT_EQ(readBytes(iniPath()), QByteArray("[Telvo]\r\nQID=2\r\n\r\n"));

    store = openStore();
    store->setFlushOnDestroy(false);
    store->writeString(u"QID"_s, u"3"_s);
    store.reset();
    EXPECT_EQ(readBytes(iniPath()), QByteArray("[Telvo]\r\nQID=2\r\n\r\n"));
}

TEST_F(SettingsStore, AutoFlushAndAutoReloadShareChangesAtOnce)
{
    const auto writer = openStore();
    const auto reader = openStore();
    writer->setAutoFlush(true);
    reader->setAutoReload(true);

    writer->writeInteger(u"QID"_s, 8);
    EXPECT_EQ(reader->readInteger(u"QID"_s, 0), 8);
}

TEST_F(SettingsStore, UnreadFileIsNeverOverwritten)
{
    const QByteArray before = "[Telvo]\r\nQID=1\r\n";
    writeBytes(iniPath(), before);
    {
        const auto store = makeStore(folder(), /*load=*/false);
        store->writeString(u"Ort"_s, u"Berlin"_s);
        EXPECT_FALSE(store->flush());
    }
    EXPECT_EQ(readBytes(iniPath()), before);
}

// --- read-only and failing writes ------------------------------------------------------------

TEST_F(SettingsStore, ReadOnlyFileIgnoresWritesAndStaysUnchanged)
{
    const QByteArray before = "[Telvo]\r\nQID=1\r\n";
    writeBytes(iniPath(), before);
    setMode(iniPath(), 0444);
    {
        const auto store = openStore();
        EXPECT_TRUE(store->readOnly());
        store->writeString(u"QID"_s, u"2"_s);
        store->writeBoolean(u"ExportPDF"_s, true);
        EXPECT_EQ(store->readInteger(u"QID"_s, 0), 1);
        EXPECT_FALSE(store->iniFile().valueExists(u"Telvo"_s, u"ExportPDF"_s));
        EXPECT_FALSE(store->flush());
    }
    EXPECT_EQ(readBytes(iniPath()), before);
    EXPECT_EQ(modeOf(iniPath()), mode_t(0444));
}

TEST_F(SettingsStore, FolderThatCannotBeMadeFailsQuietly)
{
    // A regular file where a folder should be stops even root.
    const QString blocker = QDir(folder()).filePath(u"blocker"_s);
    writeBytes(blocker, "not a folder");
    const QString location = blocker + u"/sub"_s;
    {
        const auto store = makeStore(location);
        EXPECT_FALSE(store->readOnly());
        store->writeString(u"QID"_s, u"1"_s);
        EXPECT_FALSE(store->flush());
    }
    EXPECT_EQ(readBytes(blocker), QByteArray("not a folder"));
    EXPECT_EQ(QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{u"blocker"_s});
}

TEST_F(SettingsStore, MissingFolderIsCreated)
{
    const QString location = QDir(folder()).filePath(u"a/b"_s);
    makeStore(location)->writeString(u"QID"_s, u"1"_s);
    EXPECT_EQ(readBytes(location + u"/Settings.ini"_s), QByteArray("[Telvo]\r\nQID=1\r\n\r\n"));
}

TEST_F(SettingsStore, ReplacingKeepsPermissions)
{
    for (const mode_t mode : {mode_t(0600), mode_t(0640), mode_t(0606), mode_t(0664)}) {
        SCOPED_TRACE(QString::number(mode, 8).toStdString());
        writeBytes(iniPath(), "[Telvo]\r\nQID=1\r\n");
        setMode(iniPath(), mode);
        makeStore(folder())->writeInteger(u"QID"_s, 2);
        EXPECT_EQ(readBytes(iniPath()), QByteArray("[Telvo]\r\nQID=2\r\n\r\n"));
        EXPECT_EQ(modeOf(iniPath()), mode);
        ASSERT_TRUE(QFile::remove(iniPath()));
    }
}

TEST_F(SettingsStore, NewFileFollowsTheUmask)
{
    const mode_t mask = ::umask(022);
    makeStore(folder())->writeInteger(u"QID"_s, 1);
    ::umask(mask);
    EXPECT_EQ(modeOf(iniPath()), mode_t(0644));
}

// Makes writes to regular files beyond `bytes` fail with EFBIG, which root cannot bypass.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        m_active = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool active() const { return m_active; }

private:
    rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
    bool m_active = false;
};

TEST_F(SettingsStore, FailedWriteKeepsTheOldFile)
{
    const QByteArray before = "[Telvo]\r\nQID=1\r\nOrt=Berlin\r\n";
    writeBytes(iniPath(), before);
    setMode(iniPath(), 0640);

    auto store = openStore();
    store->writeString(u"Ort"_s, QString(200, u'x'));
    {
        const FileSizeLimit limit(32);
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(store->flush());
        store.reset();
    }
    EXPECT_EQ(readBytes(iniPath()), before);
    EXPECT_EQ(modeOf(iniPath()), mode_t(0640));
    EXPECT_EQ(QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{u"Settings.ini"_s})
        << "no temporary file left behind";
}

// --- encodings -------------------------------------------------------------------------------

QByteArray utf16(const QString& text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder(text);
}

const QByteArray kUtf8Bom = "\xEF\xBB\xBF";

struct EncodingCase {
    const char* name;
    std::optional<QByteArray> file; // none: no file yet
    QString ortRead;
    QString ortWritten;
    QByteArray expected;
};

void PrintTo(const EncodingCase& row, std::ostream* out)
{
    *out << row.name;
}

class SettingsEncoding : public SettingsStore, public ::testing::WithParamInterface<EncodingCase> {};

TEST_P(SettingsEncoding, ReadAndWrittenBack)
{
    const EncodingCase& row = GetParam();
    if (row.file)
        writeBytes(iniPath(), *row.file);
    {
        const auto store = openStore();
        EXPECT_EQ(store->readString(u"Ort"_s, u"default"_s), row.ortRead);
        store->writeString(u"Ort"_s, row.ortWritten);
        // Flushed twice (here and on destruction): a fallback encoding has to stick.
        EXPECT_TRUE(store->flush());
    }
    EXPECT_EQ(readBytes(iniPath()), row.expected);
    EXPECT_EQ(openStore()->readString(u"Ort"_s), row.ortWritten);
}

const QString kKoeln = u"[Telvo]\r\nOrt=K\u00F6ln\r\n"_s;
const QString kLodz = u"[Telvo]\r\nOrt=\u0141\u00F3d\u017A\r\n\r\n"_s;

INSTANTIATE_TEST_SUITE_P(
    Rows, SettingsEncoding,
    ::testing::Values(
        EncodingCase{"NewFileIsUtf8WithoutMark", std::nullopt, u"default"_s, u"\u0141\u00F3d\u017A"_s,
                     kLodz.toUtf8()},
        EncodingCase{"Utf8WithoutMark", kKoeln.toUtf8(), u"K\u00F6ln"_s, u"\u0141\u00F3d\u017A"_s,
                     kLodz.toUtf8()},
        EncodingCase{"Utf8WithMark", kUtf8Bom + kKoeln.toUtf8(), u"K\u00F6ln"_s, u"\u0141\u00F3d\u017A"_s,
                     kUtf8Bom + kLodz.toUtf8()},
        EncodingCase{"Utf16LittleEndian", utf16(kKoeln, QStringConverter::Utf16LE), u"K\u00F6ln"_s,
                     u"\u0141\u00F3d\u017A"_s, utf16(kLodz, QStringConverter::Utf16LE)},
        EncodingCase{"Utf16BigEndian", utf16(kKoeln, QStringConverter::Utf16BE), u"K\u00F6ln"_s,
                     u"\u0141\u00F3d\u017A"_s, utf16(kLodz, QStringConverter::Utf16BE)},
        EncodingCase{"Windows1252StaysWindows1252", QByteArray("[Telvo]\r\nOrt=K\xF6ln\r\n"), u"K\u00F6ln"_s,
                     u"M\u00FCnchen 5 \u20AC"_s, QByteArray("[Telvo]\r\nOrt=M\xFCnchen 5 \x80\r\n\r\n")},
        // The whole file decides: one broken sequence makes all of it Windows-1252.
        EncodingCase{"MostlyUtf8IsWindows1252", QByteArray("[Telvo]\r\nOrt=K\xC3\xB6ln \xF6\r\n"),
                     u"K\u00C3\u00B6ln \u00F6"_s, u"K\u00F6ln"_s, QByteArray("[Telvo]\r\nOrt=K\xF6ln\r\n\r\n")},
        EncodingCase{"Windows1252GainingPolishBecomesUtf8WithMark", QByteArray("[Telvo]\r\nOrt=K\xF6ln\r\n"),
                     u"K\u00F6ln"_s, u"\u0141\u00F3d\u017A"_s, kUtf8Bom + kLodz.toUtf8()},
        // "Ã¶" in Windows-1252 is "ö" in UTF-8, and the file would read back as that.
        EncodingCase{"Windows1252ThatReadsAsUtf8BecomesUtf8WithMark", QByteArray("[Telvo]\r\nOrt=K\xF6ln\r\n"),
                     u"K\u00F6ln"_s, u"K\u00C3\u00B6ln"_s,
                     kUtf8Bom + u"[Telvo]\r\nOrt=K\u00C3\u00B6ln\r\n\r\n"_s.toUtf8()},
        EncodingCase{"Windows1252TurnedPlainAsciiGetsNoMark", QByteArray("[Telvo]\r\nOrt=K\xF6ln\r\n"),
                     u"K\u00F6ln"_s, u"Koeln"_s, QByteArray("[Telvo]\r\nOrt=Koeln\r\n\r\n")}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace quittung::settings
