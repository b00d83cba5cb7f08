#include "report/engine/expressions/expression.h"
#include "report/document/variant_arithmetic.h"

#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <map>

namespace quittung::report {
namespace {

// Knows a few variables and functions, like a report would; records every call.
class FakeScope : public ExpressionScope {
public:
    FakeScope()
    {
        setVariable(QStringLiteral("QID"), Variant(QStringLiteral("17")));
        setVariable(QStringLiteral("Count"), Variant(qint64(3)));
        setVariable(QStringLiteral("Price"), Variant(Variant::Currency{12345}));
        setVariable(QStringLiteral("When"), Variant(QDateTime(QDate(2020, 7, 3), QTime(12, 0))));
        setVariable(QStringLiteral("Report.Name"), Variant(QStringLiteral("Quittung")));
        values[QStringLiteral("Netto")] = Variant(QStringLiteral("84,03"));
        values[QStringLiteral("MwSt")] = Variant(QStringLiteral("0"));
        values[QStringLiteral("Report.Name")] = Variant(QStringLiteral("Beleg"));
    }

    void setVariable(const QString& name, Variant value) { m_variables[name.toLower()] = std::move(value); }

    bool hasVariable(const QString& name) const override { return m_variables.count(name.toLower()) != 0; }
    Variant variableValue(const QString& name) override { return m_variables.at(name.toLower()); }
    bool hasFunction(const QString& name) const override
    {
        static const QStringList known{QStringLiteral("iif"), QStringLiteral("upper"), QStringLiteral("argcount"),
            QStringLiteral("fail"), QStringLiteral("pagecount")};
        return known.contains(name.toLower()) || (withGet && name.toLower() == QLatin1String("get"));
    }
    Variant callFunction(const QString& name, const std::vector<Variant>& arguments) override
    {
        const QString key = name.toLower();
        calls << name + QLatin1Char('(') + (arguments.empty() || arguments[0].type() != Variant::Type::String
                                                   ? QString()
                                                   : arguments[0].stringValue())
                + QLatin1Char(')');
        if (key == QLatin1String("get")) {
            const auto found = values.find(arguments.at(0).stringValue());
            return found == values.end() ? Variant::null() : found->second;
        }
        if (key == QLatin1String("iif"))
            return arguments.at(0).booleanValue() ? arguments.at(1) : arguments.at(2);
        if (key == QLatin1String("upper"))
            return Variant(arguments.at(0).stringValue().toUpper());
        if (key == QLatin1String("argcount"))
            return Variant(qint64(arguments.size()));
        if (key == QLatin1String("pagecount"))
            return Variant(qint64(2));
        throw Exception(QStringLiteral("Failed on purpose"));
    }

