#pragma once

#include "report/document/view.h"

namespace quittung {

// A straight line in the box Left, Top, Width, Height, painted as a side of its frame.
class TfrxCustomLineView : public TfrxStretcheable {
public:
    QString ClassName() const override { return QStringLiteral("TfrxCustomLineView"); }
    const PropertyTable& Properties() const override;

    bool ArrowEnd() const { return m_arrowEnd; }
    void SetArrowEnd(bool value) { m_arrowEnd = value; }
    int ArrowLength() const { return m_arrowLength; }
    void SetArrowLength(int value) { m_arrowLength = value; }
    bool ArrowSolid() const { return m_arrowSolid; }
    void SetArrowSolid(bool value) { m_arrowSolid = value; }
    bool ArrowStart() const { return m_arrowStart; }
    void SetArrowStart(bool value) { m_arrowStart = value; }
    int ArrowWidth() const { return m_arrowWidth; }
    void SetArrowWidth(int value) { m_arrowWidth = value; }
    // A diagonal line runs from the box's top-left to its bottom-right corner.
    bool Diagonal() const { return m_diagonal; }
    void SetDiagonal(bool value) { m_diagonal = value; }

    // Before drawing, a line that is not diagonal becomes vertical (Width 0, left side) when its
    // box is not wider than high, otherwise horizontal (Height 0, top side).
    void AdjustOrientation();

private:
    bool m_arrowEnd = false;
    int m_arrowLength = 20;
    bool m_arrowSolid = false;
    bool m_arrowStart = false;
    int m_arrowWidth = 5;
    bool m_diagonal = false;
};

class TfrxLineView : public TfrxCustomLineView {
public:
    QString ClassName() const override { return QStringLiteral("TfrxLineView"); }
};

} // namespace quittung
