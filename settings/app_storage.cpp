#include "settings/app_storage.h"

#include "runtime/exception.h"
#include "runtime/messages.h"

#include <QStringList>

#include <limits>

namespace quittung {

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

} // namespace

std::optional<QString> TJvCustomAppStorage::readValue(const QString& path)
{
    if (m_autoReload)
        Reload();
    return DoReadValue(path);
}

void TJvCustomAppStorage::writeValue(const QString& path, const QString& value)
{
    if (m_readOnly)
        return;
    DoWriteValue(path, value);
    if (m_autoFlush)
        Flush();
}

template <typename T>
T TJvCustomAppStorage::convertError(const QString& value, T defaultValue) const
{
    if (m_options.DefaultIfReadConvertError)
        return defaultValue;
    throw EConvertError(formatMessage(msg::SInvalidInteger, {value}));
}

QString TJvCustomAppStorage::ReadString(const QString& path, const QString& defaultValue)
{
    return readValue(path).value_or(defaultValue);
}

int TJvCustomAppStorage::ReadInteger(const QString& path, int defaultValue)
{
    const std::optional<QString> value = readValue(path);
    if (!value)
        return defaultValue;
    if (const std::optional<int> number = parseInteger(*value))
        return *number;
    return convertError(*value, defaultValue);
}

bool TJvCustomAppStorage::ReadBoolean(const QString& path, bool defaultValue)
{
    const std::optional<QString> value = readValue(path);
    if (!value)
        return defaultValue;
    if (words(m_options.BooleanStringTrueValues).contains(*value, Qt::CaseInsensitive))
        return true;
    if (words(m_options.BooleanStringFalseValues).contains(*value, Qt::CaseInsensitive))
        return false;
    if (const std::optional<int> number = parseInteger(*value))
        return *number != 0;
    return convertError(*value, defaultValue);
}

void TJvCustomAppStorage::WriteString(const QString& path, const QString& value)
{
    writeValue(path, value);
}

void TJvCustomAppStorage::WriteInteger(const QString& path, int value)
{
    writeValue(path, QString::number(value));
}

void TJvCustomAppStorage::WriteBoolean(const QString& path, bool value)
{
    if (m_options.BooleanAsString) {
        const QStringList list = words(value ? m_options.BooleanStringTrueValues : m_options.BooleanStringFalseValues);
        if (!list.isEmpty()) {
            writeValue(path, list.first());
            return;
        }
    }
    WriteInteger(path, value ? 1 : 0);
}

} // namespace quittung
