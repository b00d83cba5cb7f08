#include "runtime/pending_file.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <map>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quittung {

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray descriptorPath(int fd)
{
    return "/proc/self/fd/" + QByteArray::number(fd);
}

// A temporary name beside the file: its name and six random letters and digits.
QByteArray randomTemporaryName(const QString& fileName)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray name = QFile::encodeName(fileName) + '.';
    for (int i = 0; i < 6; ++i)
        name += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)];
    return name;
}

// Why an existing target must not be replaced: it is a device, a FIFO, a socket or a folder (or
// a link to one), which renaming a file over it would unlink. Empty for a regular file or none.
QString notAFileReason(const QByteArray& target)
{
    struct stat status {};
    if (::stat(target.constData(), &status) != 0 || S_ISREG(status.st_mode))
        return QString();
    return QStringLiteral("Dort steht keine gewöhnliche Datei, sondern %1; es bleibt unverändert.")
        .arg(S_ISDIR(status.st_mode) ? QStringLiteral("ein Ordner")
                : S_ISFIFO(status.st_mode) ? QStringLiteral("eine Pipe")
                : S_ISSOCK(status.st_mode) ? QStringLiteral("ein Socket")
                                           : QStringLiteral("ein Gerät"));
}

} // namespace

QString notAFileReason(const QString& fileName)
{
    return notAFileReason(QFile::encodeName(fileName));
}

PendingFile::PendingFile(const QString& fileName) : m_fileName(fileName) {}

PendingFile::~PendingFile()
{
    m_file.close();
    if (!m_published && !m_temporaryName.isEmpty())
        ::unlink(QFile::encodeName(m_temporaryName).constData());
}

void PendingFile::fail(const QString& reason)
{
    if (m_error.isEmpty())
        m_error = reason;
}

bool PendingFile::open()
{
    if (const QString refused = notAFileReason(QFile::encodeName(m_fileName)); !refused.isEmpty()) {
        fail(refused);
        return false;
    }
    const QByteArray folder = QFile::encodeName(QFileInfo(m_fileName).absolutePath());
    int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // A file system without unnamed files: a free name beside the file, with the usual permissions.
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QByteArray name = randomTemporaryName(m_fileName);
            fd = ::open(name.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
            if (fd >= 0)
                m_temporaryName = QFile::decodeName(name);
            if (fd >= 0 || errno != EEXIST)
                break;
        }
    }
    if (fd < 0) {
        fail(systemError(errno));
        return false;
    }
    if (!m_file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        fail(m_file.errorString());
        return false;
    }
    return true;
}

bool PendingFile::finishWriting()
{
    if (!m_file.isOpen())
        fail(QStringLiteral("Die Datei ist nicht geöffnet."));
    else if (m_file.error() != QFileDevice::NoError)
        fail(m_file.errorString());
    else if (!m_file.flush())
        fail(m_file.errorString());
    return m_error.isEmpty();
}

bool PendingFile::giveName()
{
    const QByteArray target = QFile::encodeName(m_fileName);
    const int fd = m_file.handle();
    // It may have become one since the file was opened.
    if (const QString refused = notAFileReason(target); !refused.isEmpty()) {
        fail(refused);
        return false;
    }
    struct stat old {};
    if (::stat(target.constData(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);
    if (!m_temporaryName.isEmpty()) {
        if (::rename(QFile::encodeName(m_temporaryName).constData(), target.constData()) != 0) {
            fail(systemError(errno));
            return false;
        }
        m_temporaryName.clear();
        return true;
    }
    const QByteArray source = descriptorPath(fd);
    if (::linkat(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), AT_SYMLINK_FOLLOW) == 0)
        return true;
    if (errno != EEXIST) {
        fail(systemError(errno));
        return false;
    }
    // An older file of that name: linked under a free name first and renamed over it in one step.
    for (int attempt = 0; attempt < 100; ++attempt) {
        // linkat fails when another file took the name meanwhile.
        const QByteArray name = randomTemporaryName(m_fileName);
        if (::linkat(AT_FDCWD, source.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) != 0) {
            if (errno == EEXIST)
                continue;
            fail(systemError(errno));
            return false;
        }
        if (::rename(name.constData(), target.constData()) != 0) {
            const int error = errno;
            ::unlink(name.constData());
            fail(systemError(error));
            return false;
        }
        return true;
    }
    fail(systemError(EEXIST));
    return false;
}

void PendingFile::publishAll(const std::vector<PendingFile*>& files)
{
    std::vector<PendingFile*> written;
    for (PendingFile* file : files) {
        if (file->finishWriting())
            written.push_back(file);
    }
    if (written.size() == 1) {
        if (::fdatasync(written.front()->m_file.handle()) != 0)
            written.front()->fail(systemError(errno));
    } else {
        // One flush per file system covers every file on it.
        std::map<dev_t, std::vector<PendingFile*>> byDevice;
        for (PendingFile* file : written) {
            struct stat status {};
            if (::fstat(file->m_file.handle(), &status) != 0)
                file->fail(systemError(errno));
            else
                byDevice[status.st_dev].push_back(file);
        }
        for (const auto& [device, group] : byDevice) {
            if (::syncfs(group.front()->m_file.handle()) == 0)
                continue;
            // Without a flush of the whole file system each file is flushed on its own.
            for (PendingFile* file : group)
                if (::fdatasync(file->m_file.handle()) != 0)
                    file->fail(systemError(errno));
        }
    }
    for (PendingFile* file : written) {
        if (file->m_error.isEmpty() && file->giveName())
            file->m_published = true;
        file->m_file.close();
    }
}

} // namespace quittung
