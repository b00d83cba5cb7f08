#include "report/document/band.h"

namespace quittung {

const PropertyTable& TfrxBand::Properties() const
{
    using namespace props;
    using C = TfrxComponent;
    using R = TfrxReportComponent;
    using B = TfrxBand;
    static const PropertyTable table{
        property<C>(QStringLiteral("Tag"), PropType::Integer, &C::Tag, &C::SetTag, qint64(0)),
        property<C>(QStringLiteral("Description"), PropType::String, &C::Description, &C::SetDescription, QString()),
        storedWhen<C>(nested<C>(QStringLiteral("Font"), &C::Font), [](const C& c) { return !c.ParentFont(); }),
        property<C>(QStringLiteral("Height"), PropType::Float, &C::Height, &C::SetHeight, 0.0),
        property<C>(QStringLiteral("Left"), PropType::Float, &C::Left, &C::SetLeft, 0.0),
        property<C>(QStringLiteral("ParentFont"), PropType::Boolean, &C::ParentFont, &C::SetParentFont, true),
        property<R>(QStringLiteral("Restrictions"), PropType::Set, &R::Restrictions, &R::SetRestrictions, qint64(0),
            &RestrictionIdentifiers()),
        property<C>(QStringLiteral("Top"), PropType::Float, &C::Top, &C::SetTop, 0.0),
        property<B>(QStringLiteral("Vertical"), PropType::Boolean, &B::Vertical, &B::SetVertical, false),
        property<C>(QStringLiteral("Visible"), PropType::Boolean, &C::Visible, &C::SetVisible, true),
        property<C>(QStringLiteral("Width"), PropType::Float, &C::Width, &C::SetWidth, 0.0),
        property<B>(QStringLiteral("OnAfterCalcHeight"), PropType::String, &B::OnAfterCalcHeight,
            &B::SetOnAfterCalcHeight, QString()),
        property<R>(QStringLiteral("OnAfterPrint"), PropType::String, &R::OnAfterPrint, &R::SetOnAfterPrint,
            QString()),
        property<R>(QStringLiteral("OnBeforePrint"), PropType::String, &R::OnBeforePrint, &R::SetOnBeforePrint,
            QString()),
    };
    return table;
}

} // namespace quittung
