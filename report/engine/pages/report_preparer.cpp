#include "report/engine/pages/report_preparer.h"

#include "report/document/engine_host.h"

#include "report/document/band.h"
#include "report/document/class_registry.h"
#include "report/document/engine_messages.h"
#include "report/document/text_object.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/document/variant_arithmetic.h"
#include "report/engine/formats/format_data.h"
#include "report/engine/pages/run_progress.h"
#include "runtime/exception.h"
#include "runtime/messages.h"


namespace quittung::report {

namespace {

// A failure already recorded in errors(): callers further out pass it on unchanged.
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
DisplayFormat inlineFormat(QString suffix)
{
    DisplayFormat format;
    const QChar kind = suffix.isEmpty() ? QChar() : suffix.front().toLower();
    if (kind == QLatin1Char('n')) {
        format.setKind(FormatKind::Numeric);
        for (QChar& c : suffix) {
            if (c == QLatin1Char(',') || c == QLatin1Char('-') || c == QLatin1Char('.')) {
                format.setDecimalSeparator(QString(c));
                c = QLatin1Char('.');
            }
        }
    } else if (kind == QLatin1Char('d') || kind == QLatin1Char('t')) {
        format.setKind(FormatKind::DateTime);
    } else if (kind == QLatin1Char('b')) {
        format.setKind(FormatKind::Boolean);
    }
    format.setFormatStr(suffix.mid(1).left(255));
    return format;
}

} // namespace

QString findBracketedExpression(const QString& text, const QString& open, const QString& close, qsizetype& i,
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

namespace {
const QString kTotalPagesMacro = QStringLiteral("[TOTALPAGES#]");
const QString kCopyNameMacro = QStringLiteral("[COPYNAME#]");
} // namespace

bool holdsOutputMacros(const TextObjectBase& memo)
{
    return memo.allowExpressions()
        && (memo.text().contains(kTotalPagesMacro, Qt::CaseInsensitive)
            || memo.text().contains(kCopyNameMacro, Qt::CaseInsensitive));
}

void extractMacros(TextObjectBase& memo, int totalPages)
{
    if (!memo.allowExpressions())
        return;
    QString text = memo.text();
    const QString before = text;
    text.replace(kTotalPagesMacro, QString::number(totalPages), Qt::CaseInsensitive);
    // The program names no copies.
    text.replace(kCopyNameMacro, QString(), Qt::CaseInsensitive);
    if (text != before)
        memo.setText(text);
}

ReportPreparer::ReportPreparer(const Report& report, Clock clock)
    : m_report(&report)
    , m_host(&engineHost())
    , m_clock(std::move(clock))
{
}

ReportPreparer::~ReportPreparer() = default;

void ReportPreparer::reportErrors()
{
    reportErrorList(m_errors, m_report->engineOptions().newSilentMode());
}

bool ReportPreparer::prepareReport(bool clearLastReport)
{
    if (clearLastReport)
        m_pages.clear();
    m_errors.clear();
    m_terminated = false;
    bool result = false;

    // The run reads the template and never writes it: objects are filled as copies on the output
    // pages, and Set() keeps its variables for the run.
    m_setVariables.clear();
    try {
        m_expressionCache.clear();
        if (m_report->events().beginDoc)
            m_report->events().beginDoc(*m_report);
        if (!m_terminated && run()) {
            if (m_report->events().endDoc)
                m_report->events().endDoc(*m_report);
            result = true;
        }
    } catch (const Exception& error) {
        m_errors.add(error.message());
    }
    m_running = false;
    m_curObject.clear();
    m_setVariables.clear();
    m_expressionCache.clear();

    if (!m_errors.isEmpty()) {
        result = false;
        reportErrors();
    }
    return result;
}

bool ReportPreparer::run()
{
    m_started = m_clock();
    m_running = true;
    m_pageNumber = 0;

    std::vector<const ReportPage*> pages;
    for (const auto& child : m_report->children()) {
        const auto* page = dynamic_cast<const ReportPage*>(child.get());
        if (!page || !page->visible() || dynamic_cast<const DotMatrixPage*>(page))
            continue;
        // The band machinery is not built: a page with bands is refused rather than output wrongly.
        for (const auto& object : page->children()) {
            if (dynamic_cast<const Band*>(object.get())) {
                m_errors.add(
                    formatMessage(engineMessage(QStringLiteral("xrBandsNotPrepared")), {page->name()}));
                break;
            }
        }
        pages.push_back(page);
    }
    if (!m_errors.isEmpty())
        return false;

    // Only the old progress style shows a window while preparing; the events and the window
    // system's pending input are served either way.
    RunProgress progress(*m_host, m_terminated, m_report->oldStyleProgress() && m_report->showProgress());
    try {
        for (const ReportPage* page : pages) {
            for (int copy = 0; copy < page->pageCount() && !m_terminated; ++copy)
                runPage(*page, progress);
        }
    } catch (...) {
        progress.stop();
        throw;
    }
    progress.stop();
    return !m_terminated;
}

void ReportPreparer::runPage(const ReportPage& page, RunProgress& progress)
{
    ReportPage& output = m_pages.addPage(page);
    ++m_pageNumber;
    progress.step(formatMessage(engineMessage(QStringLiteral("prgPreparingPage")), {QString::number(m_pages.count())}));
    showPageObjects(page, output);
}

void ReportPreparer::showPageObjects(const ReportPage& page, ReportPage& output)
{
    // Objects placed directly on the page are shown through a temporary band covering the
    // printable area; they keep their page coordinates unless they are aligned in the band. Each
    // is copied from the template first, and only the copy is aligned, filled and put on the page.
    PageObjectsBand band;
    band.setBounds(0, 0, page.pageWidth(), page.pageHeight());
    std::vector<std::unique_ptr<ReportObject>> copies;
    for (const auto& child : page.children()) {
        if (!dynamic_cast<const OutputObject*>(child.get()) || dynamic_cast<const Band*>(child.get()))
            continue;
        if (std::unique_ptr<ReportObject> copy = copyObject(*child))
            copies.push_back(std::move(copy));
    }
    std::vector<ReportObject*> objects;
    for (const auto& copy : copies)
        objects.push_back(copy.get());
    alignObjects(objects, band.width(), band.height());
    showBand(band, copies, output);
}

void ReportPreparer::showBand(Band& band, std::vector<std::unique_ptr<ReportObject>>& objects, ReportPage& output)
{
    const auto beforePrint = [this](OutputObject& object) {
        m_curObject = object.name();
        object.beforePrint();
        if (m_report->events().beforePrint)
            m_report->events().beforePrint(object);
    };
    beforePrint(band);
    for (const auto& child : objects) {
        auto& object = static_cast<OutputObject&>(*child);
        beforePrint(object);
        if (!object.visible())
            continue;
        // A failure here leaves the run before the band reaches the page.
        if (auto* memo = dynamic_cast<TextObjectBase*>(&object))
            getData(*memo);
        else
            object.getData();
    }

    // The objects stay on the output page as they were filled: nothing is undone afterwards.
    std::vector<ReportObject*> shown;
    const auto afterPrint = [&] {
        if (band.visible() && m_report->events().afterPrint) {
            for (ReportObject* object : shown)
                m_report->events().afterPrint(*object);
        }
        if (m_report->events().afterPrint)
            m_report->events().afterPrint(band);
        band.afterPrint();
        m_curObject.clear();
    };
    ReportObject* shownBand = output.adopt(createObject(band.className()));
    shownBand->assignProperties(band);
    for (auto& object : objects) {
        if (object->visible())
            shown.push_back(shownBand->adopt(std::move(object)));
    }
    afterPrint();
}

void ReportPreparer::getData(TextObjectBase& memo)
{
    if (!memo.allowExpressions())
        return;
    QString text = memo.text();
    const QString delimiters = memo.expressionDelimiters();
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
        const QString expression = findBracketedExpression(text, open, close, i, j);
        if (i == j)
            break;
        text.remove(i, j - i + 1);
        // The value is inserted as it is and never scanned again.
        const QString value = evaluateAndFormat(memo, expression);
        text.insert(i, value);
        i += value.size();
    }
    memo.setText(text);
}

QString ReportPreparer::evaluateAndFormat(TextObjectBase& memo, const QString& expression)
{
    QString code = expression;
    std::optional<DisplayFormat> format;
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
        value = calc(code);
        memo.setValue(value);
    }
    if (memo.hideZeros() && value.type() != Variant::Type::String && isZero(value))
        return QString();
    return formatData(value, format ? *format : memo.displayFormat(), m_report->localeSettings());
}

