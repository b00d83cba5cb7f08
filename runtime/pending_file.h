#pragma once

#include <QFile>
#include <QString>

#include <memory>
#include <vector>

namespace quittung {

// A complete file that gets its name only once its content is safely on disk, made for many files
// at a time: a batch writes each file under no name (or a temporary one where the file system
// cannot) and then makes a whole group durable with one flush of the file system before naming
// them, instead of waiting for the disk once per file. An interrupted run leaves no half-written
// file under a wanted name; a file never published leaves nothing behind.
class PendingFile {
public:
    explicit PendingFile(const QString& fileName);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Creates the unnamed file in the wanted file's folder; false with errorString() when it cannot
    // or when the name is taken by something other than a regular file (a device, a FIFO, a socket,
    // a folder, or a link to one), which is never replaced.
    bool open();
    // Where the content goes, once open() succeeded.
    QIODevice& device() { return m_file; }
    // The name the file will have.
    const QString& fileName() const { return m_fileName; }
    // Why open() or publishing failed, as the system says it.
    const QString& errorString() const { return m_error; }
    bool published() const { return m_published; }

    // Flushes the files' content and makes it durable (one flush for each file system the files
    // are on, or the file's own for a single file), then gives each file its name, over an older
    // file of that name (whose permissions the new one keeps). Files that fail keep their error and
    // are not published; the others are.
    static void publishAll(const std::vector<PendingFile*>& files);

private:
    bool finishWriting();
    bool giveName();
    void fail(const QString& reason);

    QString m_fileName;
    QFile m_file;
    // Where O_TMPFILE is not available: the temporary name the content is written under.
    QString m_temporaryName;
    QString m_error;
    bool m_published = false;
};

// Why an existing target must not be replaced by a file: it is a device, a FIFO, a socket or a
// folder (or a link to one). Empty for a regular file or none.
QString notAFileReason(const QString& fileName);

} // namespace quittung
