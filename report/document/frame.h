#pragma once

#include "report/document/persistent.h"
#include "report/document/units.h"

namespace quittung {

enum class TfrxFrameStyle { fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble, fsAltDot, fsSquare };

// Members of the frame's Typ set.
enum TfrxFrameType : int { ftLeft = 1, ftRight = 2, ftTop = 4, ftBottom = 8 };

const EnumType& FrameStyleIdentifiers();

class TfrxFrame;

// One side of a frame. Its fields are written only where they differ from the frame's own, so a
// reader applying the frame's fields first (which set all sides) rebuilds per-side differences.
class TfrxFrameLine : public TfrxPersistent {
public:
    TfrxFrameLine() = default;
    // A copy belongs to no frame until a frame adopts it.
    TfrxFrameLine(const TfrxFrameLine& other);
    TfrxFrameLine& operator=(const TfrxFrameLine& other);

    QString ClassName() const override { return QStringLiteral("TfrxFrameLine"); }
    const PropertyTable& Properties() const override;

    TColor Color() const { return m_color; }
    void SetColor(TColor value) { m_color = value; }
    TfrxFrameStyle Style() const { return m_style; }
    void SetStyle(TfrxFrameStyle value) { m_style = value; }
    double Width() const { return m_width; }
    void SetWidth(double value) { m_width = value; }

    const TfrxFrame* Frame() const { return m_frame; }

    bool operator==(const TfrxFrameLine& other) const;

private:
    friend class TfrxFrame;

    TColor m_color = clBlack;
    TfrxFrameStyle m_style = TfrxFrameStyle::fsSolid;
    double m_width = 1;
    const TfrxFrame* m_frame = nullptr;
};

// The frame of a view or of a report page. Colour, style and width of the frame set those of all
// four sides; the sides may then be changed one by one.
class TfrxFrame : public TfrxPersistent {
public:
    TfrxFrame();
    TfrxFrame(const TfrxFrame& other);
    TfrxFrame& operator=(const TfrxFrame& other);

    QString ClassName() const override { return QStringLiteral("TfrxFrame"); }
    const PropertyTable& Properties() const override;

    TColor Color() const { return m_color; }
    void SetColor(TColor value);
    bool DropShadow() const { return m_dropShadow; }
    void SetDropShadow(bool value) { m_dropShadow = value; }
    TColor ShadowColor() const { return m_shadowColor; }
    void SetShadowColor(TColor value) { m_shadowColor = value; }
    double ShadowWidth() const { return m_shadowWidth; }
    void SetShadowWidth(double value) { m_shadowWidth = value; }
    TfrxFrameStyle Style() const { return m_style; }
    void SetStyle(TfrxFrameStyle value);
    // A combination of TfrxFrameType bits.
    int Typ() const { return m_typ; }
    void SetTyp(int value) { m_typ = value & 0xF; }
    double Width() const { return m_width; }
    void SetWidth(double value);

    TfrxFrameLine& LeftLine() { return m_leftLine; }
    const TfrxFrameLine& LeftLine() const { return m_leftLine; }
    TfrxFrameLine& TopLine() { return m_topLine; }
    const TfrxFrameLine& TopLine() const { return m_topLine; }
    TfrxFrameLine& RightLine() { return m_rightLine; }
    const TfrxFrameLine& RightLine() const { return m_rightLine; }
    TfrxFrameLine& BottomLine() { return m_bottomLine; }
    const TfrxFrameLine& BottomLine() const { return m_bottomLine; }

    bool operator==(const TfrxFrame& other) const;

private:
    void adoptLines();

    TColor m_color = clBlack;
    bool m_dropShadow = false;
    TColor m_shadowColor = clBlack;
    double m_shadowWidth = 4;
    TfrxFrameStyle m_style = TfrxFrameStyle::fsSolid;
    int m_typ = 0;
    double m_width = 1;
    TfrxFrameLine m_leftLine;
    TfrxFrameLine m_topLine;
    TfrxFrameLine m_rightLine;
    TfrxFrameLine m_bottomLine;
};

} // namespace quittung
