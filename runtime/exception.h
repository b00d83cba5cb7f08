#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace quittung {

// The program's errors: the message is the text the user sees.
class Exception : public std::exception {
public:
    explicit Exception(QString message);

    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A text that cannot be converted into the wanted type.
class ConvertError : public Exception {
public:
    using Exception::Exception;
};

// An integer result that does not fit into 32 bits.
class IntegerOverflowError : public Exception {
public:
    IntegerOverflowError();
};

// A read outside binary data: a damaged or cut file. Readers of a file format turn it into that
// format's own message.
class ReadError : public Exception {
public:
    ReadError();
};

// An index outside a list.
class ListIndexError : public Exception {
public:
    using Exception::Exception;
};

// Throws the list-index error "Listenindex überschreitet das Maximum (%d)" unless 0 <= index < count.
void checkListIndex(qsizetype index, qsizetype count);

// The message of any exception as the user is shown it.
QString exceptionMessage(const std::exception& error);

// The text of the error box: a "." is appended when the last character's code is above that of ".",
// so messages ending in ")" or "!" stay as they are.
QString messageForDisplay(const QString& message);

} // namespace quittung
