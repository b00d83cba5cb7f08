#pragma once

#include "report/export/pdf/pdf_font.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QIODevice;

namespace quittung::report {

// How a protected document encrypts its strings and streams: the key of each object.
class PdfSecurity;

// A page begun in the document: its height in points places outline and link destinations.
struct PdfPageRecord {
    // The prepared page's index (0-based), which outline items and jumps name.
    int index = 0;
    double height = 0;
    // The page object's number, once the page is finished.
    int objectNumber = 0;
};

// An image written into the document: its object and the MD5 digest of its JPEG data.
struct PdfImageRecord {
    int objectNumber = 0;
    QByteArray digest;
};

// A link annotation, written when the document is finished: a web link, or a jump to a page
// (0-based index into the document's pages) at a height in points.
struct PdfAnnotation {
    int objectNumber = 0;
    QByteArray rect; // "L B R T"
    QString hyperlink;
    int destinationPage = -1;
    int destinationY = 0;
};

// One font of the document, with the number reserved for its font dictionary (0 until a finished
// page first refers to it).
struct PdfDocumentFont {
    std::unique_ptr<PdfFont> font;
    int reference = 0;
};

// The objects of one PDF file as they are written, and what a document keeps from its first page
// to its last: the cross-reference offsets, the pages, fonts, images and link annotations.
// Every line ends with CR LF; numbers are written with two decimals (appendPdfNumber), counts and
// object numbers as plain integers.
class PdfDocumentWriter {
public:
    explicit PdfDocumentWriter(QIODevice& out);
    ~PdfDocumentWriter();
    PdfDocumentWriter(const PdfDocumentWriter&) = delete;
    PdfDocumentWriter& operator=(const PdfDocumentWriter&) = delete;

    // Bytes written so far.
    qint64 offset() const { return m_offset; }
    // Appends the current offset to the cross-reference list; the object's number.
    int reserveObject();
    // Starts object `number` (reserved before) here: its cross-reference entry becomes this offset
    // and the line "n 0 obj" is written.
    void beginObject(int number);
    // reserveObject() and beginObject() in one.
    int beginNewObject();
    // The line "endobj".
    void endObject();
    // Throws Exception with the device's error when the bytes cannot be written.
    void write(QByteArrayView bytes);
    // The bytes and CR LF.
    void writeLine(QByteArrayView line);
    // A stream object's body after its dictionary line: "stream", the data (encrypted with the
    // object's key when the document is protected), a line break when lineBreakAfter, "endstream".
    // The object line and "endobj" are the caller's.
    void writeStreamBody(int objectNumber, QByteArray data, bool lineBreakAfter);
    // A text of the information dictionary or the outline: UTF-16BE hex with the byte-order mark,
    // or, when protected, the encrypted bytes as an escaped literal string.
    QByteArray textString(int objectNumber, const QString& text) const;
    // Bytes as a literal string in parentheses, encrypted with the object's key when protected.
    QByteArray literalString(int objectNumber, const QByteArray& bytes) const;
    // The text's UTF-16 code units, high byte first, without byte-order mark.
    static QByteArray utf16BigEndian(const QString& text);
    // Bytes as upper-case hex digits in angle brackets.
    static QByteArray hexString(const QByteArray& bytes);
    // Bytes in parentheses, with line feed, carriage return, parentheses and backslash escaped.
    static QByteArray escapedLiteral(const QByteArray& bytes);
    // The data deflated with zlib at its fastest level.
    static QByteArray deflated(const QByteArray& data);
    // Bytes deflated ahead of time for deflatedInPieces(): the piece ends on a byte boundary and
    // refers to nothing before it, so it fits into any stream at the place of the same bytes.
    static QByteArray deflatedPiece(QByteArrayView data);
    // A run of the data for deflatedInPieces(): deflated there, or already as deflatedPiece()
    // made it of the same bytes.
    struct DeflatePiece {
        qsizetype length = 0;
        QByteArray deflated; // empty: deflate the run here
    };
    // The data as one zlib stream at the fastest level, like deflated(), made of pieces that cover
    // the data in order.
    static QByteArray deflatedInPieces(const QByteArray& data, const std::vector<DeflatePiece>& pieces);

    // The cross-reference entries: offsets of objects 1…n.
    const std::vector<qint64>& crossReference() const { return m_crossReference; }
    int objectCount() const { return int(m_crossReference.size()); }

    // Protection; nullptr while the document is not protected. Owned by the writer.
    void setSecurity(std::unique_ptr<PdfSecurity> security);
    const PdfSecurity* security() const { return m_security.get(); }

    // Per-export state, in order of first use.
    std::vector<PdfPageRecord> pages;
    std::vector<PdfDocumentFont> fonts;
    std::vector<PdfImageRecord> images;
    // Indexes into images used on the current page, in order of first use.
    std::vector<int> pageImages;
    std::vector<PdfAnnotation> annotations;
    // Object numbers of the current page's annotations.
    std::vector<int> pageAnnotations;
    // The finished page of prepared page `index`; nullptr when that page was not exported.
    const PdfPageRecord* finishedPage(int index) const;
    // Ends the reuse of the images written so far: an image is only reused on the page that wrote it.
    void forgetImageDigests();

private:
    QIODevice& m_out;
    qint64 m_offset = 0;
    std::vector<qint64> m_crossReference;
    std::unique_ptr<PdfSecurity> m_security;
};

} // namespace quittung::report
