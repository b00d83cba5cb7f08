#include "report/engine/expression.h"

#include "report/document/engine_messages.h"
#include "runtime/decimal_scan.h"
#include "runtime/messages.h"

#include "report/document/report_options.h"

#include <QStringView>

#include <cmath>
#include <compare>
#include <limits>
#include <optional>

namespace quittung::report {

namespace {

// ----------------------------------------------------------------------------------------------
// Messages

QString quoted(const QString& prefix, const QString& name)
{
    return prefix + QStringLiteral(": '") + name + QLatin1Char('\'');
}

[[noreturn]] void compileError(const QString& message)
{
    throw ExpressionCompileError(message);
}

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

// ----------------------------------------------------------------------------------------------
// Decimal numbers with "." as separator, shared by literals and strings met at run time.

enum class DecimalResult { Ok, Invalid, OutOfRange };

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
// Tokens

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

class Lexer {
public:
    explicit Lexer(const QString& text) : m_text(text) {}

    qsizetype position() const { return m_pos; }
    void setPosition(qsizetype position) { m_pos = position; }

    Token next()
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

private:
    QString current(qsizetype start) const { return m_text.mid(start, m_pos - start); }

    void identifier(Token& token)
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

    void decimal(Token& token)
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

    void hex(Token& token)
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
    void string(Token& token)
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

    QString characterCode()
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

    void symbol(Token& token)
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

    const QString& m_text;
    qsizetype m_pos = 0;
};

} // namespace

// ----------------------------------------------------------------------------------------------
// The compiled program

struct CompiledExpression::Program {
    enum class Op : std::uint8_t {
        Constant,
        Variable,
        Call,
        Negate,
        Plus,
        Not,
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
    struct Instruction {
        Op op;
        // Constant: index of the constant; Variable and Call: index of the name.
        std::uint32_t operand = 0;
        std::uint32_t argumentCount = 0;
    };

    std::vector<Instruction> code;
    std::vector<Variant> constants;
    std::vector<QString> names;
    std::size_t maxStack = 0;
};

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
        Op op;
        switch (m_token.kind) {
        case Tok::Equal: op = Op::Equal; break;
        case Tok::NotEqual: op = Op::NotEqual; break;
        case Tok::Less: op = Op::Less; break;
        case Tok::Greater: op = Op::Greater; break;
        case Tok::LessEqual: op = Op::LessEqual; break;
        case Tok::GreaterEqual: op = Op::GreaterEqual; break;
        default: return;
        }
        advance();
        simpleExpression();
        write(op);
    }

    void simpleExpression()
    {
        term();
        for (;;) {
            Op op;
            switch (m_token.kind) {
            case Tok::Plus: op = Op::Add; break;
            case Tok::Minus: op = Op::Subtract; break;
            case Tok::Or: op = Op::Or; break;
            case Tok::Xor: op = Op::Xor; break;
            default: return;
            }
            advance();
            term();
            write(op);
        }
    }

    void term()
    {
        factor();
        for (;;) {
            Op op;
            switch (m_token.kind) {
            case Tok::Star: op = Op::Multiply; break;
            case Tok::Slash: op = Op::Divide; break;
            case Tok::Div: op = Op::IntDivide; break;
            case Tok::Mod: op = Op::Modulo; break;
            case Tok::And: op = Op::And; break;
            case Tok::Shl: op = Op::ShiftLeft; break;
            case Tok::Shr: op = Op::ShiftRight; break;
            default: return;
            }
            advance();
            factor();
            write(op);
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

    void write(Op op, std::uint32_t operand = 0, std::uint32_t argumentCount = 0)
    {
        m_program.code.push_back({op, operand, argumentCount});
        switch (op) {
        case Op::Constant:
        case Op::Variable: ++m_stack; break;
        case Op::Call: m_stack = m_stack - argumentCount + 1; break;
        case Op::Negate:
        case Op::Plus:
        case Op::Not: break;
        default: --m_stack; break;
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
        if (stringOf(left).size() + stringOf(right).size() > CompiledExpression::kMaxStringLength)
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
        runtimeError("xrFloatDivisionByZero");
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

} // namespace

// ----------------------------------------------------------------------------------------------

CompiledExpression::CompiledExpression(QString text, std::unique_ptr<const Program> program)
    : m_text(std::move(text))
    , m_program(std::move(program))
{
}

CompiledExpression::~CompiledExpression() = default;

std::shared_ptr<const CompiledExpression> CompiledExpression::compile(const QString& text, const ExpressionScope& scope)
{
    auto program = std::make_unique<Program>();
    Compiler(text, scope, *program).compile();
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
        default: break;
        }
        Q_ASSERT(stack.size() >= 2);
        const Variant right = std::move(stack.back());
        stack.pop_back();
        Variant& left = stack.back();
        switch (instruction.op) {
        case Op::Add:
        case Op::Subtract:
        case Op::Multiply: left = arithmetic(instruction.op, left, right); break;
        case Op::Divide: left = divide(left, right); break;
        case Op::IntDivide:
        case Op::Modulo:
        case Op::ShiftLeft:
        case Op::ShiftRight: left = integerArithmetic(instruction.op, left, right); break;
        case Op::And:
        case Op::Or:
        case Op::Xor: left = logical(instruction.op, left, right); break;
        default: left = relation(instruction.op, left, right); break;
        }
    }
    Q_ASSERT(stack.size() == 1);
    return stack.empty() ? Variant::null() : std::move(stack.back());
}

} // namespace quittung::report
