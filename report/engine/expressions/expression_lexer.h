#pragma once

// The lexer of the report's script language: tokens from expression text.

#include "report/document/variant.h"

#include <QString>

namespace quittung::report {

// "prefix: 'name'", the form of messages that name what they refuse.
QString quoted(const QString& prefix, const QString& name);

// Throws ExpressionCompileError with the message.
[[noreturn]] void compileError(const QString& message);

enum class Tok {
    End,
    Literal,
    Identifier,
    LeftParen,
    RightParen,
    Comma,
    Dot,
    Plus,
    Minus,
    Star,
    Slash,
    Equal,
    NotEqual,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
    And,
    Or,
    Xor,
    Not,
    Div,
    Mod,
    Shl,
    Shr,
    True,
    False,
    Null,
};

struct Token {
    Tok kind = Tok::End;
    qsizetype start = 0;
    qsizetype end = 0;
    Variant value;
};

// Splits an expression into tokens, one at a time. Literals carry their value; errors in them
// (an unterminated string, a number out of range) are compile errors.
class Lexer {
public:
    explicit Lexer(const QString& text) : m_text(text) {}

    qsizetype position() const { return m_pos; }
    void setPosition(qsizetype position) { m_pos = position; }

    Token next();

private:
    QString current(qsizetype start) const { return m_text.mid(start, m_pos - start); }

    void identifier(Token& token);
    void decimal(Token& token);
    void hex(Token& token);
    void string(Token& token);
    QString characterCode();
    void symbol(Token& token);

    const QString& m_text;
    qsizetype m_pos = 0;
};

} // namespace quittung::report
