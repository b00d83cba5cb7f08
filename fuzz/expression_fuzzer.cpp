// Compiles arbitrary text as an expression against a small scope and runs what compiles. Only the
// expression errors may come out; anything else, a crash or a hang is a finding.
#include "report/engine/expressions/expression.h"

#include <QDateTime>
#include <QStringList>

#include <cstddef>
#include <cstdint>

using namespace quittung;
using namespace quittung::report;

namespace {

class FuzzScope : public ExpressionScope {
public:
    bool hasVariable(const QString& name) const override { return variableNames().contains(name, Qt::CaseInsensitive); }

    Variant variableValue(const QString& name) override
    {
        switch (variableNames().indexOf(name.toLower())) {
        case 0: return Variant(QStringLiteral("17"));
        case 1: return Variant(84.03);
        case 2: return Variant(qint64(3));
        case 3: return Variant(Variant::Currency{12345});
        case 4: return Variant(QDateTime(QDate(2020, 7, 3), QTime(12, 0)));
        case 5: return Variant(true);
        case 6: return Variant::null();
        case 7: return Variant(QStringLiteral("Quittung"));
        default: return Variant();
        }
    }

    bool hasFunction(const QString& name) const override { return functionNames().contains(name, Qt::CaseInsensitive); }

    Variant callFunction(const QString& name, const std::vector<Variant>& arguments) override
    {
        const qsizetype function = functionNames().indexOf(name.toLower());
        if (function == 0) {
            if (arguments.size() != 1 || arguments[0].type() != Variant::Type::String)
                throw Exception(QStringLiteral("Get takes one name"));
            const QString& key = arguments[0].stringValue();
            return key.compare(QLatin1String("Netto"), Qt::CaseInsensitive) == 0 ? Variant(QStringLiteral("84,03"))
                                                                                  : Variant::null();
        }
        if (function == 1) {
            if (arguments.size() != 3)
                throw Exception(QStringLiteral("IIF takes three arguments"));
            const bool condition = arguments[0].type() == Variant::Type::Boolean && arguments[0].booleanValue();
            return condition ? arguments[1] : arguments[2];
        }
        if (function == 2) {
            if (arguments.size() != 1 || arguments[0].type() != Variant::Type::String)
                throw Exception(QStringLiteral("Upper takes one string"));
            return Variant(arguments[0].stringValue().toUpper());
        }
        if (function == 3)
            return Variant(qint64(2));
        throw Exception(QStringLiteral("Fail"));
    }

private:
    static const QStringList& variableNames()
    {
        static const QStringList names{QStringLiteral("qid"), QStringLiteral("netto"), QStringLiteral("count"),
            QStringLiteral("price"), QStringLiteral("when"), QStringLiteral("flag"), QStringLiteral("nothing"),
            QStringLiteral("report.name")};
        return names;
    }
    static const QStringList& functionNames()
    {
        static const QStringList names{QStringLiteral("get"), QStringLiteral("iif"), QStringLiteral("upper"),
            QStringLiteral("pagecount"), QStringLiteral("fail")};
        return names;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    FuzzScope scope;
    std::shared_ptr<const CompiledExpression> compiled;
    try {
        compiled = CompiledExpression::compile(text, scope);
    } catch (const ExpressionCompileError&) {
        return 0;
    }
    // Twice: a compiled expression must not change by running.
    for (int run = 0; run < 2; ++run) {
        try {
            compiled->evaluate(scope);
        } catch (const ExpressionCompileError&) {
            __builtin_trap();
        } catch (const Exception&) {
        }
    }
    return 0;
}
