#include "report/engine/engine.h"

#include "report/document/band.h"
#include "report/document/class_registry.h"
#include "report/document/engine_messages.h"
#include "report/document/memo_view.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/engine/format_data.h"
#include "report/engine/global_variables.h"
#include "report/engine/progress.h"
#include "runtime/exception.h"
#include "runtime/messages.h"

#include <QBuffer>

namespace quittung {

namespace {

// A failure already recorded in Errors: callers further out pass it on unchanged.
class ReportedError : public Exception {
public:
    using Exception::Exception;
};

// A report variable holding itself, directly or through others, must not recurse forever.
constexpr int kMaxCalcDepth = 64;

const QStringList kAggregates = {QStringLiteral("SUM"), QStringLiteral("AVG"), QStringLiteral("MIN"),
    QStringLiteral("MAX"), QStringLiteral("COUNT")};
const QStringList kScriptObjects = {QStringLiteral("Report"), QStringLiteral("Engine"), QStringLiteral("Outline"),
    QStringLiteral("Value"), QStringLiteral("Self")};

bool containsName(const QStringList& names, const QString& name)
{
    return names.contains(name, Qt::CaseInsensitive);
}

bool isTruthy(const Variant& value)
{
    switch (value.type()) {
    case Variant::Type::Boolean: return value.booleanValue();
    case Variant::Type::Integer: return value.integerValue() != 0;
    case Variant::Type::Float: return value.floatValue() != 0;
    case Variant::Type::String:
        return value.stringValue().compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    default: return false;
    }
}

bool isZero(const Variant& value)
{
    switch (value.type()) {
    case Variant::Type::Integer: return value.integerValue() == 0;
    case Variant::Type::Float: return value.floatValue() == 0;
    case Variant::Type::Currency: return value.currencyValue().tenThousandths == 0;
    case Variant::Type::Boolean: return !value.booleanValue();
    default: return false;
    }
}

// An inline format after " #": the first character gives the kind; for numbers every ",", "-" or
// "." names the decimal separator and becomes "." in the format string.
TfrxFormat inlineFormat(QString suffix)
{
    TfrxFormat format;
    const QChar kind = suffix.isEmpty() ? QChar() : suffix.front().toLower();
    if (kind == QLatin1Char('n')) {
        format.SetKind(TfrxFormatKind::fkNumeric);
        for (QChar& c : suffix) {
            if (c == QLatin1Char(',') || c == QLatin1Char('-') || c == QLatin1Char('.')) {
                format.SetDecimalSeparator(QString(c));
                c = QLatin1Char('.');
            }
        }
    } else if (kind == QLatin1Char('d') || kind == QLatin1Char('t')) {
        format.SetKind(TfrxFormatKind::fkDateTime);
    } else if (kind == QLatin1Char('b')) {
        format.SetKind(TfrxFormatKind::fkBoolean);
    }
    format.SetFormatStr(suffix.mid(1).left(255));
    return format;
}

} // namespace

QString FindBracketedExpression(const QString& text, const QString& open, const QString& close, qsizetype& i,
    qsizetype& j)
{
    j = i;
    if (text.isEmpty() || j >= text.size() || open.isEmpty() || close.isEmpty())
        return QString();
    int depth = 0;
    bool outsideSingle = true;
    bool outsideDouble = true;
    --j;
    do {
        ++j;
        if (outsideSingle && outsideDouble) {
            if (QStringView(text).mid(j).startsWith(open)) {
                if (depth == 0)
                    i = j;
                ++depth;
            } else if (QStringView(text).mid(j).startsWith(close)) {
                --depth;
            }
        }
        if (outsideSingle && text[j] == QLatin1Char('"'))
            outsideDouble = !outsideDouble;
        if (outsideDouble && text[j] == QLatin1Char('\''))
            outsideSingle = !outsideSingle;
    } while (depth != 0 && j < text.size() - 1);
    const QString expression = text.mid(i + open.size(), std::max<qsizetype>(0, j - i - open.size()));
    if (i != j)
        j += close.size() - 1;
    return expression;
}

void ExtractMacros(TfrxCustomMemoView& memo, int totalPages, int copyNumber)
{
    if (!memo.AllowExpressions())
        return;
    QString text = memo.Text();
    const QString before = text;
    text.replace(QStringLiteral("[TOTALPAGES#]"), QString::number(totalPages), Qt::CaseInsensitive);
    const int copyName = frxGlobalVariables().IndexOf(QStringLiteral("CopyName"));
    const QString copy = copyName < 0
        ? QString()
        : VariantToText(frxGlobalVariables().Items(copyName).Value(), FormatSettings()) + QString::number(copyNumber);
    text.replace(QStringLiteral("[COPYNAME#]"), copy, Qt::CaseInsensitive);
    if (text != before)
        memo.SetText(text);
}

TfrxEngine::TfrxEngine(TfrxReport& report, Clock clock)
    : m_report(report)
    , m_clock(std::move(clock))
{
}

TfrxEngine::~TfrxEngine() = default;

bool TfrxEngine::PrepareReport(bool clearLastReport)
{
    if (clearLastReport)
        m_pages.Clear();
    m_report.Errors().Clear();
    m_report.SetTerminated(false);
    bool result = false;

    // Whatever the run does to the document, it is read back from this copy afterwards.
    QByteArray saved;
    {
        QBuffer buffer(&saved);
        buffer.open(QIODevice::WriteOnly);
        m_report.SaveToStream(buffer);
    }
    const int splicingLine = m_report.PrintOptions().SplicingLine();

    try {
        m_expressionCache.clear();
        if (m_report.OnBeginDoc)
            m_report.OnBeginDoc(m_report);
        if (!m_report.Terminated() && run()) {
            if (m_report.OnEndDoc)
                m_report.OnEndDoc(m_report);
            result = true;
        }
    } catch (const std::exception& error) {
        m_report.Errors().Add(exceptionMessage(error));
    }
    m_running = false;
    m_curObject.clear();

    const QStringList errors = m_report.Errors().Strings();
    {
        QBuffer buffer(&saved);
        buffer.open(QIODevice::ReadOnly);
        m_report.ReadFromStream(buffer);
    }
    m_report.PrintOptions().SetSplicingLine(splicingLine);
    m_report.Errors().Clear();
    m_report.Errors().AddStrings(errors);
    m_expressionCache.clear();

    if (!m_report.Errors().IsEmpty()) {
        result = false;
        m_report.ReportErrors();
    }
    return result;
}

bool TfrxEngine::run()
{
    m_started = m_clock();
    m_running = true;
    m_pageNumber = 0;

    std::vector<TfrxReportPage*> pages;
    for (const auto& child : m_report.Children()) {
        auto* page = dynamic_cast<TfrxReportPage*>(child.get());
        if (!page || !page->Visible() || dynamic_cast<TfrxDMPPage*>(page))
            continue;
        // The band machinery is not built: a page with bands is refused rather than output wrongly.
        for (const auto& object : page->Children()) {
            if (dynamic_cast<TfrxBand*>(object.get())) {
                m_report.Errors().Add(formatMessage(frxGet(QStringLiteral("xrBandsNotPrepared")), {page->Name()}));
                break;
            }
        }
        pages.push_back(page);
    }
    if (!m_report.Errors().IsEmpty())
        return false;

    // Only the old progress style shows a window while preparing; the events and the window
    // system's pending input are served either way.
    RunProgress progress(m_report, TfrxReport::ProgressKind::Preparing,
        m_report.OldStyleProgress() && m_report.ShowProgress());
    try {
        for (TfrxReportPage* page : pages) {
            for (int copy = 0; copy < page->PageCount() && !m_report.Terminated(); ++copy)
                runPage(*page, progress);
        }
    } catch (...) {
        progress.stop();
        throw;
    }
    progress.stop();
    return !m_report.Terminated();
}

void TfrxEngine::runPage(TfrxReportPage& page, RunProgress& progress)
{
    TfrxReportPage& output = m_pages.AddPage(page);
    ++m_pageNumber;
    progress.step(m_pages.Count(), formatMessage(frxGet(QStringLiteral("prgPreparingPage")), {QString::number(m_pages.Count())}));
    showPageObjects(page, output);
}

void TfrxEngine::showPageObjects(TfrxReportPage& page, TfrxReportPage& output)
{
    // Objects placed directly on the page are shown through a temporary band covering the
    // printable area; they keep their page coordinates unless they are aligned in the band.
    TfrxNullBand band;
    band.SetBounds(0, 0, page.PageWidth(), page.PageHeight());
    std::vector<TfrxComponent*> objects;
    for (const auto& child : page.Children()) {
        if (dynamic_cast<TfrxReportComponent*>(child.get()) && !dynamic_cast<TfrxBand*>(child.get()))
            objects.push_back(child.get());
    }
    AlignObjects(objects, band.Width(), band.Height());
    showBand(band, objects, output);
}

void TfrxEngine::showBand(TfrxBand& band, const std::vector<TfrxComponent*>& objects, TfrxReportPage& output)
{
    const auto beforePrint = [this](TfrxReportComponent& object) {
        m_curObject = object.Name();
        object.BeforePrint();
        if (m_report.OnBeforePrint)
            m_report.OnBeforePrint(object);
    };
    beforePrint(band);
    for (TfrxComponent* child : objects) {
        auto& object = static_cast<TfrxReportComponent&>(*child);
        beforePrint(object);
        if (!object.Visible())
            continue;
        // A failure here leaves the run before the band reaches the page.
        if (auto* memo = dynamic_cast<TfrxCustomMemoView*>(&object))
            GetData(*memo);
        else
            object.GetData();
    }

    const auto afterPrint = [&] {
        if (band.Visible() && m_report.OnAfterPrint) {
            for (TfrxComponent* object : objects)
                m_report.OnAfterPrint(*object);
        }
        for (TfrxComponent* object : objects)
            static_cast<TfrxReportComponent&>(*object).AfterPrint();
        if (m_report.OnAfterPrint)
            m_report.OnAfterPrint(band);
        band.AfterPrint();
        m_curObject.clear();
    };
    try {
        addToOutput(band, objects, output);
    } catch (...) {
        afterPrint();
        throw;
    }
    afterPrint();
}

void TfrxEngine::addToOutput(const TfrxBand& band, const std::vector<TfrxComponent*>& objects, TfrxReportPage& output)
{
    TfrxComponent* shown = output.Adopt(CreateComponent(band.ClassName()));
    shown->AssignProperties(band);
    for (TfrxComponent* object : objects) {
        if (!object->Visible())
            continue;
        std::unique_ptr<TfrxComponent> copy = CreateComponent(object->ClassName());
        if (!copy)
            continue;
        TfrxComponent* added = shown->Adopt(std::move(copy));
        added->AssignProperties(*object);
        added->SetName(object->Name());
    }
}

void TfrxEngine::GetData(TfrxCustomMemoView& memo)
{
    if (!memo.AllowExpressions())
        return;
    QString text = memo.Text();
    const QString delimiters = memo.ExpressionDelimiters();
    const qsizetype comma = delimiters.indexOf(QLatin1Char(','));
    const QString open = (comma < 0 ? delimiters : delimiters.left(comma)).left(255);
    const QString close = (comma < 0 ? QString() : delimiters.mid(comma + 1)).left(255);
    if (open.isEmpty() || !text.contains(open))
        return;

    qsizetype i = 0;
    for (;;) {
        while (i < text.size() - 1 && !QStringView(text).mid(i).startsWith(open))
            ++i;
        qsizetype j = 0;
        const QString expression = FindBracketedExpression(text, open, close, i, j);
        if (i == j)
            break;
        text.remove(i, j - i + 1);
        // The value is inserted as it is and never scanned again.
        const QString value = EvaluateAndFormat(memo, expression);
        text.insert(i, value);
        i += value.size();
    }
    memo.SetText(text);
}

QString TfrxEngine::EvaluateAndFormat(TfrxCustomMemoView& memo, const QString& expression)
{
    QString code = expression;
    std::optional<TfrxFormat> format;
    const qsizetype hash = expression.indexOf(QStringLiteral(" #"));
    if (hash >= 0 && !expression.mid(hash + 2).contains(QLatin1Char(')'))) {
        code = expression.left(hash);
        format = inlineFormat(expression.mid(hash + 2));
    }

    Variant value;
    if (code.compare(QLatin1String("TOTALPAGES#"), Qt::CaseInsensitive) == 0) {
        value = Variant(QStringLiteral("[TotalPages#]"));
    } else if (code.compare(QLatin1String("COPYNAME#"), Qt::CaseInsensitive) == 0) {
        value = Variant(QStringLiteral("[CopyName#]"));
    } else {
        value = Calc(code);
        memo.SetValue(value);
    }
    if (memo.HideZeros() && value.type() != Variant::Type::String && isZero(value))
        return QString();
    return FormatData(value, format ? *format : memo.DisplayFormat(), m_report.LocaleSettings());
}

Variant TfrxEngine::Calc(const QString& expression)
{
    if (m_calcDepth >= kMaxCalcDepth)
        fail(frxGet(QStringLiteral("xrExpressionTooDeep")) + QStringLiteral(" '") + expression + QLatin1Char('\''));
    ++m_calcDepth;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{m_calcDepth};

    Variant value;
    if (LookupValue(expression, value))
        return value;

    auto cached = m_expressionCache.constFind(expression);
    std::shared_ptr<const CompiledExpression> compiled;
    if (cached != m_expressionCache.constEnd()) {
        compiled = *cached;
    } else {
        try {
            compiled = CompiledExpression::Compile(expression, *this);
        } catch (const ExpressionCompileError& error) {
            fail(formatMessage(frxGet(QStringLiteral("xrExpressionError")), {expression, error.message()}));
        }
        m_expressionCache.insert(expression, compiled);
    }
    try {
        return compiled->Evaluate(*this);
    } catch (const ReportedError&) {
        throw;
    } catch (const std::exception& error) {
        const QString message = exceptionMessage(error);
        if (m_report.EngineOptions().IgnoreDevByZero() && message == frxGet(QStringLiteral("xrFloatDivisionByZero")))
            return Variant::null();
        fail(message);
    }
}

void TfrxEngine::fail(const QString& message)
{
    const QString text = m_curObject.isEmpty() ? message : m_curObject + QStringLiteral(": ") + message;
    m_report.Errors().Add(text);
    throw ReportedError(text);
}

bool TfrxEngine::LookupValue(const QString& name, Variant& value)
{
    value = Variant::null();
    // System variables come first and never reach the host.
    const QStringList& systemNames = m_report.SystemVariables();
    int system = -1;
    for (int k = 0; k < systemNames.size() && system < 0; ++k) {
        if (systemNames[k].compare(name, Qt::CaseInsensitive) == 0)
            system = k;
    }
    switch (system) {
    case 0: value = Variant(QDateTime(m_started.date(), QTime(0, 0))); return true;
    case 1: value = Variant(QDateTime(QDate(1899, 12, 30), m_started.time())); return true;
    case 2:
    case 3: value = Variant(qint64(m_pageNumber)); return true;
    case 4:
    case 5:
    case 6:
    case 7: value = Variant(qint64(0)); return true;
    case 8: {
        const int copyName = frxGlobalVariables().IndexOf(QStringLiteral("CopyName0"));
        if (copyName >= 0)
            value = frxGlobalVariables().Items(copyName).Value();
        return true;
    }
    default: break;
    }

    Variant answer;
    if (m_report.OnGetValue)
        m_report.OnGetValue(name, answer);
    if (m_report.OnNewGetValue)
        m_report.OnNewGetValue(m_report, name, answer);
    if (!answer.isEmpty()) {
        value = answer;
        return true;
    }

    const int variable = m_report.Variables().IndexOf(name);
    if (variable >= 0) {
        const Variant stored = m_report.Variables().Items(variable).Value();
        if (stored.type() == Variant::Type::String && !stored.stringValue().contains(QStringLiteral("\r\n")))
            value = Calc(stored.stringValue());
        else
            value = stored;
        return true;
    }
    const int global = frxGlobalVariables().IndexOf(name);
    if (global >= 0) {
        value = frxGlobalVariables().Items(global).Value();
        return true;
    }
    if (HasVariable(name)) {
        value = VariableValue(name);
        return true;
    }
    return false;
}

bool TfrxEngine::HasVariable(const QString& name) const
{
    return containsName(kScriptObjects, name) || (!name.isEmpty() && m_report.FindObject(name));
}

Variant TfrxEngine::VariableValue(const QString&)
{
    // Objects are names to the expressions; their value is no text.
    return Variant::null();
}

bool TfrxEngine::HasFunction(const QString& name) const
{
    return containsName({QStringLiteral("Get"), QStringLiteral("Set"), QStringLiteral("IIF")}, name)
        || containsName(kAggregates, name);
}

Variant TfrxEngine::CallFunction(const QString& name, const std::vector<Variant>& arguments)
{
    const auto expect = [&](std::size_t count) {
        if (arguments.size() < count)
            throw Exception(frxGet(QStringLiteral("xrNotEnoughParameters")));
        if (arguments.size() > count)
            throw Exception(frxGet(QStringLiteral("xrTooManyParameters")));
    };
    const auto text = [&](const Variant& value) { return VariantToText(value, m_report.LocaleSettings()); };
    if (name.compare(QLatin1String("Get"), Qt::CaseInsensitive) == 0) {
        expect(1);
        return get(text(arguments[0]));
    }
    if (name.compare(QLatin1String("Set"), Qt::CaseInsensitive) == 0) {
        expect(2);
        m_report.Variables().SetValue(text(arguments[0]), arguments[1]);
        return Variant::null();
    }
    if (name.compare(QLatin1String("IIF"), Qt::CaseInsensitive) == 0) {
        expect(3);
        return isTruthy(arguments[0]) ? arguments[1] : arguments[2];
    }
    throw Exception(formatMessage(frxGet(QStringLiteral("xrAggregateNeedsBand")), {name.toUpper()}));
}

Variant TfrxEngine::get(const QString& name)
{
    Variant value;
    if (LookupValue(name, value))
        return value;
    const QString function = name.left(name.indexOf(QLatin1Char('('))).trimmed().toUpper();
    if (kAggregates.contains(function))
        return Calc(name);
    m_report.Errors().Add(frxGet(QStringLiteral("xrUnknownVariable")) + QLatin1Char(' ') + name);
    return Variant::null();
}

} // namespace quittung
