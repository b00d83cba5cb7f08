#include "report/document/shape_object.h"

namespace quittung::report {

const PropertyTable& ShapeObject::properties() const
{
    using namespace props;
    using V = View;
    using S = ShapeObject;
    static const EnumType shape{{QStringLiteral("skRectangle"), QStringLiteral("skRoundRectangle"),
        QStringLiteral("skEllipse"), QStringLiteral("skTriangle"), QStringLiteral("skDiamond"),
        QStringLiteral("skDiagonal1"), QStringLiteral("skDiagonal2")}};
    static const PropertyTable table = [] {
        PropertyTable t = View::commonProperties();
        t.add(property<V>(QStringLiteral("BrushStyle"), PropType::Enum, &V::brushStyle, &V::setBrushStyle, qint64(0),
            &brushStyleIdentifiers()));
        t.add(
            property<V>(QStringLiteral("Color"), PropType::ColorValue, &V::color, &V::setColor, qint64(colors::None)));
        t.add(property<V>(QStringLiteral("Cursor"), PropType::Integer, &V::cursor, &V::setCursor, qint64(0)));
        t.add(property<S>(QStringLiteral("Curve"), PropType::Integer, &S::curve, &S::setCurve, qint64(0)));
        t.add(nested<V>(QStringLiteral("Frame"), &V::frame));
        t.add(property<S>(QStringLiteral("Shape"), PropType::Enum, &S::shape, &S::setShape, qint64(0), &shape));
        t.add(property<V>(QStringLiteral("TagStr"), PropType::String, &V::tagStr, &V::setTagStr, QString()));
        t.add(property<V>(QStringLiteral("URL"), PropType::String, &V::url, &V::setUrl, QString()));
        return t;
    }();
    return table;
}

} // namespace quittung::report
