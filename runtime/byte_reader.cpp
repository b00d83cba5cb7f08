#include "runtime/byte_reader.h"

#include "runtime/exception.h"

namespace quittung {

ByteReader::ByteReader(QByteArray data) : m_data(std::move(data)), m_offset(0), m_length(m_data.size()) {}

ByteReader::ByteReader(QByteArray data, qsizetype offset, qsizetype length) : m_data(std::move(data))
{
    if (offset < 0 || length < 0 || offset > m_data.size() || length > m_data.size() - offset)
        throw ReadError();
    m_offset = offset;
    m_length = length;
}

bool ByteReader::contains(qsizetype at, qsizetype count) const
{
    return at >= 0 && count >= 0 && at <= m_length && count <= m_length - at;
}

void ByteReader::check(qsizetype at, qsizetype count) const
{
    if (!contains(at, count))
        throw ReadError();
}

std::uint8_t ByteReader::u8(qsizetype at) const
{
    check(at, 1);
    return static_cast<std::uint8_t>(m_data.at(m_offset + at));
}

std::uint16_t ByteReader::u16(qsizetype at) const
{
    check(at, 2);
    const auto* p = reinterpret_cast<const unsigned char*>(m_data.constData() + m_offset + at);
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

std::int16_t ByteReader::s16(qsizetype at) const
{
    return static_cast<std::int16_t>(u16(at));
}

std::uint32_t ByteReader::u32(qsizetype at) const
{
    check(at, 4);
    const auto* p = reinterpret_cast<const unsigned char*>(m_data.constData() + m_offset + at);
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

std::uint32_t ByteReader::u32le(qsizetype at) const
{
    check(at, 4);
    const auto* p = reinterpret_cast<const unsigned char*>(m_data.constData() + m_offset + at);
    return (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

QByteArray ByteReader::bytes(qsizetype at, qsizetype count) const
{
    check(at, count);
    return m_data.mid(m_offset + at, count);
}

ByteReader ByteReader::sub(qsizetype at, qsizetype count) const
{
    check(at, count);
    return ByteReader(m_data, m_offset + at, count);
}

void putU16(QByteArray& data, qsizetype at, std::uint16_t value)
{
    if (at < 0 || at + 2 > data.size())
        throw ReadError();
    data[at] = char(value >> 8);
    data[at + 1] = char(value & 0xFF);
}

void putU32(QByteArray& data, qsizetype at, std::uint32_t value)
{
    putU16(data, at, std::uint16_t(value >> 16));
    putU16(data, at + 2, std::uint16_t(value & 0xFFFF));
}

} // namespace quittung