Variant ReportPreparer::calc(const QString& expression)
{
    if (m_calcDepth >= kMaxCalcDepth)
        fail(engineMessage(QStringLiteral("xrExpressionTooDeep")) + QStringLiteral(" '") + expression
            + QLatin1Char('\''));
    ++m_calcDepth;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{m_calcDepth};

    Variant value;
    if (lookupValue(expression, value))
        return value;

    auto cached = m_expressionCache.constFind(expression);
    std::shared_ptr<const CompiledExpression> compiled;
    if (cached != m_expressionCache.constEnd()) {
        compiled = *cached;
    } else {
        try {
            compiled = CompiledExpression::compile(expression, *this);
        } catch (const ExpressionCompileError& error) {
            fail(formatMessage(engineMessage(QStringLiteral("xrExpressionError")), {expression, error.message()}));
        }
        m_expressionCache.insert(expression, compiled);
    }
    try {
        return compiled->evaluate(*this);
    } catch (const ReportedError&) {
        throw;
    } catch (const FloatDivisionByZeroError& error) {
        if (m_report->engineOptions().ignoreDevByZero())
            return Variant::null();
        fail(error.message());
    } catch (const Exception& error) {
        fail(error.message());
    }
}

void ReportPreparer::fail(const QString& message)
{
    const QString text = m_curObject.isEmpty() ? message : m_curObject + QStringLiteral(": ") + message;
    m_errors.add(text);
    throw ReportedError(text);
}

