#pragma once

#include "report/document/view.h"

namespace quittung::report {

enum class ShapeKind { Rectangle, RoundRectangle, Ellipse, Triangle, Diamond, Diagonal1, Diagonal2 };

// A rectangle, ellipse or another outline with a fill.
class ShapeObject : public View {
public:
    QString className() const override { return QStringLiteral("TfrxShapeView"); }
    const PropertyTable& properties() const override;

    // Corner size of a rounded rectangle in steps of ten report pixels; 0 derives it from the box.
    int curve() const { return m_curve; }
    void setCurve(int value) { m_curve = value; }
    ShapeKind shape() const { return m_shape; }
    void setShape(ShapeKind value) { m_shape = value; }

private:
    int m_curve = 0;
    ShapeKind m_shape = ShapeKind::Rectangle;
};

} // namespace quittung::report
