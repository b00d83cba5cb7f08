#include "report/export/pdf/pdf_document.h"

#include "report/export/pdf/pdf_security.h"
#include "runtime/exception.h"

#include <QIODevice>

#include <zlib.h>

#include <new>

namespace quittung::report {


PdfDocumentWriter::PdfDocumentWriter(QIODevice& out) : m_out(out) {}

PdfDocumentWriter::~PdfDocumentWriter() = default;

int PdfDocumentWriter::reserveObject()
{
    m_crossReference.push_back(m_offset);
    return int(m_crossReference.size());
}

void PdfDocumentWriter::beginObject(int number)
{
    m_crossReference.at(std::size_t(number - 1)) = m_offset;
    writeLine(QByteArray::number(number) + " 0 obj");
}

int PdfDocumentWriter::beginNewObject()
{
    const int number = reserveObject();
    beginObject(number);
    return number;
}

void PdfDocumentWriter::endObject()
{
    writeLine("endobj");
}

void PdfDocumentWriter::write(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return;
    if (m_out.write(bytes.data(), bytes.size()) != bytes.size())
        throw Exception(m_out.errorString());
    m_offset += bytes.size();
}

void PdfDocumentWriter::writeLine(QByteArrayView line)
{
    write(line);
    write("\r\n");
}

void PdfDocumentWriter::writeStreamBody(int objectNumber, QByteArray data, bool lineBreakAfter)
{
    writeLine("stream");
    if (m_security)
        data = m_security->encrypt(objectNumber, data);
    write(data);
    if (lineBreakAfter)
        write("\r\n");
    writeLine("endstream");
}

QByteArray PdfDocumentWriter::textString(int objectNumber, const QString& text) const
{
    const QByteArray utf16 = "\xFE\xFF" + utf16BigEndian(text);
    return m_security ? literalString(objectNumber, utf16) : hexString(utf16);
}

QByteArray PdfDocumentWriter::utf16BigEndian(const QString& text)
{
    QByteArray out;
    out.reserve(2 * text.size());
    for (const QChar c : text)
        out.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    return out;
}

QByteArray PdfDocumentWriter::hexString(const QByteArray& bytes)
{
    return '<' + bytes.toHex().toUpper() + '>';
}

QByteArray PdfDocumentWriter::literalString(int objectNumber, const QByteArray& bytes) const
{
    return escapedLiteral(m_security ? m_security->encrypt(objectNumber, bytes) : bytes);
}

QByteArray PdfDocumentWriter::escapedLiteral(const QByteArray& bytes)
{
    QByteArray out = "(";
    for (const char c : bytes) {
        switch (c) {
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '(': out += "\\("; break;
        case ')': out += "\\)"; break;
        case '\\': out += "\\\\"; break;
        default: out += c;
        }
    }
    out += ')';
    return out;
}

namespace {

// One zlib stream per thread, reset for every piece of data: setting a stream up clears a few
// hundred kilobytes, more than deflating a receipt's content stream takes. The output is what
// compress2() at the same level gives.
class Deflater {
public:
    Deflater()
    {
        if (deflateInit(&m_stream, 1) != Z_OK)
            throw std::bad_alloc();
    }
    ~Deflater() { deflateEnd(&m_stream); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    QByteArray deflate(const QByteArray& data)
    {
        if (deflateReset(&m_stream) != Z_OK)
            throw std::bad_alloc();
        QByteArray out(qsizetype(deflateBound(&m_stream, uLong(data.size()))), Qt::Uninitialized);
        m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
        m_stream.avail_in = uInt(data.size());
        m_stream.next_out = reinterpret_cast<Bytef*>(out.data());
        m_stream.avail_out = uInt(out.size());
        // With a buffer of deflateBound() the stream always ends in one call.
        if (::deflate(&m_stream, Z_FINISH) != Z_STREAM_END)
            throw std::bad_alloc();
        out.truncate(qsizetype(m_stream.total_out));
        return out;
    }

private:
    z_stream m_stream{};
};

} // namespace

QByteArray PdfDocumentWriter::deflated(const QByteArray& data)
{
    thread_local Deflater deflater;
    return deflater.deflate(data);
}

const PdfPageRecord* PdfDocumentWriter::finishedPage(int index) const
{
    for (const PdfPageRecord& page : pages) {
        if (page.index == index && page.objectNumber != 0)
            return &page;
    }
    return nullptr;
}

void PdfDocumentWriter::setSecurity(std::unique_ptr<PdfSecurity> security)
{
    m_security = std::move(security);
}

void PdfDocumentWriter::forgetImageDigests()
{
    for (PdfImageRecord& image : images)
        image.digest.clear();
}

} // namespace quittung::report
