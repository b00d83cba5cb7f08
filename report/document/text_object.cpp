#include "report/document/text_object.h"

#include "report/document/report.h"
#include "report/document/styles.h"

namespace quittung::report {

namespace {

constexpr QChar lineSeparator(0x2028);

} // namespace

const PropertyTable& DisplayFormat::properties() const
{
    using namespace props;
    using F = DisplayFormat;
    static const EnumType kind{{QStringLiteral("fkText"), QStringLiteral("fkNumeric"), QStringLiteral("fkDateTime"),
        QStringLiteral("fkBoolean")}};
    static const PropertyTable table{
        property<F>(QStringLiteral("DecimalSeparator"), PropType::String, &F::decimalSeparator,
            &F::setDecimalSeparator, QString()),
        property<F>(QStringLiteral("ThousandSeparator"), PropType::String, &F::thousandSeparator,
            &F::setThousandSeparator, QString()),
        property<F>(QStringLiteral("FormatStr"), PropType::String, &F::formatStr, &F::setFormatStr, QString()),
        property<F>(QStringLiteral("Kind"), PropType::Enum, &F::kind, &F::setKind, qint64(0), &kind),
    };
    return table;
}

Highlight::Highlight()
{
    m_font.setColor(colors::Red);
}

const PropertyTable& Highlight::properties() const
{
    using namespace props;
    using H = Highlight;
    static const PropertyTable table{
        property<H>(QStringLiteral("Active"), PropType::Boolean, &H::active, &H::setActive, false),
        nested<H>(QStringLiteral("Font"), &H::font),
        property<H>(QStringLiteral("Color"), PropType::ColorValue, &H::color, &H::setColor, qint64(colors::None)),
        property<H>(QStringLiteral("Condition"), PropType::String, &H::condition, &H::setCondition, QString()),
    };
    return table;
}

const PropertyTable& TextObjectBase::properties() const
{
    using namespace props;
    using C = ReportObject;
    using V = View;
    using S = StretchableView;
    using M = TextObjectBase;
    static const EnumType hAlign{
        {QStringLiteral("haLeft"), QStringLiteral("haRight"), QStringLiteral("haCenter"), QStringLiteral("haBlock")}};
    static const EnumType vAlign{{QStringLiteral("vaTop"), QStringLiteral("vaBottom"), QStringLiteral("vaCenter")}};
    static const PropertyTable table = [] {
        PropertyTable t = View::commonProperties();
        t.add(property<S>(QStringLiteral("StretchMode"), PropType::Enum, &S::stretchMode, &S::setStretchMode,
            qint64(0), &stretchModeIdentifiers()));
        t.add(property<M>(QStringLiteral("FirstParaBreak"), PropType::Boolean, &M::firstParaBreak,
            &M::setFirstParaBreak, false));
        t.add(property<M>(QStringLiteral("LastParaBreak"), PropType::Boolean, &M::lastParaBreak,
            &M::setLastParaBreak, false));
        t.add(property<V>(QStringLiteral("Cursor"), PropType::Integer, &V::cursor, &V::setCursor, qint64(0)));
        t.add(property<V>(QStringLiteral("TagStr"), PropType::String, &V::tagStr, &V::setTagStr, QString()));
        t.add(property<V>(QStringLiteral("URL"), PropType::String, &V::url, &V::setUrl, QString()));
        t.add(property<M>(QStringLiteral("AutoWidth"), PropType::Boolean, &M::autoWidth, &M::setAutoWidth, false));
        t.add(property<M>(QStringLiteral("AllowExpressions"), PropType::Boolean, &M::allowExpressions,
            &M::setAllowExpressions, true));
        t.add(property<M>(QStringLiteral("AllowHTMLTags"), PropType::Boolean, &M::allowHtmlTags,
            &M::setAllowHtmlTags, false));
        t.add(property<V>(QStringLiteral("BrushStyle"), PropType::Enum, &V::brushStyle, &V::setBrushStyle, qint64(0),
            &brushStyleIdentifiers()));
        t.add(storedWhen<M>(property<M>(QStringLiteral("CharSpacing"), PropType::Float, &M::charSpacing,
                                &M::setCharSpacing, 0.0),
            [](const M& m) { return m.m_charSpacing != 0; }));
        t.add(property<M>(QStringLiteral("Clipped"), PropType::Boolean, &M::clipped, &M::setClipped, true));
        t.add(
            property<V>(QStringLiteral("Color"), PropType::ColorValue, &V::color, &V::setColor, qint64(colors::None)));
        t.add(property<M>(QStringLiteral("DataField"), PropType::String, &M::dataField, &M::setDataField, QString()));
        t.add(property<M>(QStringLiteral("DataSet"), PropType::Reference, &M::dataSet, &M::setDataSet, QString()));
        t.add(property<M>(QStringLiteral("DataSetName"), PropType::String, &M::dataSetName, &M::setDataSetName,
            QString()));
        t.add(nested<M>(QStringLiteral("DisplayFormat"), &M::displayFormat));
        t.add(storedWhen<M>(property<M>(QStringLiteral("ExpressionDelimiters"), PropType::String,
                                &M::expressionDelimiters, &M::setExpressionDelimiters, QStringLiteral("[,]")),
            [](const M& m) { return m.m_expressionDelimiters != QLatin1String("[,]"); }));
        t.add(property<M>(QStringLiteral("FlowTo"), PropType::Reference, &M::flowToName, &M::setFlowToName,
            QString()));
        t.add(storedWhen<C>(nested<C>(QStringLiteral("Font"), &C::font), [](const C& c) { return !c.parentFont(); }));
        t.add(nested<V>(QStringLiteral("Frame"), &V::frame));
        t.add(storedWhen<M>(property<M>(QStringLiteral("GapX"), PropType::Float, &M::gapX, &M::setGapX, 2.0),
            [](const M& m) { return m.m_gapX != 2; }));
        t.add(storedWhen<M>(property<M>(QStringLiteral("GapY"), PropType::Float, &M::gapY, &M::setGapY, 1.0),
            [](const M& m) { return m.m_gapY != 1; }));
        t.add(property<M>(QStringLiteral("HAlign"), PropType::Enum, &M::hAlign, &M::setHAlign, qint64(0), &hAlign));
        t.add(property<M>(QStringLiteral("HideZeros"), PropType::Boolean, &M::hideZeros, &M::setHideZeros, false));
        t.add(storedWhen<M>(nested<M>(QStringLiteral("Highlight"), &M::highlight),
            [](const M& m) { return !m.m_highlight.condition().trimmed().isEmpty(); }));
        t.add(storedWhen<M>(property<M>(QStringLiteral("LineSpacing"), PropType::Float, &M::lineSpacing,
                                &M::setLineSpacing, 2.0),
            [](const M& m) { return m.m_lineSpacing != 2; }));
        // The lines go into the file as the object's Text attribute after all properties, not here.
        t.add(storedWhen<M>(property<M>(QStringLiteral("Memo"), PropType::StringList, &M::lines, &M::setLines,
                                QStringList()),
            [](const M&) { return false; }));
        t.add(storedWhen<M>(property<M>(QStringLiteral("ParagraphGap"), PropType::Float, &M::paragraphGap,
                                &M::setParagraphGap, 0.0),
            [](const M& m) { return m.m_paragraphGap != 0; }));
        t.add(property<C>(QStringLiteral("ParentFont"), PropType::Boolean, &C::parentFont, &C::setParentFont, true));
        t.add(property<M>(QStringLiteral("Rotation"), PropType::Integer, &M::rotation, &M::setRotation, qint64(0)));
        t.add(property<M>(QStringLiteral("RTLReading"), PropType::Boolean, &M::rtlReading, &M::setRtlReading, false));
        t.add(property<M>(QStringLiteral("Style"), PropType::String, &M::style, &M::setStyle, QString()));
        t.add(property<M>(QStringLiteral("SuppressRepeated"), PropType::Boolean, &M::suppressRepeated,
            &M::setSuppressRepeated, false));
        t.add(property<M>(QStringLiteral("Underlines"), PropType::Boolean, &M::underlines, &M::setUnderlines, false));
        t.add(property<M>(QStringLiteral("UseDefaultCharset"), PropType::Boolean, &M::useDefaultCharset,
            &M::setUseDefaultCharset, false));
        t.add(property<M>(QStringLiteral("WordBreak"), PropType::Boolean, &M::wordBreak, &M::setWordBreak, false));
        t.add(property<M>(QStringLiteral("WordWrap"), PropType::Boolean, &M::wordWrap, &M::setWordWrap, true));
        t.add(property<M>(QStringLiteral("Wysiwyg"), PropType::Boolean, &M::wysiwyg, &M::setWysiwyg, true));
        t.add(property<M>(QStringLiteral("VAlign"), PropType::Enum, &M::vAlign, &M::setVAlign, qint64(0), &vAlign));
        return t;
    }();
    return table;
}

void TextObjectBase::beforePrint()
{
    StretchableView::beforePrint();
    m_savedMemo = m_memo;
}

void TextObjectBase::afterPrint()
{
    m_memo = m_savedMemo;
    StretchableView::afterPrint();
}

QString TextObjectBase::text() const
{
    QString text;
    for (const QString& line : m_memo) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return text;
}

void TextObjectBase::setText(const QString& text)
{
    QStringList lines;
    const qsizetype end = [&] {
        const qsizetype nul = text.indexOf(QChar(0));
        return nul < 0 ? text.size() : nul;
    }();
    qsizetype pos = 0;
    while (pos < end) {
        qsizetype stop = pos;
        while (stop < end && text[stop] != QLatin1Char('\r') && text[stop] != QLatin1Char('\n')
            && text[stop] != lineSeparator)
            ++stop;
        lines.append(text.mid(pos, stop - pos));
        pos = stop;
        if (pos == end)
            break;
        const QChar breakChar = text[pos++];
        if (breakChar == lineSeparator)
            continue;
        if (breakChar == QLatin1Char('\r') && pos < end && text[pos] == QLatin1Char('\n'))
            ++pos;
        if (pos < end && text[pos] == lineSeparator)
            ++pos;
    }
    m_memo = lines;
}

TextObjectBase* TextObjectBase::flowTo() const
{
    if (m_flowTo.isEmpty())
        return nullptr;
    return dynamic_cast<TextObjectBase*>(findObject(m_flowTo));
}

void TextObjectBase::setRotation(int value)
{
    m_rotation = ((value % 360) + 360) % 360;
}

void TextObjectBase::setStyle(const QString& value)
{
    m_style = value;
    applyReportStyle();
}

void TextObjectBase::applyReportStyle()
{
    const Report* report = this->report();
    const Style* style = report ? report->styles().find(m_style) : nullptr;
    if (!style)
        return;
    setColor(style->color());
    setFont(style->font());
    frame() = style->frame();
}

} // namespace quittung::report
