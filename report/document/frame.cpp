#include "report/document/frame.h"

namespace quittung {

const EnumType& FrameStyleIdentifiers()
{
    static const EnumType type{{QStringLiteral("fsSolid"), QStringLiteral("fsDash"), QStringLiteral("fsDot"),
        QStringLiteral("fsDashDot"), QStringLiteral("fsDashDotDot"), QStringLiteral("fsDouble"),
        QStringLiteral("fsAltDot"), QStringLiteral("fsSquare")}};
    return type;
}

TfrxFrameLine::TfrxFrameLine(const TfrxFrameLine& other)
    : TfrxPersistent(other)
    , m_color(other.m_color)
    , m_style(other.m_style)
    , m_width(other.m_width)
{
}

TfrxFrameLine& TfrxFrameLine::operator=(const TfrxFrameLine& other)
{
    m_color = other.m_color;
    m_style = other.m_style;
    m_width = other.m_width;
    return *this;
}

const PropertyTable& TfrxFrameLine::Properties() const
{
    using namespace props;
    using L = TfrxFrameLine;
    // No declared defaults: a side is compared with its frame, not with a constant. A line outside
    // a frame is always written.
    static const PropertyTable table{
        storedWhen<L>(property<L>(QStringLiteral("Color"), PropType::Color, &L::Color, &L::SetColor),
            [](const L& l) { return !l.m_frame || l.m_color != l.m_frame->Color(); }),
        storedWhen<L>(property<L>(QStringLiteral("Style"), PropType::Enum, &L::Style, &L::SetStyle, std::nullopt,
                          &FrameStyleIdentifiers()),
            [](const L& l) { return !l.m_frame || l.m_style != l.m_frame->Style(); }),
        storedWhen<L>(property<L>(QStringLiteral("Width"), PropType::Float, &L::Width, &L::SetWidth),
            [](const L& l) { return !l.m_frame || l.m_width != l.m_frame->Width(); }),
    };
    return table;
}

bool TfrxFrameLine::operator==(const TfrxFrameLine& other) const
{
    return m_color == other.m_color && m_style == other.m_style && m_width == other.m_width;
}

TfrxFrame::TfrxFrame()
{
    adoptLines();
}

TfrxFrame::TfrxFrame(const TfrxFrame& other)
    : TfrxPersistent(other)
    , m_color(other.m_color)
    , m_dropShadow(other.m_dropShadow)
    , m_shadowColor(other.m_shadowColor)
    , m_shadowWidth(other.m_shadowWidth)
    , m_style(other.m_style)
    , m_typ(other.m_typ)
    , m_width(other.m_width)
    , m_leftLine(other.m_leftLine)
    , m_topLine(other.m_topLine)
    , m_rightLine(other.m_rightLine)
    , m_bottomLine(other.m_bottomLine)
{
    adoptLines();
}

TfrxFrame& TfrxFrame::operator=(const TfrxFrame& other)
{
    m_color = other.m_color;
    m_dropShadow = other.m_dropShadow;
    m_shadowColor = other.m_shadowColor;
    m_shadowWidth = other.m_shadowWidth;
    m_style = other.m_style;
    m_typ = other.m_typ;
    m_width = other.m_width;
    m_leftLine = other.m_leftLine;
    m_topLine = other.m_topLine;
    m_rightLine = other.m_rightLine;
    m_bottomLine = other.m_bottomLine;
    return *this;
}

void TfrxFrame::adoptLines()
{
    for (TfrxFrameLine* line : {&m_leftLine, &m_topLine, &m_rightLine, &m_bottomLine})
        line->m_frame = this;
}

const PropertyTable& TfrxFrame::Properties() const
{
    using namespace props;
    using F = TfrxFrame;
    static const EnumType typ{
        {QStringLiteral("ftLeft"), QStringLiteral("ftRight"), QStringLiteral("ftTop"), QStringLiteral("ftBottom")}};
    static const PropertyTable table{
        property<F>(QStringLiteral("Color"), PropType::Color, &F::Color, &F::SetColor, qint64(clBlack)),
        property<F>(QStringLiteral("DropShadow"), PropType::Boolean, &F::DropShadow, &F::SetDropShadow, false),
        property<F>(QStringLiteral("ShadowColor"), PropType::Color, &F::ShadowColor, &F::SetShadowColor,
            qint64(clBlack)),
        storedWhen<F>(property<F>(QStringLiteral("ShadowWidth"), PropType::Float, &F::ShadowWidth,
                          &F::SetShadowWidth, 4.0),
            [](const F& f) { return f.m_shadowWidth != 4; }),
        property<F>(QStringLiteral("Style"), PropType::Enum, &F::Style, &F::SetStyle, qint64(0),
            &FrameStyleIdentifiers()),
        storedWhen<F>(property<F>(QStringLiteral("Typ"), PropType::Set, &F::Typ, &F::SetTyp, qint64(0), &typ),
            [](const F& f) { return f.m_typ != 0; }),
        storedWhen<F>(property<F>(QStringLiteral("Width"), PropType::Float, &F::Width, &F::SetWidth, 1.0),
            [](const F& f) { return f.m_width != 1; }),
        nested<F>(QStringLiteral("LeftLine"), &F::LeftLine),
        nested<F>(QStringLiteral("TopLine"), &F::TopLine),
        nested<F>(QStringLiteral("RightLine"), &F::RightLine),
        nested<F>(QStringLiteral("BottomLine"), &F::BottomLine),
    };
    return table;
}

void TfrxFrame::SetColor(TColor value)
{
    m_color = value;
    for (TfrxFrameLine* line : {&m_leftLine, &m_topLine, &m_rightLine, &m_bottomLine})
        line->SetColor(value);
}

void TfrxFrame::SetStyle(TfrxFrameStyle value)
{
    m_style = value;
    for (TfrxFrameLine* line : {&m_leftLine, &m_topLine, &m_rightLine, &m_bottomLine})
        line->SetStyle(value);
}

void TfrxFrame::SetWidth(double value)
{
    m_width = value;
    for (TfrxFrameLine* line : {&m_leftLine, &m_topLine, &m_rightLine, &m_bottomLine})
        line->SetWidth(value);
}

bool TfrxFrame::operator==(const TfrxFrame& other) const
{
    return m_color == other.m_color && m_dropShadow == other.m_dropShadow && m_shadowColor == other.m_shadowColor
        && m_shadowWidth == other.m_shadowWidth && m_style == other.m_style && m_typ == other.m_typ
        && m_width == other.m_width && m_leftLine == other.m_leftLine && m_topLine == other.m_topLine
        && m_rightLine == other.m_rightLine && m_bottomLine == other.m_bottomLine;
}

} // namespace quittung
