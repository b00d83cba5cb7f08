#pragma once

#include <QByteArray>

#include <cstdint>

namespace quittung {

// Reads over a window of a byte buffer, big-endian (font files) or little-endian (stored blocks).
// Every read is checked against the window, so damaged input ends in ReadError and never in a
// read outside the buffer.
class ByteReader {
public:
    explicit ByteReader(QByteArray data);
    // A window of offset..offset+length of data; throws when it does not lie inside.
    ByteReader(QByteArray data, qsizetype offset, qsizetype length);

    qsizetype size() const { return m_length; }
    bool contains(qsizetype at, qsizetype count) const;

    std::uint8_t u8(qsizetype at) const;
    std::uint16_t u16(qsizetype at) const;
    std::int16_t s16(qsizetype at) const;
    std::uint32_t u32(qsizetype at) const;
    std::uint32_t u32le(qsizetype at) const;
    QByteArray bytes(qsizetype at, qsizetype count) const;
    ByteReader sub(qsizetype at, qsizetype count) const;

private:
    void check(qsizetype at, qsizetype count) const;

    QByteArray m_data;
    qsizetype m_offset = 0;
    qsizetype m_length = 0;
};

// Big-endian writes into a buffer that is already large enough (the callers size it first); a
// write past its end raises ReadError too.
void putU16(QByteArray& data, qsizetype at, std::uint16_t value);
void putU32(QByteArray& data, qsizetype at, std::uint32_t value);

} // namespace quittung
