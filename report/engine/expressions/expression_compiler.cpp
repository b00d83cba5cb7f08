// The compiler of the expression language: a recursive-descent parser writing postfix code.

#include "report/engine/expressions/expression_compiler.h"

#include "report/document/engine_messages.h"
#include "report/engine/expressions/expression_lexer.h"

#include <algorithm>

namespace quittung::report {

namespace {

using Op = CompiledExpression::Program::Op;


// A recursive-descent parser that emits postfix code. Levels, loosest first: comparisons (one per
// expression, as in Pascal), "+ - or xor", "* / div mod and shl shr", then the prefix operators
// "- + not" and the operands.
class Compiler {
public:
    Compiler(const QString& text, const ExpressionScope& scope, CompiledExpression::Program& program)
        : m_text(text)
        , m_scope(scope)
        , m_lexer(text)
        , m_program(program)
    {
    }

    void compile()
    {
        advance();
        expression();
        if (m_token.kind != Tok::End)
            compileError(quoted(engineMessage(QStringLiteral("xrUnexpectedSymbol")), tokenText()));
    }

private:
    void advance() { m_token = m_lexer.next(); }

    QString tokenText() const { return m_text.mid(m_token.start, m_token.end - m_token.start); }

    void expression()
    {
        simpleExpression();
        VariantOperator op;
        switch (m_token.kind) {
        case Tok::Equal: op = VariantOperator::Equal; break;
        case Tok::NotEqual: op = VariantOperator::NotEqual; break;
        case Tok::Less: op = VariantOperator::Less; break;
        case Tok::Greater: op = VariantOperator::Greater; break;
        case Tok::LessEqual: op = VariantOperator::LessEqual; break;
        case Tok::GreaterEqual: op = VariantOperator::GreaterEqual; break;
        default: return;
        }
        advance();
        simpleExpression();
        writeBinary(op);
    }

    void simpleExpression()
    {
        term();
        for (;;) {
            VariantOperator op;
            switch (m_token.kind) {
            case Tok::Plus: op = VariantOperator::Add; break;
            case Tok::Minus: op = VariantOperator::Subtract; break;
            case Tok::Or: op = VariantOperator::Or; break;
            case Tok::Xor: op = VariantOperator::Xor; break;
            default: return;
            }
            advance();
            term();
            writeBinary(op);
        }
    }

    void term()
    {
        factor();
        for (;;) {
            VariantOperator op;
            switch (m_token.kind) {
            case Tok::Star: op = VariantOperator::Multiply; break;
            case Tok::Slash: op = VariantOperator::Divide; break;
            case Tok::Div: op = VariantOperator::IntDivide; break;
            case Tok::Mod: op = VariantOperator::Modulo; break;
            case Tok::And: op = VariantOperator::And; break;
            case Tok::Shl: op = VariantOperator::ShiftLeft; break;
            case Tok::Shr: op = VariantOperator::ShiftRight; break;
            default: return;
            }
            advance();
            factor();
            writeBinary(op);
        }
    }

    // Prefix operators are gathered in a loop, so "- - - x" costs no stack.
    void factor()
    {
        std::vector<Op> prefixes;
        for (;;) {
            if (m_token.kind == Tok::Minus)
                prefixes.push_back(Op::Negate);
            else if (m_token.kind == Tok::Plus)
                prefixes.push_back(Op::Plus);
            else if (m_token.kind == Tok::Not)
                prefixes.push_back(Op::Not);
            else
                break;
            advance();
        }
        operand();
        for (auto op = prefixes.rbegin(); op != prefixes.rend(); ++op)
            write(*op);
    }

    void operand()
    {
        switch (m_token.kind) {
        case Tok::Literal:
            write(Op::Constant, addConstant(std::move(m_token.value)));
            advance();
            return;
        case Tok::LeftParen:
            enter();
            advance();
            expression();
            expect(Tok::RightParen, "')' expected");
            leave();
            return;
        // Where an operand stands, "<" opens a name: <Netto>, also <>, <=x>.
        case Tok::Less:
        case Tok::LessEqual:
        case Tok::NotEqual: angleName(); return;
        case Tok::Identifier: name(); return;
        default: compileError(engineMessage(QStringLiteral("xrExpressionExpected")));
        }
    }

