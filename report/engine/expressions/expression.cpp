// The evaluator of compiled expressions.

#include "report/engine/expressions/expression.h"

#include "report/document/variant_arithmetic.h"
#include "report/engine/expressions/expression_compiler.h"

namespace quittung::report {

namespace {

using Op = CompiledExpression::Program::Op;

} // namespace

CompiledExpression::CompiledExpression(QString text, std::unique_ptr<const Program> program)
    : m_text(std::move(text))
    , m_program(std::move(program))
{
}

CompiledExpression::~CompiledExpression() = default;

std::shared_ptr<const CompiledExpression> CompiledExpression::compile(const QString& text, const ExpressionScope& scope)
{
    auto program = std::make_unique<Program>();
    compileExpression(text, scope, *program);
    return std::shared_ptr<const CompiledExpression>(new CompiledExpression(text, std::move(program)));
}

Variant CompiledExpression::evaluate(ExpressionScope& scope) const
{
    const Program& program = *m_program;
    std::vector<Variant> stack;
    stack.reserve(program.maxStack);
    for (const Program::Instruction& instruction : program.code) {
        switch (instruction.op) {
        case Op::Constant: stack.push_back(program.constants.at(instruction.operand)); continue;
        case Op::Variable: stack.push_back(scope.variableValue(program.names.at(instruction.operand))); continue;
        case Op::Call: {
            const std::size_t count = instruction.argumentCount;
            Q_ASSERT(count <= stack.size());
            const auto first = stack.end() - static_cast<std::ptrdiff_t>(count);
            std::vector<Variant> arguments(std::make_move_iterator(first), std::make_move_iterator(stack.end()));
            stack.erase(first, stack.end());
            stack.push_back(scope.callFunction(program.names.at(instruction.operand), arguments));
            continue;
        }
        case Op::Negate: stack.back() = negate(stack.back()); continue;
        case Op::Plus: stack.back() = unaryPlus(stack.back()); continue;
        case Op::Not: stack.back() = logicalNot(stack.back()); continue;
        case Op::Binary: break;
        }
        Q_ASSERT(stack.size() >= 2);
        const Variant right = std::move(stack.back());
        stack.pop_back();
        Variant& left = stack.back();
        left = applyOperator(instruction.binary, left, right);
    }
    Q_ASSERT(stack.size() == 1);
    return stack.empty() ? Variant::null() : std::move(stack.back());
}

} // namespace quittung::report
