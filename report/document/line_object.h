#pragma once

#include "report/document/view.h"

namespace quittung::report {

// A straight line in the box Left, Top, Width, Height, painted as a side of its frame.
class LineObjectBase : public StretchableView {
public:
    QString className() const override { return QStringLiteral("TfrxCustomLineView"); }
    const PropertyTable& properties() const override;

    bool arrowEnd() const { return m_arrowEnd; }
    void setArrowEnd(bool value) { m_arrowEnd = value; }
    int arrowLength() const { return m_arrowLength; }
    void setArrowLength(int value) { m_arrowLength = value; }
    bool arrowSolid() const { return m_arrowSolid; }
    void setArrowSolid(bool value) { m_arrowSolid = value; }
    bool arrowStart() const { return m_arrowStart; }
    void setArrowStart(bool value) { m_arrowStart = value; }
    int arrowWidth() const { return m_arrowWidth; }
    void setArrowWidth(int value) { m_arrowWidth = value; }
    // A diagonal line runs from the box's top-left to its bottom-right corner.
    bool diagonal() const { return m_diagonal; }
    void setDiagonal(bool value) { m_diagonal = value; }

    // Before drawing, a line that is not diagonal becomes vertical (Width 0, left side) when its
    // box is not wider than high, otherwise horizontal (Height 0, top side).
    void adjustOrientation();

private:
    bool m_arrowEnd = false;
    int m_arrowLength = 20;
    bool m_arrowSolid = false;
    bool m_arrowStart = false;
    int m_arrowWidth = 5;
    bool m_diagonal = false;
};

class LineObject : public LineObjectBase {
public:
    QString className() const override { return QStringLiteral("TfrxLineView"); }
};

} // namespace quittung::report
