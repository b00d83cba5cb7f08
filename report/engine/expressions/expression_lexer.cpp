// The lexer of the expression language: keywords, numbers, strings and symbols.

#include "report/engine/expressions/expression_lexer.h"

#include "report/document/engine_messages.h"
#include "report/document/variant_arithmetic.h"
#include "report/engine/expressions/expression.h"
#include "runtime/decimal_scan.h"
#include "runtime/messages.h"

#include <QStringView>

#include <optional>

namespace quittung::report {

QString quoted(const QString& prefix, const QString& name)
{
    return prefix + QStringLiteral(": '") + name + QLatin1Char('\'');
}

[[noreturn]] void compileError(const QString& message)
{
    throw ExpressionCompileError(message);
}

namespace {

struct Keyword {
    const char* text;
    Tok kind;
};

constexpr Keyword kKeywords[] = {
    {"and", Tok::And},
    {"or", Tok::Or},
    {"xor", Tok::Xor},
    {"not", Tok::Not},
    {"div", Tok::Div},
    {"mod", Tok::Mod},
    {"shl", Tok::Shl},
    {"shr", Tok::Shr},
    {"true", Tok::True},
    {"false", Tok::False},
    {"null", Tok::Null},
    {"nil", Tok::Null},
};

bool isIdentifierStart(QChar c)
{
    return c == QLatin1Char('_') || c.isLetter();
}

bool isIdentifierPart(QChar c)
{
    return isIdentifierStart(c) || isDigit(c);
}

} // namespace

Token Lexer::next()
{
    const qsizetype n = m_text.size();
    while (m_pos < n && isBlank(m_text[m_pos]))
        ++m_pos;
    Token token;
    token.start = m_pos;
    if (m_pos >= n) {
        token.end = m_pos;
        return token;
    }
    const QChar c = m_text[m_pos];
    if (isIdentifierStart(c)) {
        identifier(token);
    } else if (isDigit(c)) {
        decimal(token);
    } else if (c == QLatin1Char('$')) {
        hex(token);
    } else if (c == QLatin1Char('\'') || c == QLatin1Char('#')) {
        string(token);
    } else {
        symbol(token);
    }
    token.end = m_pos;
    return token;
}

void Lexer::identifier(Token& token)
{
    while (m_pos < m_text.size() && isIdentifierPart(m_text[m_pos]))
        ++m_pos;
    const QStringView word = QStringView(m_text).mid(token.start, m_pos - token.start);
    token.kind = Tok::Identifier;
    for (const Keyword& keyword : kKeywords) {
        if (word.compare(QLatin1String(keyword.text), Qt::CaseInsensitive) == 0) {
            token.kind = keyword.kind;
            break;
        }
    }
    if (token.kind == Tok::True || token.kind == Tok::False) {
        token.value = Variant(token.kind == Tok::True);
        token.kind = Tok::Literal;
    } else if (token.kind == Tok::Null) {
        token.value = Variant::null();
        token.kind = Tok::Literal;
    }
}

void Lexer::decimal(Token& token)
{
    // "1." alone is no fraction: the dot stays a symbol of its own.
    const DecimalScan scan = scanDecimal(m_text, m_pos, QLatin1Char('.'), FractionRule::DigitAfterSeparator);
    m_pos = scan.end;
    const QString literal = current(token.start);
    token.kind = Tok::Literal;
    if (!scan.separator && !scan.exponentMark) {
        qint64 value = 0;
        bool fits = true;
        for (const char digit : scan.digits) {
            if (__builtin_mul_overflow(value, qint64(10), &value)
                || __builtin_add_overflow(value, qint64(digit - '0'), &value)) {
                fits = false;
                break;
            }
        }
        if (fits) {
            token.value = Variant(value);
            return;
        }
    }
    double value = 0;
    switch (decimalValue(scan, value)) {
    case DecimalResult::Ok: token.value = Variant(value); return;
    case DecimalResult::Invalid: compileError(quoted(engineMessage(QStringLiteral("xrInvalidNumber")), literal));
    case DecimalResult::OutOfRange: compileError(quoted(engineMessage(QStringLiteral("xrNumberOutOfRange")), literal));
    }
}

void Lexer::hex(Token& token)
{
    ++m_pos;
    quint64 value = 0;
    int significant = 0;
    while (m_pos < m_text.size() && hexDigitValue(m_text[m_pos]) >= 0) {
        const int digit = hexDigitValue(m_text[m_pos]);
        if (significant > 0 || digit != 0)
            ++significant;
        if (significant <= 16)
            value = value << 4 | quint64(digit);
        ++m_pos;
    }
    if (m_pos == token.start + 1)
        compileError(quoted(engineMessage(QStringLiteral("xrInvalidNumber")), current(token.start)));
    if (significant > 16)
        compileError(quoted(engineMessage(QStringLiteral("xrNumberOutOfRange")), current(token.start)));
    // Like 64-bit hex constants: $FFFFFFFFFFFFFFFF is -1.
    token.kind = Tok::Literal;
    token.value = Variant(static_cast<qint64>(value));
}

// Quoted parts and character codes that touch each other form one string: 'a'#13#10'b'.
void Lexer::string(Token& token)
{
    const qsizetype n = m_text.size();
    QString value;
    while (m_pos < n) {
        if (m_text[m_pos] == QLatin1Char('\'')) {
            ++m_pos;
            for (;;) {
                const qsizetype quote = m_text.indexOf(QLatin1Char('\''), m_pos);
                if (quote < 0)
                    compileError(engineMessage(QStringLiteral("xrUnterminatedString")));
                value += QStringView(m_text).mid(m_pos, quote - m_pos);
                m_pos = quote + 1;
                if (m_pos < n && m_text[m_pos] == QLatin1Char('\'')) {
                    value += QLatin1Char('\'');
                    ++m_pos;
                } else {
                    break;
                }
            }
        } else if (m_text[m_pos] == QLatin1Char('#')) {
            value += characterCode();
        } else {
            break;
        }
    }
    token.kind = Tok::Literal;
    token.value = Variant(value);
}

QString Lexer::characterCode()
{
    const qsizetype start = m_pos++;
    const qsizetype n = m_text.size();
    const bool isHex = m_pos < n && m_text[m_pos] == QLatin1Char('$');
    if (isHex)
        ++m_pos;
    const qsizetype digits = m_pos;
    char32_t code = 0;
    bool tooLarge = false;
    while (m_pos < n && (isHex ? hexDigitValue(m_text[m_pos]) >= 0 : isDigit(m_text[m_pos]))) {
        const int digit = isHex ? hexDigitValue(m_text[m_pos]) : m_text[m_pos].unicode() - u'0';
        code = code * (isHex ? 16 : 10) + char32_t(digit);
        if (code > 0x10FFFF) {
            tooLarge = true;
            code = 0;
        }
        ++m_pos;
    }
    if (m_pos == digits || tooLarge)
        compileError(quoted(engineMessage(QStringLiteral("xrInvalidCharCode")), current(start)));
    if (code > 0xFFFF) {
        const QChar pair[2] = {QChar::highSurrogate(code), QChar::lowSurrogate(code)};
        return QString(pair, 2);
    }
    return QString(QChar(char16_t(code)));
}

void Lexer::symbol(Token& token)
{
    const qsizetype n = m_text.size();
    const char16_t c = m_text[m_pos].unicode();
    const char16_t following = m_pos + 1 < n ? m_text[m_pos + 1].unicode() : u'\0';
    ++m_pos;
    switch (c) {
    case u'(': token.kind = Tok::LeftParen; return;
    case u')': token.kind = Tok::RightParen; return;
    case u',': token.kind = Tok::Comma; return;
    case u'.': token.kind = Tok::Dot; return;
    case u'+': token.kind = Tok::Plus; return;
    case u'-': token.kind = Tok::Minus; return;
    case u'*': token.kind = Tok::Star; return;
    case u'/': token.kind = Tok::Slash; return;
    case u'=': token.kind = Tok::Equal; return;
    case u'<':
        if (following == u'=' || following == u'>') {
            token.kind = following == u'=' ? Tok::LessEqual : Tok::NotEqual;
            ++m_pos;
        } else {
            token.kind = Tok::Less;
        }
        return;
    case u'>':
        if (following == u'=') {
            token.kind = Tok::GreaterEqual;
            ++m_pos;
        } else {
            token.kind = Tok::Greater;
        }
        return;
    default: break;
    }
    // Show a character outside the basic plane whole, not half of it.
    if (QChar::isHighSurrogate(c) && QChar::isLowSurrogate(following))
        ++m_pos;
    compileError(formatMessage(engineMessage(QStringLiteral("xrUnknownCharacter")), {current(token.start)}));
}

} // namespace quittung::report
