#include "settings/text_file_encoding.h"

#include "runtime/windows1252.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace quittung::settings {

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");
const QByteArray kUtf16LEBom("\xFF\xFE");
const QByteArray kUtf16BEBom("\xFE\xFF");

// The marks are handled here, so the converters must keep a second one as a character.
constexpr auto kFlags = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

QString decode(QStringConverter::Encoding encoding, QByteArrayView bytes, bool* valid = nullptr)
{
    QStringDecoder decoder(encoding, kFlags);
    QString text = decoder(bytes);
    if (valid)
        *valid = !decoder.hasError();
    return text;
}

QByteArray encode(QStringConverter::Encoding encoding, const QString& text)
{
    QStringEncoder encoder(encoding, kFlags);
    return encoder(text);
}

} // namespace

DecodedTextFile decodeTextFile(const QByteArray& bytes)
{
    const QByteArrayView view(bytes);
    if (bytes.startsWith(kUtf8Bom))
        return {decode(QStringConverter::Utf8, view.sliced(kUtf8Bom.size())), TextFileEncoding::Utf8Bom};
    if (bytes.startsWith(kUtf16LEBom))
        return {decode(QStringConverter::Utf16LE, view.sliced(kUtf16LEBom.size())), TextFileEncoding::Utf16LE};
    if (bytes.startsWith(kUtf16BEBom))
        return {decode(QStringConverter::Utf16BE, view.sliced(kUtf16BEBom.size())), TextFileEncoding::Utf16BE};

    bool valid = false;
    QString text = decode(QStringConverter::Utf8, view, &valid);
    if (valid)
        return {std::move(text), TextFileEncoding::Utf8};
    return {decodeWindows1252(bytes), TextFileEncoding::Windows1252};
}

EncodedTextFile encodeTextFile(const QString& text, TextFileEncoding wanted)
{
    switch (wanted) {
    case TextFileEncoding::Utf8:
        return {encode(QStringConverter::Utf8, text), wanted};
    case TextFileEncoding::Utf8Bom:
        return {kUtf8Bom + encode(QStringConverter::Utf8, text), wanted};
    case TextFileEncoding::Utf16LE:
        return {kUtf16LEBom + encode(QStringConverter::Utf16LE, text), wanted};
    case TextFileEncoding::Utf16BE:
        return {kUtf16BEBom + encode(QStringConverter::Utf16BE, text), wanted};
    case TextFileEncoding::Windows1252:
        // Bytes that happen to be valid UTF-8 ("Ã¤" once the only other letter went with a
        // comment) would read back as other characters.
        if (std::optional<QByteArray> bytes = encodeWindows1252(text); bytes && decodeTextFile(*bytes).text == text)
            return {std::move(*bytes), wanted};
        return encodeTextFile(text, TextFileEncoding::Utf8Bom);
    }
    return encodeTextFile(text, TextFileEncoding::Utf8);
}

} // namespace quittung::settings
