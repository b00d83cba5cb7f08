// The variant operators of the report's script language: arithmetic, comparisons, logic and the
// conversions between value types they make.

#include "report/document/variant_arithmetic.h"

#include "report/document/engine_messages.h"
#include "report/document/report_options.h"
#include "runtime/exception.h"
#include "runtime/messages.h"

#include <QStringView>

#include <cmath>
#include <compare>
#include <limits>
#include <optional>

namespace quittung::report {

namespace {

using Op = VariantOperator;

[[noreturn]] void runtimeError(const char* key)
{
    throw Exception(engineMessage(QString::fromLatin1(key)));
}

constexpr const char* kDivisionByZero = "xrDivisionByZero";
constexpr const char* kInvalidFloatOperation = "xrInvalidFloatOperation";
constexpr const char* kFloatOverflow = "xrFloatOverflow";

QString typeName(Variant::Type type)
{
    switch (type) {
    case Variant::Type::Empty: return QStringLiteral("Empty");
    case Variant::Type::Null: return QStringLiteral("Null");
    case Variant::Type::Integer: return QStringLiteral("Int64");
    case Variant::Type::Float: return QStringLiteral("Double");
    case Variant::Type::Currency: return QStringLiteral("Currency");
    case Variant::Type::Boolean: return QStringLiteral("Boolean");
    case Variant::Type::DateTime: return QStringLiteral("Date");
    case Variant::Type::String: return QStringLiteral("String");
    }
    return QString();
}

[[noreturn]] void conversionError(Variant::Type from, Variant::Type to)
{
    throw Exception(formatMessage(engineMessage(QStringLiteral("xrCannotConvert")), {typeName(from), typeName(to)}));
}

// A string used as a number: blanks, an optional sign and a decimal number with ".".
std::optional<double> stringToDouble(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    bool negative = false;
    if (begin < end && (text[begin] == QLatin1Char('+') || text[begin] == QLatin1Char('-')))
        negative = text[begin++] == QLatin1Char('-');
    // "5." and ".5" pass here, unlike in literals.
    const DecimalScan scan
        = scanDecimal(QStringView(text).first(end), begin, QLatin1Char('.'), FractionRule::SeparatorAlone);
    double value = 0;
    if (scan.end != end || decimalValue(scan, value) != DecimalResult::Ok)
        return std::nullopt;
    return negative ? -value : value;
}

// ----------------------------------------------------------------------------------------------
// Values at run time, after the variant operators of the report's script language.

constexpr qint64 kMinInt = std::numeric_limits<qint64>::min();
constexpr double kTwoTo63 = 9223372036854775808.0;
// The dates a date-time can hold: 1 Jan 0001 to 31 Dec 9999, in days from 30 Dec 1899.
constexpr double kMinDays = -693593.0;
constexpr double kMaxDays = 2958466.0;

bool isStringLike(const Variant& v)
{
    return v.type() == Variant::Type::String || v.type() == Variant::Type::Empty;
}

QString stringOf(const Variant& v)
{
    return v.type() == Variant::Type::String ? v.stringValue() : QString();
}

struct Number {
    enum class Kind { Integer, Currency, Float, Date };
    Kind kind = Kind::Integer;
    qint64 i = 0; // Integer, or ten-thousandths for Currency
    double f = 0; // Float, or days for Date

