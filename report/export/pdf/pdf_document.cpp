#include "report/export/pdf/pdf_document.h"

#include "report/export/pdf/pdf_security.h"
#include "runtime/exception.h"

#include <QIODevice>

#include <zlib.h>

#include <new>
#include <stdexcept>

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

// One zlib stream per thread and kind, reset for every piece of data: setting a stream up costs
// more than deflating a receipt's content stream. Each reset clears the match table; at memory
// level 6 that is 16 KB instead of the default's 64 KB, and the output is within a few bytes.
class Deflater {
public:
    // raw: deflate data without zlib's header and check value.
    explicit Deflater(bool raw)
    {
        constexpr int kMemoryLevel = 6;
        if (deflateInit2(&m_stream, 1, Z_DEFLATED, raw ? -MAX_WBITS : MAX_WBITS, kMemoryLevel, Z_DEFAULT_STRATEGY)
            != Z_OK)
            throw std::bad_alloc();
    }
    ~Deflater() { deflateEnd(&m_stream); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // Appends the deflated data to out: the whole stream (finish), or a run that ends on a byte
    // boundary and leaves the stream open.
    void deflate(QByteArrayView data, bool finish, QByteArray& out)
    {
        if (deflateReset(&m_stream) != Z_OK)
            throw std::bad_alloc();
        m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
        m_stream.avail_in = uInt(data.size());
        const qsizetype start = out.size();
        // deflateBound() holds the whole stream; a flush adds its empty stored block.
        const qsizetype room = qsizetype(deflateBound(&m_stream, uLong(data.size()))) + 16;
        out.resize(start + room);
        m_stream.next_out = reinterpret_cast<Bytef*>(out.data() + start);
        m_stream.avail_out = uInt(room);
        const int result = ::deflate(&m_stream, finish ? Z_FINISH : Z_SYNC_FLUSH);
        if (finish ? result != Z_STREAM_END : (result != Z_OK || m_stream.avail_out == 0))
            throw std::bad_alloc();
        out.truncate(start + qsizetype(m_stream.total_out));
    }

private:
    z_stream m_stream{};
};

Deflater& zlibDeflater()
{
    thread_local Deflater deflater(false);
    return deflater;
}

Deflater& rawDeflater()
{
    thread_local Deflater deflater(true);
    return deflater;
}

} // namespace

QByteArray PdfDocumentWriter::deflated(const QByteArray& data)
{
    QByteArray out;
    zlibDeflater().deflate(data, true, out);
    return out;
}

QByteArray PdfDocumentWriter::deflatedPiece(QByteArrayView data)
{
    QByteArray out;
    rawDeflater().deflate(data, false, out);
    return out;
}

QByteArray PdfDocumentWriter::deflatedInPieces(const QByteArray& data, const std::vector<DeflatePiece>& pieces)
{
    QByteArray out;
    out.reserve(data.size() / 2 + 64);
    // zlib's header for its fastest level and a 32 KB window.
    out.append("\x78\x01", 2);
    qsizetype at = 0;
    for (const DeflatePiece& piece : pieces) {
        if (piece.length <= 0 || piece.length > data.size() - at)
            throw std::invalid_argument("deflate pieces do not cover the data");
        if (piece.deflated.isEmpty())
            rawDeflater().deflate(QByteArrayView(data).sliced(at, piece.length), false, out);
        else
            out.append(piece.deflated);
        at += piece.length;
    }
    if (at != data.size())
        throw std::invalid_argument("deflate pieces do not cover the data");
    // An empty last block with fixed codes ends the deflate data; the Adler-32 of all bytes follows.
    out.append("\x03\x00", 2);
    const uLong check = adler32(adler32(0, nullptr, 0), reinterpret_cast<const Bytef*>(data.constData()), uInt(data.size()));
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(char((check >> shift) & 0xFF));
    return out;
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
