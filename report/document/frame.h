#pragma once

#include "report/document/property_object.h"
#include "report/document/units.h"

#include <QFlags>

namespace quittung::report {

enum class FrameStyle { Solid, Dash, Dot, DashDot, DashDotDot, Double, AltDot, Square };

// Members of the frame's Typ set.
enum class FrameSide : int { Left = 1, Right = 2, Top = 4, Bottom = 8 };
Q_DECLARE_FLAGS(FrameSides, FrameSide)
Q_DECLARE_OPERATORS_FOR_FLAGS(FrameSides)
inline constexpr FrameSides AllFrameSides = FrameSide::Left | FrameSide::Right | FrameSide::Top | FrameSide::Bottom;

const EnumType& frameStyleIdentifiers();

class Frame;

// One side of a frame. Its fields are written only where they differ from the frame's own, so a
// reader applying the frame's fields first (which set all sides) rebuilds per-side differences.
class FrameLine : public PropertyObject {
public:
    FrameLine() = default;
    // A copy belongs to no frame until a frame adopts it.
    FrameLine(const FrameLine& other);
    FrameLine& operator=(const FrameLine& other);

    QString className() const override { return QStringLiteral("TfrxFrameLine"); }
    const PropertyTable& properties() const override;

    Color color() const { return m_color; }
    void setColor(Color value) { m_color = value; }
    FrameStyle style() const { return m_style; }
    void setStyle(FrameStyle value) { m_style = value; }
    double width() const { return m_width; }
    void setWidth(double value) { m_width = value; }

    const Frame* frame() const { return m_frame; }

    bool operator==(const FrameLine& other) const;

private:
    friend class Frame;

    Color m_color = colors::Black;
    FrameStyle m_style = FrameStyle::Solid;
    double m_width = 1;
    const Frame* m_frame = nullptr;
};

// The frame of a view or of a report page. Colour, style and width of the frame set those of all
// four sides; the sides may then be changed one by one.
class Frame : public PropertyObject {
public:
    Frame();
    Frame(const Frame& other);
    Frame& operator=(const Frame& other);

    QString className() const override { return QStringLiteral("TfrxFrame"); }
    const PropertyTable& properties() const override;

    Color color() const { return m_color; }
    void setColor(Color value);
    bool dropShadow() const { return m_dropShadow; }
    void setDropShadow(bool value) { m_dropShadow = value; }
    Color shadowColor() const { return m_shadowColor; }
    void setShadowColor(Color value) { m_shadowColor = value; }
    double shadowWidth() const { return m_shadowWidth; }
    void setShadowWidth(double value) { m_shadowWidth = value; }
    FrameStyle style() const { return m_style; }
    void setStyle(FrameStyle value);
    // A combination of FrameSide bits.
    FrameSides sides() const { return m_sides; }
    void setSides(FrameSides value) { m_sides = value & FrameSides::fromInt(0xF); }
    double width() const { return m_width; }
    void setWidth(double value);

    FrameLine& leftLine() { return m_leftLine; }
    const FrameLine& leftLine() const { return m_leftLine; }
    FrameLine& topLine() { return m_topLine; }
    const FrameLine& topLine() const { return m_topLine; }
    FrameLine& rightLine() { return m_rightLine; }
    const FrameLine& rightLine() const { return m_rightLine; }
    FrameLine& bottomLine() { return m_bottomLine; }
    const FrameLine& bottomLine() const { return m_bottomLine; }

    bool operator==(const Frame& other) const;

private:
    void adoptLines();

    Color m_color = colors::Black;
    bool m_dropShadow = false;
    Color m_shadowColor = colors::Black;
    double m_shadowWidth = 4;
    FrameStyle m_style = FrameStyle::Solid;
    FrameSides m_sides;
    double m_width = 1;
    FrameLine m_leftLine;
    FrameLine m_topLine;
    FrameLine m_rightLine;
    FrameLine m_bottomLine;
};

} // namespace quittung::report