bool ReportPreparer::lookupValue(const QString& name, Variant& value)
{
    value = Variant::null();
    // System variables come first and never reach the host.
    const QStringList& systemNames = m_report->systemVariables();
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
    case 8: return true; // the copy's name: the program names no copies
    default: break;
    }

    Variant answer;
    if (m_valueSource)
        m_valueSource(name, answer);
    if (answer.isEmpty() && m_report->events().getValue)
        m_report->events().getValue(name, answer);
    if (!answer.isEmpty()) {
        value = answer;
        return true;
    }

    const auto set = m_setVariables.constFind(name.toLower());
    const int variable = set == m_setVariables.constEnd() ? m_report->variables().indexOf(name) : -1;
    if (set != m_setVariables.constEnd() || variable >= 0) {
        const Variant stored = set != m_setVariables.constEnd() ? *set : m_report->variables().item(variable).value();
        if (stored.type() == Variant::Type::String && !stored.stringValue().contains(QStringLiteral("\r\n")))
            value = calc(stored.stringValue());
        else
            value = stored;
        return true;
    }
    if (hasVariable(name)) {
        value = variableValue(name);
        return true;
    }
    return false;
}

bool ReportPreparer::hasVariable(const QString& name) const
{
    return containsName(kScriptObjects, name) || (!name.isEmpty() && m_report->findObject(name));
}

Variant ReportPreparer::variableValue(const QString&)
{
    // Objects are names to the expressions; their value is no text.
    return Variant::null();
}

bool ReportPreparer::hasFunction(const QString& name) const
{
    return containsName({QStringLiteral("Get"), QStringLiteral("Set"), QStringLiteral("IIF")}, name)
        || containsName(kAggregates, name);
}

Variant ReportPreparer::callFunction(const QString& name, const std::vector<Variant>& arguments)
{
    const auto expect = [&](std::size_t count) {
        if (arguments.size() < count)
            throw Exception(engineMessage(QStringLiteral("xrNotEnoughParameters")));
        if (arguments.size() > count)
            throw Exception(engineMessage(QStringLiteral("xrTooManyParameters")));
    };
    const auto text = [&](const Variant& value) { return variantToText(value, m_report->localeSettings()); };
    if (name.compare(QLatin1String("Get"), Qt::CaseInsensitive) == 0) {
        expect(1);
        return get(text(arguments[0]));
    }
    if (name.compare(QLatin1String("Set"), Qt::CaseInsensitive) == 0) {
        expect(2);
        // For the rest of the run; the template's variables stay as they are.
        m_setVariables.insert(text(arguments[0]).toLower(), arguments[1]);
        return Variant::null();
    }
    if (name.compare(QLatin1String("IIF"), Qt::CaseInsensitive) == 0) {
        expect(3);
        return isTruthy(arguments[0]) ? arguments[1] : arguments[2];
    }
    throw Exception(formatMessage(engineMessage(QStringLiteral("xrAggregateNeedsBand")), {name.toUpper()}));
}

Variant ReportPreparer::get(const QString& name)
{
    Variant value;
    if (lookupValue(name, value))
        return value;
    const QString function = name.left(name.indexOf(QLatin1Char('('))).trimmed().toUpper();
    if (kAggregates.contains(function))
        return calc(name);
    m_errors.add(engineMessage(QStringLiteral("xrUnknownVariable")) + QLatin1Char(' ') + name);
    return Variant::null();
}

} // namespace quittung::report
