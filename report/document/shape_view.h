#pragma once

#include "report/document/view.h"

namespace quittung {

enum class TfrxShapeKind { skRectangle, skRoundRectangle, skEllipse, skTriangle, skDiamond, skDiagonal1, skDiagonal2 };

// A rectangle, ellipse or another outline with a fill.
class TfrxShapeView : public TfrxView {
public:
    QString ClassName() const override { return QStringLiteral("TfrxShapeView"); }
    const PropertyTable& Properties() const override;

    // Corner size of a rounded rectangle in steps of ten report pixels; 0 derives it from the box.
    int Curve() const { return m_curve; }
    void SetCurve(int value) { m_curve = value; }
    TfrxShapeKind Shape() const { return m_shape; }
    void SetShape(TfrxShapeKind value) { m_shape = value; }

private:
    int m_curve = 0;
    TfrxShapeKind m_shape = TfrxShapeKind::skRectangle;
};

} // namespace quittung
