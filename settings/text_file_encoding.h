#pragma once

#include <QByteArray>
#include <QString>

namespace quittung::settings {

// How a text file's bytes hold its characters. A file is written back the way it was read.
enum class TextFileEncoding {
    Utf8,        // no byte order mark; also what a new file gets
    Utf8Bom,
    Utf16LE,     // with its byte order mark
    Utf16BE,     // with its byte order mark
    Windows1252, // no byte order mark and not valid UTF-8
};

struct DecodedTextFile {
    QString text;
    TextFileEncoding encoding = TextFileEncoding::Utf8;
};

// A byte order mark decides; without one, valid UTF-8 is UTF-8 and anything else Windows-1252.
DecodedTextFile decodeTextFile(const QByteArray& bytes);

struct EncodedTextFile {
    QByteArray bytes;
    TextFileEncoding encoding = TextFileEncoding::Utf8;
};

// The text in the wanted encoding; when a character has no place in it, or Windows-1252 bytes would
// read as UTF-8, UTF-8 with a byte order mark instead, so no character is lost or changed.
EncodedTextFile encodeTextFile(const QString& text, TextFileEncoding wanted);

} // namespace quittung::settings
