#include "settings/ini_settings.h"

#include "runtime/exception.h"
#include "runtime/messages.h"
#include "runtime/safe_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <limits>

namespace quittung::settings {

namespace {

// An optionally signed decimal integer of 32 bits; empty text is 0.
std::optional<int> parseInteger(const QString& text)
{
    if (text.isEmpty())
        return 0;
    qsizetype pos = 0;
    const bool negative = text[0] == QLatin1Char('-');
    if (negative || text[0] == QLatin1Char('+'))
        ++pos;
    if (pos == text.size())
        return std::nullopt;
    const qint64 limit = negative ? -qint64(std::numeric_limits<int>::min()) : std::numeric_limits<int>::max();
    qint64 magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const char16_t c = text[pos].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > limit)
            return std::nullopt;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

QStringList words(const QString& list)
{
    QStringList result;
    for (const QString& word : list.split(QLatin1Char(','))) {
        QString w = word.trimmed();
        if (!w.isEmpty())
            result.append(std::move(w));
    }
    return result;
}

// There is no read-only attribute on Linux, and root may write anything, so a file whose
// permission bits carry no write bit at all (chmod a-w) counts as read-only as well.
bool isReadOnlyFile(const QFileInfo& info)
{
    constexpr QFile::Permissions anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return !(info.permissions() & anyWrite) || !info.isWritable();
}

} // namespace

IniSettings::~IniSettings()
{
    if (m_flushOnDestroy)
        flush();
}

QString IniSettings::fullFileName() const
{
    // The name may come in Windows form.
    const qsizetype separator = std::max(m_fileName.lastIndexOf(QLatin1Char('/')),
                                         m_fileName.lastIndexOf(QLatin1Char('\\')));
    const QString name = m_fileName.mid(separator + 1);
    if (m_location.isEmpty())
        return name;
    return QDir(m_location).filePath(name);
}

void IniSettings::reload()
{
    m_reloaded = true;
    m_encoding = TextFileEncoding::Utf8;
    const QString path = fullFileName();
    const QFileInfo info(path);
    if (!info.exists()) {
        m_readOnly = false;
        m_iniFile.setText(QString());
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        // Writing back what could not be read would lose the file's content.
        m_readOnly = true;
        m_iniFile.setText(QString());
        return;
    }
    m_readOnly = isReadOnlyFile(info);
    DecodedTextFile decoded = decodeTextFile(file.readAll());
    m_encoding = decoded.encoding;
    m_iniFile.setText(decoded.text);
}

bool IniSettings::flush()
{
    if (m_readOnly || !m_reloaded)
        return false;
    const QString path = fullFileName();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;

    const EncodedTextFile encoded = encodeTextFile(m_iniFile.getText(), m_encoding);
    try {
        writeFileSafely(path, [&](QIODevice& file) {
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

IniSettings::IniKey IniSettings::splitPath(const QString& path) const
{
    const qsizetype separator = path.lastIndexOf(QLatin1Char('\\'));
    if (separator <= 0)
        return {m_defaultSection, path.mid(separator + 1)};
    return {path.left(separator), path.mid(separator + 1)};
}

std::optional<QString> IniSettings::readValue(const QString& path)
{
    if (m_autoReload)
        reload();
    const IniKey at = splitPath(path);
    if (!m_iniFile.valueExists(at.section, at.key))
        return std::nullopt;
    return m_iniFile.readString(at.section, at.key, QString());
}

void IniSettings::writeValue(const QString& path, const QString& value)
{
    if (m_readOnly)
        return;
    const IniKey at = splitPath(path);
    m_iniFile.writeString(at.section, at.key, value);
    if (m_autoFlush)
        flush();
}

template <typename T>
T IniSettings::convertError(const QString& value, T defaultValue) const
{
    if (m_options.defaultIfReadConvertError)
        return defaultValue;
    throw ConvertError(formatMessage(msg::SInvalidInteger, {value}));
}

QString IniSettings::readString(const QString& path, const QString& defaultValue)
{
    return readValue(path).value_or(defaultValue);
}

int IniSettings::readInteger(const QString& path, int defaultValue)
{
    const std::optional<QString> value = readValue(path);
    if (!value)
        return defaultValue;
    if (const std::optional<int> number = parseInteger(*value))
        return *number;
    return convertError(*value, defaultValue);
}

bool IniSettings::readBoolean(const QString& path, bool defaultValue)
{
    const std::optional<QString> value = readValue(path);
    if (!value)
        return defaultValue;
    if (words(m_options.booleanTrueValues).contains(*value, Qt::CaseInsensitive))
        return true;
    if (words(m_options.booleanFalseValues).contains(*value, Qt::CaseInsensitive))
        return false;
    if (const std::optional<int> number = parseInteger(*value))
        return *number != 0;
    return convertError(*value, defaultValue);
}

void IniSettings::writeString(const QString& path, const QString& value)
{
    writeValue(path, value);
}

void IniSettings::writeInteger(const QString& path, int value)
{
    writeValue(path, QString::number(value));
}

void IniSettings::writeBoolean(const QString& path, bool value)
{
    if (m_options.booleanAsString) {
        const QStringList list = words(value ? m_options.booleanTrueValues : m_options.booleanFalseValues);
        if (!list.isEmpty()) {
            writeValue(path, list.first());
            return;
        }
    }
    writeInteger(path, value ? 1 : 0);
}

} // namespace quittung::settings
