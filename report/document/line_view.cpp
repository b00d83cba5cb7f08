#include "report/document/line_view.h"

namespace quittung {

const PropertyTable& TfrxCustomLineView::Properties() const
{
    using namespace props;
    using V = TfrxView;
    using S = TfrxStretcheable;
    using L = TfrxCustomLineView;
    static const PropertyTable table = [] {
        PropertyTable t = TfrxView::CommonProperties();
        t.add(property<S>(QStringLiteral("StretchMode"), PropType::Enum, &S::StretchMode, &S::SetStretchMode,
            qint64(0), &StretchModeIdentifiers()));
        t.add(property<V>(QStringLiteral("TagStr"), PropType::String, &V::TagStr, &V::SetTagStr, QString()));
        t.add(property<L>(QStringLiteral("ArrowEnd"), PropType::Boolean, &L::ArrowEnd, &L::SetArrowEnd, false));
        t.add(property<L>(QStringLiteral("ArrowLength"), PropType::Integer, &L::ArrowLength, &L::SetArrowLength,
            qint64(20)));
        t.add(property<L>(QStringLiteral("ArrowSolid"), PropType::Boolean, &L::ArrowSolid, &L::SetArrowSolid, false));
        t.add(property<L>(QStringLiteral("ArrowStart"), PropType::Boolean, &L::ArrowStart, &L::SetArrowStart, false));
        t.add(property<L>(QStringLiteral("ArrowWidth"), PropType::Integer, &L::ArrowWidth, &L::SetArrowWidth,
            qint64(5)));
        t.add(nested<V>(QStringLiteral("Frame"), &V::Frame));
        t.add(property<L>(QStringLiteral("Diagonal"), PropType::Boolean, &L::Diagonal, &L::SetDiagonal, false));
        return t;
    }();
    return table;
}

void TfrxCustomLineView::AdjustOrientation()
{
    if (m_diagonal)
        return;
    if (Width() <= Height()) {
        SetWidth(0);
        Frame().SetTyp(ftLeft);
    } else {
        SetHeight(0);
        Frame().SetTyp(ftTop);
    }
}

} // namespace quittung
