#pragma once

#include <QByteArray>

namespace quittung::report {

// The standard security handler, revision 3, with 128-bit RC4: the owner and user entries of the
// encryption dictionary and the key every string and stream of an object is encrypted with.
class PdfSecurity {
public:
    // permissions: the P value (−64 + 4·print + 8·modify + 16·copy + 32·annotate, −4 with all);
    // documentId: the 16 bytes of the first element of the document identifier. An empty owner
    // password takes the user password.
    PdfSecurity(const QByteArray& userPassword, const QByteArray& ownerPassword, int permissions,
        const QByteArray& documentId);

    int permissions() const { return m_permissions; }
    // The 32-byte /O and /U entries.
    const QByteArray& ownerEntry() const { return m_owner; }
    const QByteArray& userEntry() const { return m_user; }
    // The data encrypted (or decrypted: RC4 is its own inverse) with the key of object number n,
    // generation 0.
    QByteArray encrypt(int objectNumber, const QByteArray& data) const;

private:
    int m_permissions = -4;
    QByteArray m_owner;
    QByteArray m_user;
    QByteArray m_key;
};

} // namespace quittung::report
