#pragma once

#include "report/document/variant.h"
#include "runtime/exception.h"

#include <QString>

#include <memory>
#include <vector>

namespace quittung::report {

// The names and functions an expression can use; the report implements it. Names are compared
// without regard to case.
class ExpressionScope {
public:
    virtual ~ExpressionScope() = default;
    virtual bool hasVariable(const QString& name) const = 0;
    virtual Variant variableValue(const QString& name) = 0;
    virtual bool hasFunction(const QString& name) const = 0;
    // May throw Exception; the message ends the evaluation as it is.
    virtual Variant callFunction(const QString& name, const std::vector<Variant>& arguments) = 0;
};

// An expression that cannot be compiled; the message is the compiler's own, such as
// "Undeclared identifier: 'Foo'".
class ExpressionCompileError : public Exception {
public:
    using Exception::Exception;
};

// The message of a floating-point division by zero (FloatDivisionByZeroError), as the engine message
// table holds it under "xrFloatDivisionByZero".
inline constexpr const char* kFloatDivisionByZero = "Floating point division by zero";

// An expression of the report's script language, compiled once into a flat stack program and run
// any number of times. The program is evaluated without recursion, so long expressions are safe;
// nesting (parentheses, argument lists) is limited at compile time.
//
// Operators, loosest first: one comparison "= <> < > <= >=" (not chained, as in Pascal);
// "+ - or xor"; "* / div mod and shl shr"; prefix "- + not". Operands: numbers (12, $0C, 1.5e3),
// strings ('it''s'#13#10), True, False, Null/nil, names and dotted names (variables, or functions
// called without arguments), calls name(a, b), and <text>, a call of Get('text').
class CompiledExpression {
public:
    static constexpr int kMaxNesting = 256;

    // Names and functions are resolved against the scope here; Evaluate asks the same scope (or
    // one that knows the same names) for values.
    static std::shared_ptr<const CompiledExpression> compile(const QString& text, const ExpressionScope& scope);

    // Run-time errors throw Exception with their own message; errors of the scope pass through.
    Variant evaluate(ExpressionScope& scope) const;

    const QString& text() const { return m_text; }

    ~CompiledExpression();
    CompiledExpression(const CompiledExpression&) = delete;
    CompiledExpression& operator=(const CompiledExpression&) = delete;

    // The compiled code; its layout is private to the compiler.
    struct Program;

private:
    CompiledExpression(QString text, std::unique_ptr<const Program> program);

    QString m_text;
    std::unique_ptr<const Program> m_program;
};

} // namespace quittung::report
