#include "report/document/memo_view.h"

#include "report/document/report.h"
#include "report/document/styles.h"

namespace quittung {

namespace {

constexpr QChar lineSeparator(0x2028);

} // namespace

const PropertyTable& TfrxFormat::Properties() const
{
    using namespace props;
    using F = TfrxFormat;
    static const EnumType kind{{QStringLiteral("fkText"), QStringLiteral("fkNumeric"), QStringLiteral("fkDateTime"),
        QStringLiteral("fkBoolean")}};
    static const PropertyTable table{
        property<F>(QStringLiteral("DecimalSeparator"), PropType::String, &F::DecimalSeparator,
            &F::SetDecimalSeparator, QString()),
        property<F>(QStringLiteral("ThousandSeparator"), PropType::String, &F::ThousandSeparator,
            &F::SetThousandSeparator, QString()),
        property<F>(QStringLiteral("FormatStr"), PropType::String, &F::FormatStr, &F::SetFormatStr, QString()),
        property<F>(QStringLiteral("Kind"), PropType::Enum, &F::Kind, &F::SetKind, qint64(0), &kind),
    };
    return table;
}

TfrxHighlight::TfrxHighlight()
{
    m_font.SetColor(clRed);
}

const PropertyTable& TfrxHighlight::Properties() const
{
    using namespace props;
    using H = TfrxHighlight;
    static const PropertyTable table{
        property<H>(QStringLiteral("Active"), PropType::Boolean, &H::Active, &H::SetActive, false),
        nested<H>(QStringLiteral("Font"), &H::Font),
        property<H>(QStringLiteral("Color"), PropType::Color, &H::Color, &H::SetColor, qint64(clNone)),
        property<H>(QStringLiteral("Condition"), PropType::String, &H::Condition, &H::SetCondition, QString()),
    };
    return table;
}

const PropertyTable& TfrxCustomMemoView::Properties() const
{
    using namespace props;
    using C = TfrxComponent;
    using V = TfrxView;
    using S = TfrxStretcheable;
    using M = TfrxCustomMemoView;
    static const EnumType hAlign{
        {QStringLiteral("haLeft"), QStringLiteral("haRight"), QStringLiteral("haCenter"), QStringLiteral("haBlock")}};
    static const EnumType vAlign{{QStringLiteral("vaTop"), QStringLiteral("vaBottom"), QStringLiteral("vaCenter")}};
    static const PropertyTable table = [] {
        PropertyTable t = TfrxView::CommonProperties();
        t.add(property<S>(QStringLiteral("StretchMode"), PropType::Enum, &S::StretchMode, &S::SetStretchMode,
            qint64(0), &StretchModeIdentifiers()));
        t.add(property<M>(QStringLiteral("FirstParaBreak"), PropType::Boolean, &M::FirstParaBreak,
            &M::SetFirstParaBreak, false));
        t.add(property<M>(QStringLiteral("LastParaBreak"), PropType::Boolean, &M::LastParaBreak,
            &M::SetLastParaBreak, false));
        t.add(property<V>(QStringLiteral("Cursor"), PropType::Integer, &V::Cursor, &V::SetCursor, qint64(0)));
        t.add(property<V>(QStringLiteral("TagStr"), PropType::String, &V::TagStr, &V::SetTagStr, QString()));
        t.add(property<V>(QStringLiteral("URL"), PropType::String, &V::URL, &V::SetURL, QString()));
        t.add(property<M>(QStringLiteral("AutoWidth"), PropType::Boolean, &M::AutoWidth, &M::SetAutoWidth, false));
        t.add(property<M>(QStringLiteral("AllowExpressions"), PropType::Boolean, &M::AllowExpressions,
            &M::SetAllowExpressions, true));
        t.add(property<M>(QStringLiteral("AllowHTMLTags"), PropType::Boolean, &M::AllowHTMLTags,
            &M::SetAllowHTMLTags, false));
        t.add(property<V>(QStringLiteral("BrushStyle"), PropType::Enum, &V::BrushStyle, &V::SetBrushStyle, qint64(0),
            &BrushStyleIdentifiers()));
        t.add(storedWhen<M>(property<M>(QStringLiteral("CharSpacing"), PropType::Float, &M::CharSpacing,
                                &M::SetCharSpacing, 0.0),
            [](const M& m) { return m.m_charSpacing != 0; }));
        t.add(property<M>(QStringLiteral("Clipped"), PropType::Boolean, &M::Clipped, &M::SetClipped, true));
        t.add(property<V>(QStringLiteral("Color"), PropType::Color, &V::Color, &V::SetColor, qint64(clNone)));
        t.add(property<M>(QStringLiteral("DataField"), PropType::String, &M::DataField, &M::SetDataField, QString()));
        t.add(property<M>(QStringLiteral("DataSet"), PropType::Reference, &M::DataSet, &M::SetDataSet, QString()));
        t.add(property<M>(QStringLiteral("DataSetName"), PropType::String, &M::DataSetName, &M::SetDataSetName,
            QString()));
        t.add(nested<M>(QStringLiteral("DisplayFormat"), &M::DisplayFormat));
        t.add(storedWhen<M>(property<M>(QStringLiteral("ExpressionDelimiters"), PropType::String,
                                &M::ExpressionDelimiters, &M::SetExpressionDelimiters, QStringLiteral("[,]")),
            [](const M& m) { return m.m_expressionDelimiters != QLatin1String("[,]"); }));
        t.add(property<M>(QStringLiteral("FlowTo"), PropType::Reference, &M::FlowToName, &M::SetFlowToName,
            QString()));
        t.add(storedWhen<C>(nested<C>(QStringLiteral("Font"), &C::Font), [](const C& c) { return !c.ParentFont(); }));
        t.add(nested<V>(QStringLiteral("Frame"), &V::Frame));
        t.add(storedWhen<M>(property<M>(QStringLiteral("GapX"), PropType::Float, &M::GapX, &M::SetGapX, 2.0),
            [](const M& m) { return m.m_gapX != 2; }));
        t.add(storedWhen<M>(property<M>(QStringLiteral("GapY"), PropType::Float, &M::GapY, &M::SetGapY, 1.0),
            [](const M& m) { return m.m_gapY != 1; }));
        t.add(property<M>(QStringLiteral("HAlign"), PropType::Enum, &M::HAlign, &M::SetHAlign, qint64(0), &hAlign));
        t.add(property<M>(QStringLiteral("HideZeros"), PropType::Boolean, &M::HideZeros, &M::SetHideZeros, false));
        t.add(storedWhen<M>(nested<M>(QStringLiteral("Highlight"), &M::Highlight),
            [](const M& m) { return !m.m_highlight.Condition().trimmed().isEmpty(); }));
        t.add(storedWhen<M>(property<M>(QStringLiteral("LineSpacing"), PropType::Float, &M::LineSpacing,
                                &M::SetLineSpacing, 2.0),
            [](const M& m) { return m.m_lineSpacing != 2; }));
        // The lines go into the file as the object's Text attribute after all properties, not here.
        t.add(storedWhen<M>(property<M>(QStringLiteral("Memo"), PropType::StringList, &M::Memo, &M::SetMemo,
                                QStringList()),
            [](const M&) { return false; }));
        t.add(storedWhen<M>(property<M>(QStringLiteral("ParagraphGap"), PropType::Float, &M::ParagraphGap,
                                &M::SetParagraphGap, 0.0),
            [](const M& m) { return m.m_paragraphGap != 0; }));
        t.add(property<C>(QStringLiteral("ParentFont"), PropType::Boolean, &C::ParentFont, &C::SetParentFont, true));
        t.add(property<M>(QStringLiteral("Rotation"), PropType::Integer, &M::Rotation, &M::SetRotation, qint64(0)));
        t.add(property<M>(QStringLiteral("RTLReading"), PropType::Boolean, &M::RTLReading, &M::SetRTLReading, false));
        t.add(property<M>(QStringLiteral("Style"), PropType::String, &M::Style, &M::SetStyle, QString()));
        t.add(property<M>(QStringLiteral("SuppressRepeated"), PropType::Boolean, &M::SuppressRepeated,
            &M::SetSuppressRepeated, false));
        t.add(property<M>(QStringLiteral("Underlines"), PropType::Boolean, &M::Underlines, &M::SetUnderlines, false));
        t.add(property<M>(QStringLiteral("UseDefaultCharset"), PropType::Boolean, &M::UseDefaultCharset,
            &M::SetUseDefaultCharset, false));
        t.add(property<M>(QStringLiteral("WordBreak"), PropType::Boolean, &M::WordBreak, &M::SetWordBreak, false));
        t.add(property<M>(QStringLiteral("WordWrap"), PropType::Boolean, &M::WordWrap, &M::SetWordWrap, true));
        t.add(property<M>(QStringLiteral("Wysiwyg"), PropType::Boolean, &M::Wysiwyg, &M::SetWysiwyg, true));
        t.add(property<M>(QStringLiteral("VAlign"), PropType::Enum, &M::VAlign, &M::SetVAlign, qint64(0), &vAlign));
        return t;
    }();
    return table;
}

void TfrxCustomMemoView::BeforePrint()
{
    TfrxStretcheable::BeforePrint();
    m_savedMemo = m_memo;
}

void TfrxCustomMemoView::AfterPrint()
{
    m_memo = m_savedMemo;
    TfrxStretcheable::AfterPrint();
}

QString TfrxCustomMemoView::Text() const
{
    QString text;
    for (const QString& line : m_memo) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return text;
}

void TfrxCustomMemoView::SetText(const QString& text)
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

TfrxCustomMemoView* TfrxCustomMemoView::FlowTo() const
{
    if (m_flowTo.isEmpty())
        return nullptr;
    return dynamic_cast<TfrxCustomMemoView*>(FindObject(m_flowTo));
}

void TfrxCustomMemoView::SetRotation(int value)
{
    m_rotation = ((value % 360) + 360) % 360;
}

void TfrxCustomMemoView::SetStyle(const QString& value)
{
    m_style = value;
    applyReportStyle();
}

void TfrxCustomMemoView::applyReportStyle()
{
    const TfrxReport* report = Report();
    const TfrxStyleItem* style = report ? report->Styles().Find(m_style) : nullptr;
    if (!style)
        return;
    SetColor(style->Color());
    SetFont(style->Font());
    Frame() = style->Frame();
}

} // namespace quittung
