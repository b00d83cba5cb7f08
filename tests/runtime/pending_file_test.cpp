#include "runtime/pending_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <sys/stat.h>

namespace quittung {
namespace {

QByteArray readAll(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

std::unique_ptr<PendingFile> written(const QString& fileName, const QByteArray& content)
{
    auto file = std::make_unique<PendingFile>(fileName);
    EXPECT_TRUE(file->open()) << file->errorString().toStdString();
    file->device().write(content);
    return file;
}

std::vector<PendingFile*> pointers(const std::vector<std::unique_ptr<PendingFile>>& files)
{
    std::vector<PendingFile*> result;
    for (const auto& file : files)
        result.push_back(file.get());
    return result;
}

// Files get their names only when published: before, the folder holds nothing of them, and a file
// never published leaves nothing behind.
TEST(PendingFile, FilesAppearWhenPublishedAndNotBefore)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    std::vector<std::unique_ptr<PendingFile>> files;
    for (int i = 0; i < 3; ++i)
        files.push_back(written(folder + QStringLiteral("Quittung %1.PDF").arg(i), "Inhalt " + QByteArray::number(i)));
    {
        auto dropped = written(folder + QStringLiteral("verworfen.PDF"), "halb");
        EXPECT_TRUE(QDir(folder).entryList(QDir::Files).isEmpty());
    }
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files).isEmpty());

    PendingFile::publishAll(pointers(files));
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(files[std::size_t(i)]->published());
        EXPECT_EQ(readAll(folder + QStringLiteral("Quittung %1.PDF").arg(i)), "Inhalt " + QByteArray::number(i));
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 3);

    // A single file is published as well.
    auto single = written(folder + QStringLiteral("eine.PDF"), "eins");
    PendingFile::publishAll({single.get()});
    EXPECT_TRUE(single->published());
    EXPECT_EQ(readAll(folder + QStringLiteral("eine.PDF")), "eins");
}

// Publishing over an older file replaces it in one step and keeps its permissions; no temporary
// name is left beside it.
TEST(PendingFile, ReplacesAnOlderFileKeepingItsPermissions)
{
    QTemporaryDir dir;
    const QString name = dir.path() + QStringLiteral("/Quittung.PDF");
    {
        QFile old(name);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("alter Inhalt, länger als der neue");
    }
    ASSERT_EQ(::chmod(QFile::encodeName(name).constData(), 0640), 0);
    auto file = written(name, "neu");
    PendingFile::publishAll({file.get()});
    EXPECT_TRUE(file->published());
    EXPECT_EQ(readAll(name), "neu");
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(name).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Quittung.PDF")});
}

// A folder that does not exist fails at once; one that went away before publishing fails that file
// only, with the system's reason, and the others are still published.
TEST(PendingFile, FailuresStayWithTheirFile)
{
    QTemporaryDir dir;
    PendingFile missing(dir.path() + QStringLiteral("/fehlt/Quittung.PDF"));
    EXPECT_FALSE(missing.open());
    EXPECT_FALSE(missing.errorString().isEmpty());

    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("weg")));
    auto gone = written(dir.path() + QStringLiteral("/weg/Quittung.PDF"), "weg");
    auto kept = written(dir.path() + QStringLiteral("/Quittung.PDF"), "da");
    ASSERT_TRUE(QDir(dir.path() + QStringLiteral("/weg")).removeRecursively());
    PendingFile::publishAll({gone.get(), kept.get()});
    EXPECT_FALSE(gone->published());
    EXPECT_FALSE(gone->errorString().isEmpty());
    EXPECT_TRUE(kept->published());
    EXPECT_EQ(readAll(dir.path() + QStringLiteral("/Quittung.PDF")), "da");
}

// A name taken by a device, a FIFO, a folder or a link to one is refused when the file is opened and
// when it would be named, and what stands there is left as it was.
TEST(PendingFile, NeverReplacesWhatIsNoRegularFile)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString folder = dir.filePath(QStringLiteral("ordner"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString link = dir.filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(fifo, link));
    const struct {
        QString name;
        const char* reason;
    } cases[] = {{QStringLiteral("/dev/null"), "ein Gerät"}, {fifo, "eine Pipe"}, {folder, "ein Ordner"}, {link, "eine Pipe"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        PendingFile file(c.name);
        EXPECT_FALSE(file.open());
        EXPECT_TRUE(file.errorString().contains(QString::fromUtf8(c.reason))) << file.errorString().toStdString();
    }
    // Taken after the file was opened: refused when it is to be named.
    const QString late = dir.filePath(QStringLiteral("spaet"));
    auto file = written(late, "Inhalt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(late).constData(), 0600), 0);
    PendingFile::publishAll({file.get()});
    EXPECT_FALSE(file->published());
    EXPECT_TRUE(file->errorString().contains(QStringLiteral("eine Pipe")));

    struct stat status {};
    for (const QString& name : {fifo, late}) {
        ASSERT_EQ(::stat(QFile::encodeName(name).constData(), &status), 0);
        EXPECT_TRUE(S_ISFIFO(status.st_mode)) << name.toStdString();
    }
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

} // namespace
} // namespace quittung
