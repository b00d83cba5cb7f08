#include "report/document/band.h"

namespace quittung::report {

const PropertyTable& Band::properties() const
{
    using namespace props;
    using C = ReportObject;
    using R = OutputObject;
    using B = Band;
    static const PropertyTable table{
        property<C>(QStringLiteral("Tag"), PropType::Integer, &C::tag, &C::setTag, qint64(0)),
        property<C>(QStringLiteral("Description"), PropType::String, &C::description, &C::setDescription, QString()),
        storedWhen<C>(nested<C>(QStringLiteral("Font"), &C::font), [](const C& c) { return !c.parentFont(); }),
        property<C>(QStringLiteral("Height"), PropType::Float, &C::height, &C::setHeight, 0.0),
        property<C>(QStringLiteral("Left"), PropType::Float, &C::left, &C::setLeft, 0.0),
        property<C>(QStringLiteral("ParentFont"), PropType::Boolean, &C::parentFont, &C::setParentFont, true),
        property<R>(QStringLiteral("Restrictions"), PropType::Set, &R::restrictions, &R::setRestrictions, qint64(0),
            &restrictionIdentifiers()),
        property<C>(QStringLiteral("Top"), PropType::Float, &C::top, &C::setTop, 0.0),
        property<B>(QStringLiteral("Vertical"), PropType::Boolean, &B::vertical, &B::setVertical, false),
        property<C>(QStringLiteral("Visible"), PropType::Boolean, &C::visible, &C::setVisible, true),
        property<C>(QStringLiteral("Width"), PropType::Float, &C::width, &C::setWidth, 0.0),
        property<B>(QStringLiteral("OnAfterCalcHeight"), PropType::String, &B::onAfterCalcHeight,
            &B::setOnAfterCalcHeight, QString()),
        property<R>(QStringLiteral("OnAfterPrint"), PropType::String, &R::onAfterPrint, &R::setOnAfterPrint,
            QString()),
        property<R>(QStringLiteral("OnBeforePrint"), PropType::String, &R::onBeforePrint, &R::setOnBeforePrint,
            QString()),
    };
    return table;
}

} // namespace quittung::report