    double toDouble() const
    {
        switch (kind) {
        case Kind::Integer: return double(i);
        case Kind::Currency: return double(i) / 10000.0;
        case Kind::Float:
        case Kind::Date: break;
        }
        return f;
    }
    long double toLongDouble() const
    {
        switch (kind) {
        case Kind::Integer: return static_cast<long double>(i);
        case Kind::Currency: return static_cast<long double>(i) / 10000.0L;
        case Kind::Float:
        case Kind::Date: break;
        }
        return f;
    }
};

Number integerNumber(qint64 value)
{
    return {Number::Kind::Integer, value, 0};
}

Number floatNumber(double value)
{
    return {Number::Kind::Float, 0, value};
}

// Booleans count as -1 and 0, empty as 0, strings must read as decimal numbers.
Number toNumber(const Variant& v)
{
    switch (v.type()) {
    case Variant::Type::Empty: return integerNumber(0);
    case Variant::Type::Integer: return integerNumber(v.integerValue());
    case Variant::Type::Float: return floatNumber(v.floatValue());
    case Variant::Type::Currency: return {Number::Kind::Currency, v.currencyValue().tenThousandths, 0};
    case Variant::Type::Boolean: return integerNumber(v.booleanValue() ? -1 : 0);
    case Variant::Type::DateTime:
        if (!v.dateTimeValue().isValid())
            conversionError(Variant::Type::DateTime, Variant::Type::Float);
        return {Number::Kind::Date, 0, dateTimeToDays(v.dateTimeValue())};
    case Variant::Type::String:
        if (const auto value = stringToDouble(v.stringValue()))
            return floatNumber(*value);
        conversionError(Variant::Type::String, Variant::Type::Float);
    case Variant::Type::Null: break;
    }
    conversionError(v.type(), Variant::Type::Float);
}

Variant fromDays(double days)
{
    const double whole = std::trunc(days);
    if (!(whole >= kMinDays && whole < kMaxDays))
        conversionError(Variant::Type::Float, Variant::Type::DateTime);
    return Variant(daysToDateTime(days));
}

// A float result from finite operands must be finite, as with trapping floating-point hardware.
Variant checkedFloat(double result, double left, double right)
{
    if (!std::isfinite(result) && std::isfinite(left) && std::isfinite(right))
        runtimeError(std::isnan(result) ? kInvalidFloatOperation : kFloatOverflow);
    return Variant(result);
}

// Rounds halves to even, like the platform's variant conversions to integers.
qint64 roundToInteger(double value, Variant::Type from)
{
    const double rounded = std::nearbyint(value);
    if (!(rounded >= -kTwoTo63 && rounded < kTwoTo63))
        conversionError(from, Variant::Type::Integer);
    return static_cast<qint64>(rounded);
}

qint64 toInteger(const Variant& v)
{
    const Number n = toNumber(v);
    switch (n.kind) {
    case Number::Kind::Integer: return n.i;
    case Number::Kind::Currency: {
        qint64 whole = n.i / 10000;
        const qint64 rest = n.i % 10000;
        if (rest > 5000 || (rest == 5000 && whole % 2 != 0))
            ++whole;
        else if (rest < -5000 || (rest == -5000 && whole % 2 != 0))
            --whole;
        return whole;
    }
    case Number::Kind::Float:
    case Number::Kind::Date: break;
    }
    return roundToInteger(n.f, v.type());
}

Variant floatOperation(Op op, double a, double b)
{
    switch (op) {
    case Op::Add: return checkedFloat(a + b, a, b);
    case Op::Subtract: return checkedFloat(a - b, a, b);
    case Op::Multiply: return checkedFloat(a * b, a, b);
    default: break;
    }
    Q_ASSERT(false);
    return Variant::null();
}

Variant integerOperation(Op op, qint64 a, qint64 b)
{
    qint64 result = 0;
    bool overflow = false;
    switch (op) {
    case Op::Add: overflow = __builtin_add_overflow(a, b, &result); break;
    case Op::Subtract: overflow = __builtin_sub_overflow(a, b, &result); break;
    case Op::Multiply: overflow = __builtin_mul_overflow(a, b, &result); break;
    default: break;
    }
    if (overflow)
        return floatOperation(op, double(a), double(b));
    return Variant(result);
}

Variant currencyOperation(Op op, const Number& x, const Number& y)
{
    const auto fallback = [&] { return floatOperation(op, x.toDouble(), y.toDouble()); };
    qint64 result = 0;
    if (op == Op::Multiply) {
        if (x.kind == Number::Kind::Currency && y.kind == Number::Kind::Currency) {
            const long double product = std::nearbyint(static_cast<long double>(x.i) * y.i / 10000.0L);
            if (!(product >= -9223372036854775808.0L && product < 9223372036854775808.0L))
                return fallback();
            result = static_cast<qint64>(product);
        } else if (__builtin_mul_overflow(x.i, y.i, &result)) {
            return fallback();
        }
        return Variant(Variant::Currency{result});
    }
    qint64 a = x.i;
    qint64 b = y.i;
    if ((x.kind == Number::Kind::Integer && __builtin_mul_overflow(x.i, qint64(10000), &a))
        || (y.kind == Number::Kind::Integer && __builtin_mul_overflow(y.i, qint64(10000), &b)))
        return fallback();
    const bool overflow =
        op == Op::Add ? __builtin_add_overflow(a, b, &result) : __builtin_sub_overflow(a, b, &result);
    if (overflow)
        return fallback();
    return Variant(Variant::Currency{result});
}

// + - * : integers stay integers until they overflow; currency with integers stays currency; a
// date plus or minus a number is a date, the difference of two dates a number of days.
Variant arithmetic(Op op, const Variant& left, const Variant& right)
{
    if (left.isNull() || right.isNull())
        return Variant::null();
    if (op == Op::Add && isStringLike(left) && isStringLike(right)
        && (left.type() == Variant::Type::String || right.type() == Variant::Type::String)) {
        if (stringOf(left).size() + stringOf(right).size() > kMaxJoinedStringLength)
            runtimeError("xrStringTooLong");
        return Variant(stringOf(left) + stringOf(right));
    }

    const Number x = toNumber(left);
    const Number y = toNumber(right);
    using K = Number::Kind;
    if (x.kind == K::Date || y.kind == K::Date) {
        const double a = x.toDouble();
        const double b = y.toDouble();
        if (op == Op::Multiply || (op == Op::Subtract && x.kind == K::Date && y.kind == K::Date))
            return floatOperation(op, a, b);
        const Variant days = floatOperation(op, a, b);
        return fromDays(days.floatValue());
    }
    if (x.kind == K::Float || y.kind == K::Float)
        return floatOperation(op, x.toDouble(), y.toDouble());
    if (x.kind == K::Currency || y.kind == K::Currency)
        return currencyOperation(op, x, y);
    return integerOperation(op, x.i, y.i);
}

Variant divide(const Variant& left, const Variant& right)
{
    if (left.isNull() || right.isNull())
        return Variant::null();
    const double a = toNumber(left).toDouble();
    const double b = toNumber(right).toDouble();
    if (b == 0.0) {
        if (a == 0.0 || std::isnan(a))
            runtimeError(kInvalidFloatOperation);
        throw FloatDivisionByZeroError();
    }
    return checkedFloat(a / b, a, b);
}

Variant integerArithmetic(Op op, const Variant& left, const Variant& right)
{
    if (left.isNull() || right.isNull())
        return Variant::null();
    const qint64 a = toInteger(left);
    const qint64 b = toInteger(right);
    switch (op) {
    case Op::IntDivide:
        if (b == 0)
            runtimeError(kDivisionByZero);
        if (a == kMinInt && b == -1)
            return Variant(kTwoTo63);
        return Variant(a / b);
    case Op::Modulo:
        if (b == 0)
            runtimeError(kDivisionByZero);
        if (b == -1)
            return Variant(qint64(0));
        return Variant(a % b);
    case Op::ShiftLeft: return Variant(static_cast<qint64>(static_cast<quint64>(a) << (b & 63)));
    // A logical shift, also for negative numbers.
    case Op::ShiftRight: return Variant(static_cast<qint64>(static_cast<quint64>(a) >> (b & 63)));
    default: break;
    }
    Q_ASSERT(false);
    return Variant::null();
}

// "True"/"False" in any letter case, or a number that is true when it is not zero.
bool stringToBoolean(const QString& text)
{
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    if (const auto value = stringToDouble(text))
        return *value != 0.0;
    conversionError(Variant::Type::String, Variant::Type::Boolean);
}

bool isBooleanText(const Variant& v)
{
    return v.type() == Variant::Type::String
        && (v.stringValue().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
            || v.stringValue().compare(QLatin1String("false"), Qt::CaseInsensitive) == 0);
}

// and, or, xor: logical when a boolean meets a boolean or a string, or both are "True"/"False"
// texts; otherwise bitwise on integers, with true as -1.
Variant logical(Op op, const Variant& left, const Variant& right)
{
    if (left.isNull() || right.isNull())
        return Variant::null();
    using T = Variant::Type;
    const auto booleanOrString = [](const Variant& v) { return v.type() == T::Boolean || v.type() == T::String; };
    const bool logicalOperands =
        ((left.type() == T::Boolean || right.type() == T::Boolean) && booleanOrString(left) && booleanOrString(right))
        || (isBooleanText(left) && isBooleanText(right));
    const auto asBoolean = [](const Variant& v) {
        return v.type() == T::Boolean ? v.booleanValue() : stringToBoolean(v.stringValue());
    };
    if (logicalOperands) {
        const bool a = asBoolean(left);
        const bool b = asBoolean(right);
        switch (op) {
        case Op::And: return Variant(a && b);
        case Op::Or: return Variant(a || b);
        default: return Variant(a != b);
        }
    }
    const qint64 a = toInteger(left);
    const qint64 b = toInteger(right);
    switch (op) {
    case Op::And: return Variant(qint64(a & b));
    case Op::Or: return Variant(qint64(a | b));
    default: return Variant(qint64(a ^ b));
    }
}

// Null is below every other value and equal only to null.
std::partial_ordering compare(const Variant& left, const Variant& right)
{
    using T = Variant::Type;
    if (left.isNull() || right.isNull())
        return int(!left.isNull()) <=> int(!right.isNull());
    if (isStringLike(left) && isStringLike(right))
        return stringOf(left).compare(stringOf(right)) <=> 0;
    const bool leftBoolean = left.type() == T::Boolean;
    const bool rightBoolean = right.type() == T::Boolean;
    if ((leftBoolean || rightBoolean) && (leftBoolean || left.type() == T::String)
        && (rightBoolean || right.type() == T::String)) {
        const bool a = leftBoolean ? left.booleanValue() : stringToBoolean(left.stringValue());
        const bool b = rightBoolean ? right.booleanValue() : stringToBoolean(right.stringValue());
        return a <=> b;
    }
    const Number x = toNumber(left);
    const Number y = toNumber(right);
    using K = Number::Kind;
    const bool exactLeft = x.kind == K::Integer || x.kind == K::Currency;
    const bool exactRight = y.kind == K::Integer || y.kind == K::Currency;
    if (exactLeft && exactRight) {
        if (x.kind == y.kind)
            return x.i <=> y.i;
        // An integer too large for currency is beyond every currency amount.
        qint64 scaled = 0;
        if (x.kind == K::Integer)
            return __builtin_mul_overflow(x.i, qint64(10000), &scaled) ? x.i <=> 0 : scaled <=> y.i;
        return __builtin_mul_overflow(y.i, qint64(10000), &scaled) ? 0 <=> y.i : x.i <=> scaled;
    }
    // Integers meet floats exactly; currency meets them as the double it reads as.
    if (x.kind == K::Integer || y.kind == K::Integer)
        return x.toLongDouble() <=> y.toLongDouble();
    return x.toDouble() <=> y.toDouble();
}

Variant relation(Op op, const Variant& left, const Variant& right)
{
    const std::partial_ordering order = compare(left, right);
    switch (op) {
    case Op::Equal: return Variant(order == 0);
    case Op::NotEqual: return Variant(!(order == 0));
    case Op::Less: return Variant(order < 0);
    case Op::Greater: return Variant(order > 0);
    case Op::LessEqual: return Variant(order <= 0);
    default: return Variant(order >= 0);
    }
}

} // namespace

FloatDivisionByZeroError::FloatDivisionByZeroError()
    : Exception(engineMessage(QStringLiteral("xrFloatDivisionByZero")))
{
}

// A number needs a digit, and an exponent needs digits too. A value too small for a double reads as
// zero, one too large is out of range.
DecimalResult decimalValue(const DecimalScan& scan, double& value)
{
    if (scan.digits.empty() || (scan.exponentMark && !scan.exponentDigits))
        return DecimalResult::Invalid;
    const std::optional<double> number = scan.toDouble();
    if (!number)
        return DecimalResult::OutOfRange;
    value = *number;
    return DecimalResult::Ok;
}

bool isBlank(QChar c)
{
    return c.unicode() <= u' ';
}

Variant negate(const Variant& v)
{
    if (v.isNull())
        return v;
    const Number n = toNumber(v);
    switch (n.kind) {
    case Number::Kind::Integer:
        if (n.i == kMinInt)
            return Variant(kTwoTo63);
        return Variant(-n.i);
    case Number::Kind::Currency:
        if (n.i == kMinInt)
            return Variant(kTwoTo63 / 10000.0);
        return Variant(Variant::Currency{-n.i});
    case Number::Kind::Float:
    case Number::Kind::Date: break;
    }
    return Variant(-n.f);
}

Variant unaryPlus(const Variant& v)
{
    switch (v.type()) {
    case Variant::Type::Empty:
    case Variant::Type::Boolean: return Variant(toNumber(v).i);
    case Variant::Type::String: return Variant(toNumber(v).f);
    default: return v;
    }
}

Variant logicalNot(const Variant& v)
{
    if (v.isNull())
        return v;
    if (v.type() == Variant::Type::Boolean)
        return Variant(!v.booleanValue());
    if (isBooleanText(v))
        return Variant(!stringToBoolean(v.stringValue()));
    return Variant(qint64(~toInteger(v)));
}

Variant applyOperator(VariantOperator op, const Variant& left, const Variant& right)
{
    switch (op) {
    case Op::Add:
    case Op::Subtract:
    case Op::Multiply: return arithmetic(op, left, right);
    case Op::Divide: return divide(left, right);
    case Op::IntDivide:
    case Op::Modulo:
    case Op::ShiftLeft:
    case Op::ShiftRight: return integerArithmetic(op, left, right);
    case Op::And:
    case Op::Or:
    case Op::Xor: return logical(op, left, right);
    default: return relation(op, left, right);
    }
}

} // namespace quittung::report
