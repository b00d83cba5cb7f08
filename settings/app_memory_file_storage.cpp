#include "settings/app_memory_file_storage.h"

#include "runtime/exception.h"
#include "runtime/safe_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace quittung {

namespace {

// There is no read-only attribute on Linux, and root may write anything, so a file whose
// permission bits carry no write bit at all (chmod a-w) counts as read-only as well.
bool isReadOnlyFile(const QFileInfo& info)
{
    constexpr QFile::Permissions anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return !(info.permissions() & anyWrite) || !info.isWritable();
}

} // namespace

QString TJvCustomAppMemoryFileStorage::FullFileName() const
{
    // The name may come in Windows form.
    const qsizetype separator = std::max(m_fileName.lastIndexOf(QLatin1Char('/')),
                                         m_fileName.lastIndexOf(QLatin1Char('\\')));
    const QString name = m_fileName.mid(separator + 1);
    if (m_location.isEmpty())
        return name;
    return QDir(m_location).filePath(name);
}

void TJvCustomAppMemoryFileStorage::Reload()
{
    m_reloaded = true;
    m_encoding = TextFileEncoding::Utf8;
    const QString path = FullFileName();
    const QFileInfo info(path);
    if (!info.exists()) {
        SetReadOnly(false);
        SetContentText(QString());
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        // Writing back what could not be read would lose the file's content.
        SetReadOnly(true);
        SetContentText(QString());
        return;
    }
    SetReadOnly(isReadOnlyFile(info));
    DecodedTextFile decoded = decodeTextFile(file.readAll());
    m_encoding = decoded.encoding;
    SetContentText(decoded.text);
}

bool TJvCustomAppMemoryFileStorage::Flush()
{
    if (ReadOnly() || !m_reloaded)
        return false;
    const QString path = FullFileName();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;

    const EncodedTextFile encoded = encodeTextFile(GetContentText(), m_encoding);
    try {
        WriteFileSafely(path, [&](QIODevice& file) {
            if (file.write(encoded.bytes) != encoded.bytes.size())
                throw Exception(file.errorString());
        });
    } catch (const Exception&) {
        // A settings file that cannot be written is given up without a word; the old one stays.
        return false;
    }
    m_encoding = encoded.encoding;
    return true;
}

} // namespace quittung
