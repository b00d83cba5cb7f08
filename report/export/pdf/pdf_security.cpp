#include "report/export/pdf/pdf_security.h"

#include <QCryptographicHash>

#include <array>
#include <cstdint>

namespace quittung::report {

namespace {

constexpr int KeyLength = 16;

// Fills short passwords up to 32 bytes.
const QByteArray& padding()
{
    static const QByteArray bytes = QByteArray::fromHex(
        "28BF4E5E4E758A4164004E56FFFA01082E2E00B6D0683E802F0CA9FE6453697A");
    return bytes;
}

QByteArray padded(const QByteArray& password)
{
    return (password.left(32) + padding()).left(32);
}

QByteArray md5(const QByteArray& data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Md5);
}

// Revision 3 hashes 50 more times, each time the whole 16-byte digest.
QByteArray md5Rounds(const QByteArray& data)
{
    QByteArray digest = md5(data);
    for (int i = 0; i < 50; ++i)
        digest = md5(digest.left(KeyLength));
    return digest.left(KeyLength);
}

QByteArray rc4(const QByteArray& key, const QByteArray& data)
{
    std::array<std::uint8_t, 256> state{};
    for (int i = 0; i < 256; ++i)
        state[std::size_t(i)] = std::uint8_t(i);
    std::uint8_t j = 0;
    for (int i = 0; i < 256; ++i) {
        j = std::uint8_t(j + state[std::size_t(i)] + std::uint8_t(key[i % key.size()]));
        std::swap(state[std::size_t(i)], state[j]);
    }
    QByteArray out(data.size(), Qt::Uninitialized);
    std::uint8_t x = 0;
    std::uint8_t y = 0;
    for (qsizetype k = 0; k < data.size(); ++k) {
        ++x;
        y = std::uint8_t(y + state[x]);
        std::swap(state[x], state[y]);
        out[k] = char(std::uint8_t(data[k]) ^ state[std::uint8_t(state[x] + state[y])]);
    }
    return out;
}

// Revision 3 encrypts 19 more times, with the key's bytes XORed with the round number.
QByteArray rc4Rounds(const QByteArray& key, QByteArray data)
{
    data = rc4(key, data);
    for (int round = 1; round <= 19; ++round) {
        QByteArray roundKey = key;
        for (char& byte : roundKey)
            byte = char(byte ^ round);
        data = rc4(roundKey, data);
    }
    return data;
}

QByteArray littleEndian(std::uint32_t value, int bytes)
{
    QByteArray out;
    for (int i = 0; i < bytes; ++i)
        out += char((value >> (8 * i)) & 0xFF);
    return out;
}

} // namespace

PdfSecurity::PdfSecurity(const QByteArray& userPassword, const QByteArray& ownerPassword, int permissions,
    const QByteArray& documentId)
    : m_permissions(permissions)
{
    const QByteArray owner = ownerPassword.isEmpty() ? userPassword : ownerPassword;
    m_owner = rc4Rounds(md5Rounds(padded(owner)), padded(userPassword));
    m_key = md5Rounds(padded(userPassword) + m_owner + littleEndian(std::uint32_t(permissions), 4) + documentId);
    m_user = rc4Rounds(m_key, md5(padding() + documentId)) + QByteArray(16, '\0');
}

QByteArray PdfSecurity::encrypt(int objectNumber, const QByteArray& data) const
{
    const QByteArray objectKey = md5(m_key + littleEndian(std::uint32_t(objectNumber), 3) + littleEndian(0, 2));
    return rc4(objectKey.left(KeyLength), data);
}

} // namespace quittung::report
