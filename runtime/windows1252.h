#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace quittung {

// The Windows-1252 code page. Its five unassigned bytes map to the C1 control characters of the
// same code, as Windows itself does, so every byte survives a round trip.
QString decodeWindows1252(const QByteArray& bytes);

// The bytes of the text, or nothing when a character has no byte in the code page.
std::optional<QByteArray> encodeWindows1252(const QString& text);

} // namespace quittung
