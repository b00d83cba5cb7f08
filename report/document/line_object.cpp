#include "report/document/line_object.h"

namespace quittung::report {

const PropertyTable& LineObjectBase::properties() const
{
    using namespace props;
    using V = View;
    using S = StretchableView;
    using L = LineObjectBase;
    static const PropertyTable table = [] {
        PropertyTable t = View::commonProperties();
        t.add(property<S>(QStringLiteral("StretchMode"), PropType::Enum, &S::stretchMode, &S::setStretchMode,
            qint64(0), &stretchModeIdentifiers()));
        t.add(property<V>(QStringLiteral("TagStr"), PropType::String, &V::tagStr, &V::setTagStr, QString()));
        t.add(property<L>(QStringLiteral("ArrowEnd"), PropType::Boolean, &L::arrowEnd, &L::setArrowEnd, false));
        t.add(property<L>(QStringLiteral("ArrowLength"), PropType::Integer, &L::arrowLength, &L::setArrowLength,
            qint64(20)));
        t.add(property<L>(QStringLiteral("ArrowSolid"), PropType::Boolean, &L::arrowSolid, &L::setArrowSolid, false));
        t.add(property<L>(QStringLiteral("ArrowStart"), PropType::Boolean, &L::arrowStart, &L::setArrowStart, false));
        t.add(property<L>(QStringLiteral("ArrowWidth"), PropType::Integer, &L::arrowWidth, &L::setArrowWidth,
            qint64(5)));
        t.add(nested<V>(QStringLiteral("Frame"), &V::frame));
        t.add(property<L>(QStringLiteral("Diagonal"), PropType::Boolean, &L::diagonal, &L::setDiagonal, false));
        return t;
    }();
    return table;
}

void LineObjectBase::adjustOrientation()
{
    if (m_diagonal)
        return;
    if (width() <= height()) {
        setWidth(0);
        frame().setSides(FrameSide::Left);
    } else {
        setHeight(0);
        frame().setSides(FrameSide::Top);
    }
}

} // namespace quittung::report
