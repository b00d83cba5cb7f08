#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <ostream>

// Readable failure messages for Qt strings in GoogleTest.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* out)
{
    *out << '[';
    for (qsizetype i = 0; i < list.size(); ++i)
        *out << (i ? ", \"" : "\"") << list[i].toStdString() << '"';
    *out << ']';
}

inline void PrintTo(const QByteArray& bytes, std::ostream* out)
{
    *out << '"';
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == '\r')
            *out << "\\r";
        else if (b == '\n')
            *out << "\\n";
        else if (b < 0x20 || b >= 0x7F)
            *out << "\\x" << "0123456789abcdef"[b >> 4] << "0123456789abcdef"[b & 15];
        else
            *out << c;
    }
    *out << '"';
}
