#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

#include <variant>

namespace quittung::report {

// The tagged value the report engine passes around. "Empty" (nothing assigned) and "null" (an
// assigned nothing) are different states: a value callback that leaves a value empty did not know
// the name, one that assigns null answered it.
class Variant {
public:
    enum class Type { Empty, Null, Integer, Float, Currency, Boolean, DateTime, String };

    // A currency amount: a 64-bit count of ten-thousandths.
    struct Currency {
        qint64 tenThousandths = 0;
        bool operator==(const Currency&) const = default;
    };

    Variant() = default;
    Variant(int value) : m_value(qint64(value)) {}
    Variant(qint64 value) : m_value(value) {}
    Variant(double value) : m_value(value) {}
    Variant(Currency value) : m_value(value) {}
    Variant(bool value) : m_value(value) {}
    Variant(QDateTime value) : m_value(std::move(value)) {}
    Variant(QString value) : m_value(std::move(value)) {}
    // A string literal would otherwise turn into a boolean.
    Variant(const char*) = delete;

    static Variant null();

    Type type() const { return static_cast<Type>(m_value.index()); }
    bool isEmpty() const { return type() == Type::Empty; }
    bool isNull() const { return type() == Type::Null; }

    qint64 integerValue() const { return std::get<qint64>(m_value); }
    double floatValue() const { return std::get<double>(m_value); }
    Currency currencyValue() const { return std::get<Currency>(m_value); }
    bool booleanValue() const { return std::get<bool>(m_value); }
    const QDateTime& dateTimeValue() const { return std::get<QDateTime>(m_value); }
    const QString& stringValue() const { return std::get<QString>(m_value); }

    bool operator==(const Variant&) const = default;

private:
    struct EmptyTag {
        bool operator==(const EmptyTag&) const = default;
    };
    struct NullTag {
        bool operator==(const NullTag&) const = default;
    };
    // The order follows Type.
    std::variant<EmptyTag, NullTag, qint64, double, Currency, bool, QDateTime, QString> m_value;
};

} // namespace quittung::report
