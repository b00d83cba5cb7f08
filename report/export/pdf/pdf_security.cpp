#include "report/export/pdf/pdf_security.h"

#include "runtime/exception.h"

namespace quittung::report {

PdfSecurity::PdfSecurity(const QByteArray&, const QByteArray&, int permissions, const QByteArray&)
    : m_permissions(permissions)
{
    throw Exception(QStringLiteral("Protected PDF files are not written yet"));
}

QByteArray PdfSecurity::encrypt(int, const QByteArray& data) const
{
    return data;
}

} // namespace quittung::report
