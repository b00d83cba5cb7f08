#pragma once

// The extra-data block of templates ("PropData"): its hexadecimal form and the reader and writer
// of its entries.

#include "runtime/byte_reader.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <vector>

namespace quittung::report {

// Writes the entries of the extra-data block.
class PropDataWriter {
public:
    // A length byte and at most 255 bytes of UTF-8.
    void entryName(const QString& name);
    void byte(int value) { m_bytes.append(char(value)); }
    // In the shortest of the stored string forms that holds the text.
    void string(const QString& text);
    // A list of items, each the attribute text of one object.
    void collection(const std::vector<QString>& items);
    const QByteArray& bytes() const { return m_bytes; }

private:
    void int32(quint32 value);
    QByteArray m_bytes;
};

// Reads the extra-data block from its start to its end; a short block, or a value of a form it does
// not know, ends in ReadError.
class PropDataReader {
public:
    explicit PropDataReader(const QByteArray& bytes) : m_reader(bytes) {}

    bool atEnd() const { return m_position >= m_reader.size(); }
    int byte() { return m_reader.u8(m_position++); }
    QString entryName();
    // Strings and integers begin with a byte that names their form.
    QString string();
    qint64 integer();

private:
    QByteArray take(qint64 count);
    qint64 int32();
    const ByteReader m_reader;
    qint64 m_position = 0;
};

// The hexadecimal form of the extra-data block and its bytes ("0123456789ABCDEF"; a lone last
// digit is ignored; reading stops at the first character that is no hex digit).
QString bytesToHex(const QByteArray& bytes);
QByteArray hexToBytes(const QString& hex);

} // namespace quittung::report
