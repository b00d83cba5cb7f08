// The extra-data block ("PropData"): hex form, entry writer and reader.

#include "report/document/prop_data.h"

#include "runtime/decimal_scan.h"
#include "runtime/exception.h"
#include "runtime/windows1252.h"

namespace quittung::report {

void PropDataWriter::entryName(const QString& name)
{
    const QByteArray utf8 = name.toUtf8().left(255);
    m_bytes.append(char(utf8.size()));
    m_bytes.append(utf8);
}

void PropDataWriter::string(const QString& text)
{
    bool ascii = true;
    for (const QChar c : text)
        ascii = ascii && c.unicode() < 128;
    const QByteArray utf8 = text.toUtf8();
    if (!text.isEmpty() && ascii && utf8.size() < 256) {
        byte(6);
        byte(int(utf8.size()));
        m_bytes.append(utf8);
    } else if (!text.isEmpty() && ascii) {
        byte(12);
        int32(quint32(utf8.size()));
        m_bytes.append(utf8);
    } else if (!text.isEmpty() && utf8.size() < 2 * text.size()) {
        byte(20);
        int32(quint32(utf8.size()));
        m_bytes.append(utf8);
    } else {
        byte(18);
        int32(quint32(text.size()));
        for (const QChar c : text) {
            byte(c.unicode() & 0xFF);
            byte(c.unicode() >> 8);
        }
    }
}

void PropDataWriter::collection(const std::vector<QString>& items)
{
    byte(1);
    for (const QString& item : items) {
        byte(1);
        string(item);
        byte(0);
    }
    byte(0);
}

void PropDataWriter::int32(quint32 value)
{
    for (int i = 0; i < 4; ++i)
        byte(int((value >> (8 * i)) & 0xFF));
}

QString PropDataReader::entryName()
{
    const int size = byte();
    return QString::fromUtf8(take(size));
}

QString PropDataReader::string()
{
    switch (byte()) {
    case 6: return decodeWindows1252(take(byte()));
    case 12: return decodeWindows1252(take(int32()));
    case 20: return QString::fromUtf8(take(int32()));
    case 18: {
        const qint64 units = int32();
        const QByteArray data = take(units * 2);
        QString text(units, Qt::Uninitialized);
        for (qint64 i = 0; i < units; ++i)
            text[i] = QChar(char16_t(uchar(data[2 * i]) | (uchar(data[2 * i + 1]) << 8)));
        return text;
    }
    default: throw ReadError();
    }
}

qint64 PropDataReader::integer()
{
    switch (byte()) {
    case 2: return qint8(byte());
    case 3: {
        const int low = byte();
        return qint16(quint16(low | (byte() << 8)));
    }
    case 4: return qint32(quint32(int32()));
    default: throw ReadError();
    }
}

QByteArray PropDataReader::take(qint64 count)
{
    const QByteArray part = m_reader.bytes(m_position, count);
    m_position += count;
    return part;
}

qint64 PropDataReader::int32()
{
    const std::uint32_t value = m_reader.u32le(m_position);
    m_position += 4;
    return value;
}

QString bytesToHex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

QByteArray hexToBytes(const QString& hex)
{
    QByteArray bytes;
    bytes.reserve(hex.size() / 2);
    for (qsizetype i = 0; i + 1 < hex.size(); i += 2) {
        const int high = hexDigitValue(hex[i]);
        const int low = hexDigitValue(hex[i + 1]);
        if (high < 0 || low < 0)
            break;
        bytes.append(char(high * 16 + low));
    }
    return bytes;
}

} // namespace quittung::report
