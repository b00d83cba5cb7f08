#include "report/document/frame.h"

namespace quittung::report {

const EnumType& frameStyleIdentifiers()
{
    static const EnumType type{{QStringLiteral("fsSolid"), QStringLiteral("fsDash"), QStringLiteral("fsDot"),
        QStringLiteral("fsDashDot"), QStringLiteral("fsDashDotDot"), QStringLiteral("fsDouble"),
        QStringLiteral("fsAltDot"), QStringLiteral("fsSquare")}};
    return type;
}

FrameLine::FrameLine(const FrameLine& other)
    : PropertyObject(other)
    , m_color(other.m_color)
    , m_style(other.m_style)
    , m_width(other.m_width)
{
}

FrameLine& FrameLine::operator=(const FrameLine& other)
{
    m_color = other.m_color;
    m_style = other.m_style;
    m_width = other.m_width;
    return *this;
}

const PropertyTable& FrameLine::properties() const
{
    using namespace props;
    using L = FrameLine;
    // No declared defaults: a side is compared with its frame, not with a constant. A line outside
    // a frame is always written.
    static const PropertyTable table{
        storedWhen<L>(property<L>(QStringLiteral("Color"), PropType::ColorValue, &L::color, &L::setColor),
            [](const L& l) { return !l.m_frame || l.m_color != l.m_frame->color(); }),
        storedWhen<L>(property<L>(QStringLiteral("Style"), PropType::Enum, &L::style, &L::setStyle, std::nullopt,
                          &frameStyleIdentifiers()),
            [](const L& l) { return !l.m_frame || l.m_style != l.m_frame->style(); }),
        storedWhen<L>(property<L>(QStringLiteral("Width"), PropType::Float, &L::width, &L::setWidth),
            [](const L& l) { return !l.m_frame || l.m_width != l.m_frame->width(); }),
    };
    return table;
}

bool FrameLine::operator==(const FrameLine& other) const
{
    return m_color == other.m_color && m_style == other.m_style && m_width == other.m_width;
}

Frame::Frame()
{
    adoptLines();
}

Frame::Frame(const Frame& other)
    : PropertyObject(other)
    , m_color(other.m_color)
    , m_dropShadow(other.m_dropShadow)
    , m_shadowColor(other.m_shadowColor)
    , m_shadowWidth(other.m_shadowWidth)
    , m_style(other.m_style)
    , m_sides(other.m_sides)
    , m_width(other.m_width)
    , m_leftLine(other.m_leftLine)
    , m_topLine(other.m_topLine)
    , m_rightLine(other.m_rightLine)
    , m_bottomLine(other.m_bottomLine)
{
    adoptLines();
}

Frame& Frame::operator=(const Frame& other)
{
    m_color = other.m_color;
    m_dropShadow = other.m_dropShadow;
    m_shadowColor = other.m_shadowColor;
    m_shadowWidth = other.m_shadowWidth;
    m_style = other.m_style;
    m_sides = other.m_sides;
    m_width = other.m_width;
    m_leftLine = other.m_leftLine;
    m_topLine = other.m_topLine;
    m_rightLine = other.m_rightLine;
    m_bottomLine = other.m_bottomLine;
    return *this;
}

void Frame::adoptLines()
{
    for (FrameLine* line : {&m_leftLine, &m_topLine, &m_rightLine, &m_bottomLine})
        line->m_frame = this;
}

const PropertyTable& Frame::properties() const
{
    using namespace props;
    using F = Frame;
    static const EnumType typ{
        {QStringLiteral("ftLeft"), QStringLiteral("ftRight"), QStringLiteral("ftTop"), QStringLiteral("ftBottom")}};
    static const PropertyTable table{
        property<F>(QStringLiteral("Color"), PropType::ColorValue, &F::color, &F::setColor, qint64(colors::Black)),
        property<F>(QStringLiteral("DropShadow"), PropType::Boolean, &F::dropShadow, &F::setDropShadow, false),
        property<F>(QStringLiteral("ShadowColor"), PropType::ColorValue, &F::shadowColor, &F::setShadowColor,
            qint64(colors::Black)),
        storedWhen<F>(property<F>(QStringLiteral("ShadowWidth"), PropType::Float, &F::shadowWidth,
                          &F::setShadowWidth, 4.0),
            [](const F& f) { return f.m_shadowWidth != 4; }),
        property<F>(QStringLiteral("Style"), PropType::Enum, &F::style, &F::setStyle, qint64(0),
            &frameStyleIdentifiers()),
        storedWhen<F>(property<F>(QStringLiteral("Typ"), PropType::Set, &F::sides, &F::setSides, qint64(0), &typ),
            [](const F& f) { return f.m_sides.toInt() != 0; }),
        storedWhen<F>(property<F>(QStringLiteral("Width"), PropType::Float, &F::width, &F::setWidth, 1.0),
            [](const F& f) { return f.m_width != 1; }),
        nested<F>(QStringLiteral("LeftLine"), &F::leftLine),
        nested<F>(QStringLiteral("TopLine"), &F::topLine),
        nested<F>(QStringLiteral("RightLine"), &F::rightLine),
        nested<F>(QStringLiteral("BottomLine"), &F::bottomLine),
    };
    return table;
}

void Frame::setColor(Color value)
{
    m_color = value;
    for (FrameLine* line : {&m_leftLine, &m_topLine, &m_rightLine, &m_bottomLine})
        line->setColor(value);
}

void Frame::setStyle(FrameStyle value)
{
    m_style = value;
    for (FrameLine* line : {&m_leftLine, &m_topLine, &m_rightLine, &m_bottomLine})
        line->setStyle(value);
}

void Frame::setWidth(double value)
{
    m_width = value;
    for (FrameLine* line : {&m_leftLine, &m_topLine, &m_rightLine, &m_bottomLine})
        line->setWidth(value);
}

bool Frame::operator==(const Frame& other) const
{
    return m_color == other.m_color && m_dropShadow == other.m_dropShadow && m_shadowColor == other.m_shadowColor
        && m_shadowWidth == other.m_shadowWidth && m_style == other.m_style && m_sides == other.m_sides
        && m_width == other.m_width && m_leftLine == other.m_leftLine && m_topLine == other.m_topLine
        && m_rightLine == other.m_rightLine && m_bottomLine == other.m_bottomLine;
}

} // namespace quittung::report
