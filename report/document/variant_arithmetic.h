#pragma once

// The operators of the report's script language on variants, and its decimal numbers.

#include "report/document/variant.h"
#include "runtime/decimal_scan.h"
#include "runtime/exception.h"

#include <QChar>

#include <cstdint>

namespace quittung::report {

// Strings joined with "+" longer than a page can hold end the evaluation: report variables
// holding expressions could otherwise double a string at every step.
constexpr qsizetype kMaxJoinedStringLength = qsizetype(1) << 20;

// The binary operators, in the order of the script language's precedence levels (tightest first).
enum class VariantOperator : std::uint8_t {
    Multiply,
    Divide,
    IntDivide,
    Modulo,
    And,
    ShiftLeft,
    ShiftRight,
    Add,
    Subtract,
    Or,
    Xor,
    Equal,
    NotEqual,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
};

// "Floating point division by zero": the one run-time error a report may be told to ignore.
class FloatDivisionByZeroError : public Exception {
public:
    FloatDivisionByZeroError();
};

// The operators follow the platform's variant rules: null wins over everything but comparisons;
// integers stay integers until they overflow; strings are read as numbers with "."; "and", "or"
// and "xor" are logical on booleans and bitwise on integers. Errors throw Exception with the
// engine's run-time message ("Division by zero", "Could not convert variant of type ..."), a
// float division by zero FloatDivisionByZeroError.
Variant applyOperator(VariantOperator op, const Variant& left, const Variant& right);
Variant negate(const Variant& v);
Variant unaryPlus(const Variant& v);
Variant logicalNot(const Variant& v);

// Decimal numbers with "." as separator, shared by literals and strings met at run time.
enum class DecimalResult { Ok, Invalid, OutOfRange };
DecimalResult decimalValue(const DecimalScan& scan, double& value);
// Blanks around tokens and numbers: every character up to the space.
bool isBlank(QChar c);

} // namespace quittung::report
