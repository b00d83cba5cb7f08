#include "report/document/shape_view.h"

namespace quittung {

const PropertyTable& TfrxShapeView::Properties() const
{
    using namespace props;
    using V = TfrxView;
    using S = TfrxShapeView;
    static const EnumType shape{{QStringLiteral("skRectangle"), QStringLiteral("skRoundRectangle"),
        QStringLiteral("skEllipse"), QStringLiteral("skTriangle"), QStringLiteral("skDiamond"),
        QStringLiteral("skDiagonal1"), QStringLiteral("skDiagonal2")}};
    static const PropertyTable table = [] {
        PropertyTable t = TfrxView::CommonProperties();
        t.add(property<V>(QStringLiteral("BrushStyle"), PropType::Enum, &V::BrushStyle, &V::SetBrushStyle, qint64(0),
            &BrushStyleIdentifiers()));
        t.add(property<V>(QStringLiteral("Color"), PropType::Color, &V::Color, &V::SetColor, qint64(clNone)));
        t.add(property<V>(QStringLiteral("Cursor"), PropType::Integer, &V::Cursor, &V::SetCursor, qint64(0)));
        t.add(property<S>(QStringLiteral("Curve"), PropType::Integer, &S::Curve, &S::SetCurve, qint64(0)));
        t.add(nested<V>(QStringLiteral("Frame"), &V::Frame));
        t.add(property<S>(QStringLiteral("Shape"), PropType::Enum, &S::Shape, &S::SetShape, qint64(0), &shape));
        t.add(property<V>(QStringLiteral("TagStr"), PropType::String, &V::TagStr, &V::SetTagStr, QString()));
        t.add(property<V>(QStringLiteral("URL"), PropType::String, &V::URL, &V::SetURL, QString()));
        return t;
    }();
    return table;
}

} // namespace quittung