    bool withGet = true;
    std::map<QString, Variant> values;
    QStringList calls;

private:
    std::map<QString, Variant> m_variables;
};

// A value as "Type value", so a row of a table states both.
QString describe(const Variant& v)
{
    switch (v.type()) {
    case Variant::Type::Empty: return QStringLiteral("Empty");
    case Variant::Type::Null: return QStringLiteral("Null");
    case Variant::Type::Integer: return QStringLiteral("Integer ") + QString::number(v.integerValue());
    case Variant::Type::Float:
        return QStringLiteral("Float ") + QString::number(v.floatValue(), 'g', QLocale::FloatingPointShortest);
    case Variant::Type::Currency:
        return QStringLiteral("Currency ") + QString::number(v.currencyValue().tenThousandths);
    case Variant::Type::Boolean:
        return v.booleanValue() ? QStringLiteral("Boolean true") : QStringLiteral("Boolean false");
    case Variant::Type::DateTime: return QStringLiteral("DateTime ") + v.dateTimeValue().toString(Qt::ISODate);
    case Variant::Type::String: return QStringLiteral("String ") + v.stringValue();
    }
    return QString();
}

QString evaluate(const QString& text, FakeScope& scope)
{
    return describe(CompiledExpression::compile(text, scope)->evaluate(scope));
}

QString evaluate(const QString& text)
{
    FakeScope scope;
    return evaluate(text, scope);
}

QString compileError(const QString& text, const FakeScope& scope = FakeScope())
{
    try {
        CompiledExpression::compile(text, scope);
    } catch (const ExpressionCompileError& error) {
        return error.message();
    }
    return QStringLiteral("(compiled)");
}

QString runtimeError(const QString& text)
{
    FakeScope scope;
    const auto compiled = CompiledExpression::compile(text, scope);
    try {
        compiled->evaluate(scope);
    } catch (const Exception& error) {
        return error.message();
    }
    return QStringLiteral("(no error)");
}

struct Case {
    const char* expression;
    const char* expected;
};

void expectValues(std::initializer_list<Case> cases)
{
    for (const Case& c : cases) {
        const QString expression = QString::fromUtf8(c.expression);
        EXPECT_EQ(evaluate(expression), QString::fromUtf8(c.expected)) << c.expression;
    }
}

TEST(ExpressionTest, LiteralsHaveTheirValueAndType)
{
    expectValues({
        {"42", "Integer 42"},
        {"$FF", "Integer 255"},
        {"$ffffffffffffffff", "Integer -1"},
        {"9223372036854775807", "Integer 9223372036854775807"},
        {"9223372036854775808", "Float 9223372036854776000"},
        {"1.5", "Float 1.5"},
        {"2.5e3", "Float 2500"},
        {"1E-2", "Float 0.01"},
        {"1e-400", "Float 0"},
        {"'abc'", "String abc"},
        {"''", "String "},
        {"'it''s'", "String it's"},
        {"''''", "String '"},
        {"#65#66", "String AB"},
        {"'a'#13#10'b'", "String a\r\nb"},
        {"#$41'x'#$20AC", "String Ax€"},
        {"#$1F600", "String 😀"},
        {"'Grüße'", "String Grüße"},
        {"True", "Boolean true"},
        {"fAlSe", "Boolean false"},
        {"Null", "Null"},
        {"NIL", "Null"},
    });
}

TEST(ExpressionTest, ArithmeticFollowsVariantRules)
{
    expectValues({
        {"1 + 2", "Integer 3"},
        {"7 - 10", "Integer -3"},
        {"6 * 7", "Integer 42"},
        {"7 / 2", "Float 3.5"},
        {"6 / 3", "Float 2"},
        {"7 div 2", "Integer 3"},
        {"-7 div 2", "Integer -3"},
        {"7 mod 3", "Integer 1"},
        {"-7 mod 3", "Integer -1"},
        {"7.5 div 2", "Integer 4"},
        {"2.5 div 1", "Integer 2"},
        {"1.5 + 1", "Float 2.5"},
        // Overflow leaves the integers instead of wrapping.
        {"9223372036854775807 + 1", "Float 9223372036854776000"},
        {"-9223372036854775807 - 2", "Float -9223372036854776000"},
        {"4294967296 * 4294967296", "Float 18446744073709552000"},
        {"-$8000000000000000", "Float 9223372036854776000"},
        {"$8000000000000000 div -1", "Float 9223372036854776000"},
        {"$8000000000000000 mod -1", "Integer 0"},
        // Strings join, or read as numbers with "." next to a number.
        {"'a' + 'b'", "String ab"},
        {"'12.5' + 1", "Float 13.5"},
        {"' 3 ' * '4'", "Float 12"},
        {"-'5'", "Float -5"},
        {"'.5' + 0", "Float 0.5"},
        {"' -5.' * 1", "Float -5"},
        {"+'5e1'", "Float 50"},
        {"QID + 1", "Float 18"},
        {"QID + '1'", "String 171"},
        // Null swallows arithmetic.
        {"Null + 1", "Null"},
        {"'x' + Null", "Null"},
        {"-Null", "Null"},
        {"Null div 0", "Null"},
        // Booleans count as -1 and 0.
        {"True + 1", "Integer 0"},
        // Bitwise on integers, logical on booleans.
        {"6 and 3", "Integer 2"},
        {"6 or 3", "Integer 7"},
        {"6 xor 3", "Integer 5"},
        {"not 0", "Integer -1"},
        {"1 shl 4", "Integer 16"},
        {"-1 shr 60", "Integer 15"},
        {"True and False", "Boolean false"},
        {"True or False", "Boolean true"},
        {"True xor True", "Boolean false"},
        {"not True", "Boolean false"},
        {"True and 'false'", "Boolean false"},
        {"'TRUE' or 'false'", "Boolean true"},
        {"True and 1", "Integer 1"},
        {"Null and True", "Null"},
        // Currency stays currency with integers; dates move by days.
        {"Price + 1", "Currency 22345"},
        {"Price * 2", "Currency 24690"},
        {"Price * Price", "Currency 15240"},
        {"Price - 0.2345", "Float 1"},
        {"Price / 2", "Float 0.61725"},
        {"-Price", "Currency -12345"},
        {"Price div 1", "Integer 1"},
        {"When + 1", "DateTime 2020-07-04T12:00:00"},
        {"When - 0.5", "DateTime 2020-07-03T00:00:00"},
        {"When - When", "Float 0"},
    });
}

TEST(ExpressionTest, ComparisonsGiveBooleans)
{
    expectValues({
        {"1 = 1", "Boolean true"},
        {"1 <> 1", "Boolean false"},
        {"1 < 2.5", "Boolean true"},
        {"2 >= 2", "Boolean true"},
        {"3 <= 2", "Boolean false"},
        {"1 > 0", "Boolean true"},
        {"9223372036854775807 > 9223372036854775806", "Boolean true"},
        // Strings compare ordinally, by character codes.
        {"'a' < 'b'", "Boolean true"},
        {"'B' < 'a'", "Boolean true"},
        {"'abc' = 'ABC'", "Boolean false"},
        {"'ab' < 'abc'", "Boolean true"},
        // A string against a number compares as a number.
        {"'10' = 10", "Boolean true"},
        {"'10' < 9", "Boolean false"},
        {"False < True", "Boolean true"},
        {"True = 'true'", "Boolean true"},
        {"Null = Null", "Boolean true"},
        {"Null = 0", "Boolean false"},
        {"Null <> ''", "Boolean true"},
        {"Null < 0", "Boolean true"},
        {"Price = 1.2345", "Boolean true"},
        {"Price > 1", "Boolean true"},
        {"Price < 2", "Boolean true"},
        {"Price < 922337203685478", "Boolean true"},
        {"Price > -922337203685478", "Boolean true"},
        {"When < When + 1", "Boolean true"},
    });
}

TEST(ExpressionTest, PrecedenceIsPascals)
{
    expectValues({
        {"1 + 2 * 3", "Integer 7"},
        {"(1 + 2) * 3", "Integer 9"},
        {"10 - 4 - 3", "Integer 3"},
        {"8 div 2 div 2", "Integer 2"},
        {"2 * 3 mod 4", "Integer 2"},
        {"1 + 2 shl 3", "Integer 17"},
        {"-2 * 3", "Integer -6"},
        {"2 - -3", "Integer 5"},
        {"- - 4", "Integer 4"},
        {"1 + 2 = 3", "Boolean true"},
        {"not 1 = -2", "Boolean true"},
        {"True or False and False", "Boolean true"},
        {"not False and False", "Boolean false"},
        {"(1 < 2) = True", "Boolean true"},
        {"'a' + 'b' = 'ab'", "Boolean true"},
    });
    // Comparisons do not chain.
    EXPECT_EQ(compileError(QStringLiteral("1 < 2 = True")), QStringLiteral("Unexpected symbol: '='"));
}

TEST(ExpressionTest, NamesResolveThroughTheScopeWithoutRegardToCase)
{
    expectValues({
        {"QID", "String 17"},
        {"qid", "String 17"},
        {"  Count  ", "Integer 3"},
        {"Report.Name", "String Quittung"},
        {"report . name", "String Quittung"},
        {"PageCount", "Integer 2"},
        {"pagecount()", "Integer 2"},
        {"ArgCount()", "Integer 0"},
        {"ArgCount(1, 'a', 2 + 3)", "Integer 3"},
        {"Upper('abc') + QID", "String ABC17"},
        {"Upper(Upper('x'))", "String X"},
    });
}

TEST(ExpressionTest, AngleBracketsCallGetWithTheLiteralText)
{
    const struct {
        const char* expression;
        const char* get;
        const char* expected;
    } cases[] = {
        {"<Netto>", "Get(Netto)", "String 84,03"},
        {"<Report.Name>", "Get(Report.Name)", "String Beleg"},
        {"< Ort >", "Get( Ort )", "Null"},
        {"<>", "Get()", "Null"},
        {"<=x>", "Get(=x)", "Null"},
        {"<a'b>", "Get(a'b)", "Null"},
        {"'[' + <Netto> + ']'", "Get(Netto)", "String [84,03]"},
    };
    for (const auto& c : cases) {
        FakeScope scope;
        EXPECT_EQ(evaluate(QString::fromUtf8(c.expression), scope), QString::fromUtf8(c.expected)) << c.expression;
        EXPECT_EQ(scope.calls, QStringList{QString::fromUtf8(c.get)}) << c.expression;
    }

    // After an operand, "<" is the comparison again.
    FakeScope scope;
    EXPECT_EQ(evaluate(QStringLiteral("<MwSt> < <Netto>"), scope), QStringLiteral("Boolean true"));
    EXPECT_EQ(scope.calls, (QStringList{QStringLiteral("Get(MwSt)"), QStringLiteral("Get(Netto)")}));

    FakeScope withoutGet;
    withoutGet.withGet = false;
    EXPECT_EQ(compileError(QStringLiteral("<Netto>"), withoutGet), QStringLiteral("Undeclared identifier: 'Get'"));
}

TEST(ExpressionTest, CompiledOnceEvaluatedWithCurrentValues)
{
    FakeScope scope;
    const auto compiled =
        CompiledExpression::compile(QStringLiteral("IIF(<MwSt> = '0', 'ohne', 'mit') + ' MwSt.'"), scope);
    EXPECT_EQ(describe(compiled->evaluate(scope)), QStringLiteral("String ohne MwSt."));
    scope.values[QStringLiteral("MwSt")] = Variant(QStringLiteral("19"));
    EXPECT_EQ(describe(compiled->evaluate(scope)), QStringLiteral("String mit MwSt."));
    EXPECT_EQ(scope.calls,
        (QStringList{QStringLiteral("Get(MwSt)"), QStringLiteral("IIF()"), QStringLiteral("Get(MwSt)"),
            QStringLiteral("IIF()")}));
    EXPECT_EQ(compiled->text(), QStringLiteral("IIF(<MwSt> = '0', 'ohne', 'mit') + ' MwSt.'"));
}

TEST(ExpressionTest, CompileErrorsSayWhatIsWrong)
{
    const Case cases[] = {
        {"Foo", "Undeclared identifier: 'Foo'"},
        {"1 + fOo", "Undeclared identifier: 'fOo'"},
        {"Foo(1)", "Undeclared identifier: 'Foo'"},
        {"Report.Title", "Undeclared identifier: 'Report.Title'"},
        {"QID(1)", "Not a function: 'QID'"},
        {"", "Expression expected"},
        {"   ", "Expression expected"},
        {"1 +", "Expression expected"},
        {"1 + )", "Expression expected"},
        {"and", "Expression expected"},
        {"(1 + 2", "')' expected"},
        {"Upper('a'", "')' expected"},
        {"Upper('a' 'b')", "')' expected"},
        {"ArgCount(1,)", "Expression expected"},
        {"1 2", "Unexpected symbol: '2'"},
        {"1 = 2 = 3", "Unexpected symbol: '='"},
        {"(1))", "Unexpected symbol: ')'"},
        {"1 § 2", "Unknown character '§'"},
        {"\"x\"", "Unknown character '\"'"},
        {"1 ; 2", "Unknown character ';'"},
        {"😀", "Unknown character '😀'"},
        {"'abc", "Unterminated string"},
        {"'it''s", "Unterminated string"},
        {"'a'#", "Invalid character code: '#'"},
        {"#$", "Invalid character code: '#$'"},
        {"#1114112", "Invalid character code: '#1114112'"},
        {"<Netto", "'>' expected"},
        {"1e", "Invalid number: '1e'"},
        {"1e+", "Invalid number: '1e+'"},
        {"$", "Invalid number: '$'"},
        {"$1FFFFFFFFFFFFFFFF", "Number out of range: '$1FFFFFFFFFFFFFFFF'"},
        {"1e999", "Number out of range: '1e999'"},
        {"Report.", "Identifier expected"},
        {"Report.1", "Identifier expected"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(compileError(QString::fromUtf8(c.expression)), QString::fromUtf8(c.expected)) << c.expression;
}

TEST(ExpressionTest, RuntimeErrorsCarryTheirOwnMessage)
{
    const QString conversion = QStringLiteral("Could not convert variant of type (String) into type (Double)");
    const struct {
        const char* expression;
        QString expected;
    } cases[] = {
        {"1 div 0", QStringLiteral("Division by zero")},
        {"1 mod 0", QStringLiteral("Division by zero")},
        {"1 / 0", QString::fromLatin1(kFloatDivisionByZero)},
        {"-1.5 / 0.0", QString::fromLatin1(kFloatDivisionByZero)},
        {"Price / 0", QString::fromLatin1(kFloatDivisionByZero)},
        {"0 / 0", QStringLiteral("Invalid floating point operation")},
        {"1e308 * 10", QStringLiteral("Floating point overflow")},
        {"'abc' + 1", conversion},
        {"'' * 2", conversion},
        {"'1,5' = 1.5", conversion},
        {"<Netto> + 1", conversion},
        {"'maybe' = True", QStringLiteral("Could not convert variant of type (String) into type (Boolean)")},
        {"1e300 div 1", QStringLiteral("Could not convert variant of type (Double) into type (Int64)")},
        {"When + 1e7", QStringLiteral("Could not convert variant of type (Double) into type (Date)")},
        {"Fail()", QStringLiteral("Failed on purpose")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(runtimeError(QString::fromUtf8(c.expression)), c.expected) << c.expression;
}

TEST(ExpressionTest, DeepNestingIsRefusedWithoutCrashing)
{
    const auto nested = [](int depth, const QString& open) {
        return open.repeated(depth) + QStringLiteral("1") + QStringLiteral(")").repeated(depth);
    };
    const int limit = CompiledExpression::kMaxNesting;
    EXPECT_EQ(evaluate(nested(limit, QStringLiteral("("))), QStringLiteral("Integer 1"));
    EXPECT_EQ(evaluate(nested(limit, QStringLiteral("ArgCount("))), QStringLiteral("Integer 1"));
    for (const QString& open : {QStringLiteral("("), QStringLiteral("Upper("), QStringLiteral("-(")}) {
        const QString tooComplex = QStringLiteral("Expression too complex");
        EXPECT_EQ(compileError(nested(limit + 1, open)), tooComplex) << open.toStdString();
        EXPECT_EQ(compileError(open.repeated(100000)), tooComplex) << open.toStdString();
    }
}

TEST(ExpressionTest, LongInputIsHandledWithoutRecursion)
{
    const int n = 100000;
    EXPECT_EQ(evaluate(QStringLiteral("1") + QStringLiteral(" + 1").repeated(n)), QStringLiteral("Integer 100001"));
    EXPECT_EQ(evaluate(QStringLiteral("-").repeated(n) + QStringLiteral("1")), QStringLiteral("Integer 1"));
    EXPECT_EQ(
        evaluate(QStringLiteral("not ").repeated(n + 1) + QStringLiteral("False")), QStringLiteral("Boolean true"));
    EXPECT_EQ(evaluate(QStringLiteral("ArgCount(") + QStringLiteral("1, ").repeated(n) + QStringLiteral("1)")),
        QStringLiteral("Integer 100001"));

    const QString text = QStringLiteral("x").repeated(1000000);
    EXPECT_EQ(evaluate(QLatin1Char('\'') + text + QLatin1Char('\'')), QStringLiteral("String ") + text);
    EXPECT_EQ(compileError(QStringLiteral("1").repeated(1000)), QStringLiteral("Number out of range: '")
            + QStringLiteral("1").repeated(1000) + QLatin1Char('\''));
}

// Report variables that hold expressions can double a string at every step; joined strings end
// the evaluation once they are longer than the limit.
TEST(ExpressionTest, JoinedStringsAreBounded)
{
    const QString half = QLatin1Char('\'') + QStringLiteral("x").repeated(kMaxJoinedStringLength / 2)
        + QLatin1Char('\'');
    EXPECT_EQ(evaluate(half + QStringLiteral(" + ") + half).size(),
        QStringLiteral("String ").size() + kMaxJoinedStringLength);
    EXPECT_EQ(runtimeError(half + QStringLiteral(" + ") + half + QStringLiteral(" + 'x'")), QStringLiteral("String too long"));
}

// Every short input either compiles or fails with a compile error, and what compiles evaluates or
// fails with a run-time error.
TEST(ExpressionTest, ShortInputsNeverEscapeTheErrorTypes)
{
    const QString alphabet = QStringLiteral("0a$#'<>()+-*/=,. e1QN");
    FakeScope scope;
    for (const QChar a : alphabet) {
        for (const QChar b : alphabet) {
            for (const QChar c : alphabet) {
                const QString text = QString(a) + b + c;
                std::shared_ptr<const CompiledExpression> compiled;
                try {
                    compiled = CompiledExpression::compile(text, scope);
                } catch (const ExpressionCompileError&) {
                    continue;
                }
                try {
                    compiled->evaluate(scope);
                } catch (const ExpressionCompileError&) {
                    ADD_FAILURE() << "compile error at run time: " << text.toStdString();
                } catch (const Exception&) {
                }
            }
        }
    }
}

} // namespace
} // namespace quittung::report
