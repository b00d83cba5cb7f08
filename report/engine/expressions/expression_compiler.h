#pragma once

// The compiler of the report's script language: expression text into a flat stack program.

#include "report/document/variant.h"
#include "report/document/variant_arithmetic.h"
#include "report/engine/expressions/expression.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace quittung::report {

struct CompiledExpression::Program {
    enum class Op : std::uint8_t {
        Constant,
        Variable,
        Call,
        Negate,
        Plus,
        Not,
        Binary,
    };
    struct Instruction {
        Op op;
        // Binary: the operator.
        VariantOperator binary = VariantOperator::Add;
        // Constant: index of the constant; Variable and Call: index of the name.
        std::uint32_t operand = 0;
        std::uint32_t argumentCount = 0;
    };

    std::vector<Instruction> code;
    std::vector<Variant> constants;
    std::vector<QString> names;
    std::size_t maxStack = 0;
};

// Compiles the text into the empty program; errors throw ExpressionCompileError.
void compileExpression(const QString& text, const ExpressionScope& scope, CompiledExpression::Program& program);

} // namespace quittung::report