    void angleName()
    {
        const qsizetype open = m_token.start;
        const qsizetype close = m_text.indexOf(QLatin1Char('>'), open + 1);
        if (close < 0)
            compileError(QStringLiteral("'>' expected"));
        const QString get = QStringLiteral("Get");
        if (!m_scope.hasFunction(get))
            compileError(quoted(engineMessage(QStringLiteral("xrUndeclaredIdentifier")), get));
        write(Op::Constant, addConstant(Variant(m_text.mid(open + 1, close - open - 1))));
        write(Op::Call, addName(get), 1);
        m_lexer.setPosition(close + 1);
        advance();
    }

    void name()
    {
        // A dotted name (Report.name) is one name to the scope.
        QString full = tokenText();
        advance();
        while (m_token.kind == Tok::Dot) {
            advance();
            if (m_token.kind != Tok::Identifier)
                compileError(engineMessage(QStringLiteral("xrIdentifierExpected")));
            full += QLatin1Char('.') + tokenText();
            advance();
        }
        if (m_token.kind == Tok::LeftParen) {
            if (!m_scope.hasFunction(full)) {
                if (m_scope.hasVariable(full))
                    compileError(quoted(engineMessage(QStringLiteral("xrNotAFunction")), full));
                compileError(quoted(engineMessage(QStringLiteral("xrUndeclaredIdentifier")), full));
            }
            enter();
            advance();
            std::uint32_t count = 0;
            if (m_token.kind != Tok::RightParen) {
                for (;;) {
                    expression();
                    ++count;
                    if (m_token.kind != Tok::Comma)
                        break;
                    advance();
                }
            }
            expect(Tok::RightParen, "')' expected");
            leave();
            write(Op::Call, addName(full), count);
            return;
        }
        if (m_scope.hasVariable(full))
            write(Op::Variable, addName(full));
        else if (m_scope.hasFunction(full))
            write(Op::Call, addName(full), 0);
        else
            compileError(quoted(engineMessage(QStringLiteral("xrUndeclaredIdentifier")), full));
    }

    void expect(Tok kind, const char* message)
    {
        if (m_token.kind != kind)
            compileError(QString::fromLatin1(message));
        advance();
    }

    void enter()
    {
        if (++m_depth > CompiledExpression::kMaxNesting)
            compileError(engineMessage(QStringLiteral("xrExpressionTooComplex")));
    }

    void leave() { --m_depth; }

    std::uint32_t addConstant(Variant value)
    {
        m_program.constants.push_back(std::move(value));
        return static_cast<std::uint32_t>(m_program.constants.size() - 1);
    }

    std::uint32_t addName(const QString& name)
    {
        m_program.names.push_back(name);
        return static_cast<std::uint32_t>(m_program.names.size() - 1);
    }

    void writeBinary(VariantOperator op)
    {
        write(Op::Binary);
        m_program.code.back().binary = op;
    }

    void write(Op op, std::uint32_t operand = 0, std::uint32_t argumentCount = 0)
    {
        m_program.code.push_back({op, VariantOperator::Add, operand, argumentCount});
        switch (op) {
        case Op::Constant:
        case Op::Variable: ++m_stack; break;
        case Op::Call: m_stack = m_stack - argumentCount + 1; break;
        case Op::Negate:
        case Op::Plus:
        case Op::Not: break;
        case Op::Binary: --m_stack; break;
        }
        m_program.maxStack = std::max(m_program.maxStack, m_stack);
    }

    const QString& m_text;
    const ExpressionScope& m_scope;
    Lexer m_lexer;
    CompiledExpression::Program& m_program;
    Token m_token;
    int m_depth = 0;
    std::size_t m_stack = 0;
};

} // namespace

void compileExpression(const QString& text, const ExpressionScope& scope, CompiledExpression::Program& program)
{
    Compiler(text, scope, program).compile();
}

} // namespace quittung::report
