#include "runtime/exception.h"

#include "runtime/messages.h"

namespace quittung {

Exception::Exception(QString message)
    : m_message(std::move(message))
    , m_utf8(m_message.toUtf8())
{
}

IntegerOverflowError::IntegerOverflowError()
    : Exception(QString::fromUtf8(msg::SIntOverflow))
{
}

ReadError::ReadError()
    : Exception(QString::fromUtf8(msg::SReadError))
{
}

void checkListIndex(qsizetype index, qsizetype count)
{
    if (index < 0 || index >= count)
        throw ListIndexError(formatMessage(msg::SListIndexError, {QString::number(index)}));
}

QString exceptionMessage(const std::exception& error)
{
    if (const auto* own = dynamic_cast<const Exception*>(&error))
        return own->message();
    return QString::fromUtf8(error.what());
}

QString messageForDisplay(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

} // namespace quittung
