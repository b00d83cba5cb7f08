#include "report/document/view.h"

namespace quittung::report {

const EnumType& restrictionIdentifiers()
{
    static const EnumType type{{QStringLiteral("rfDontModify"), QStringLiteral("rfDontSize"),
        QStringLiteral("rfDontMove"), QStringLiteral("rfDontDelete"), QStringLiteral("rfDontEdit")}};
    return type;
}

const EnumType& brushStyleIdentifiers()
{
    static const EnumType type{{QStringLiteral("bsSolid"), QStringLiteral("bsClear"), QStringLiteral("bsHorizontal"),
        QStringLiteral("bsVertical"), QStringLiteral("bsFDiagonal"), QStringLiteral("bsBDiagonal"),
        QStringLiteral("bsCross"), QStringLiteral("bsDiagCross")}};
    return type;
}

const EnumType& stretchModeIdentifiers()
{
    static const EnumType type{
        {QStringLiteral("smDontStretch"), QStringLiteral("smActualHeight"), QStringLiteral("smMaxHeight")}};
    return type;
}

void OutputObject::beforePrint()
{
    m_savedBounds = QRectF(left(), top(), width(), height());
}

void OutputObject::afterPrint()
{
    setBounds(m_savedBounds.left(), m_savedBounds.top(), m_savedBounds.width(), m_savedBounds.height());
}

QRectF OutputObject::getRealBounds() const
{
    return QRectF(absLeft(), absTop(), width(), height());
}

void alignObjects(const std::vector<ReportObject*>& objects, double width, double height)
{
    double left = 0;
    double right = width;
    double bottom = height;
    std::vector<View*> filling;
    for (ReportObject* object : objects) {
        auto* view = dynamic_cast<View*>(object);
        if (!view)
            continue;
        switch (view->align()) {
        case Align::None: break;
        case Align::Left:
            view->setLeft(left);
            left += view->width();
            break;
        case Align::Right:
            right -= view->width();
            view->setLeft(right);
            break;
        case Align::Center: view->setLeft((width - view->width()) / 2); break;
        case Align::Bottom:
            bottom -= view->height();
            view->setTop(bottom);
            break;
        case Align::Width:
        case Align::Client: filling.push_back(view); break;
        }
    }
    for (View* view : filling) {
        view->setLeft(left);
        view->setWidth(right - left);
        if (view->align() == Align::Client) {
            view->setTop(0);
            view->setHeight(bottom);
        }
    }
}

const PropertyTable& View::commonProperties()
{
    using namespace props;
    using C = ReportObject;
    using R = OutputObject;
    using V = View;
    static const EnumType align{{QStringLiteral("baNone"), QStringLiteral("baLeft"), QStringLiteral("baRight"),
        QStringLiteral("baCenter"), QStringLiteral("baWidth"), QStringLiteral("baBottom"), QStringLiteral("baClient")}};
    static const EnumType shiftMode{
        {QStringLiteral("smDontShift"), QStringLiteral("smAlways"), QStringLiteral("smWhenOverlapped")}};
    static const PropertyTable table{
        property<C>(QStringLiteral("Tag"), PropType::Integer, &C::tag, &C::setTag, qint64(0)),
        property<C>(QStringLiteral("Description"), PropType::String, &C::description, &C::setDescription, QString()),
        property<V>(QStringLiteral("Align"), PropType::Enum, &V::align, &V::setAlign, qint64(0), &align),
        property<V>(QStringLiteral("Printable"), PropType::Boolean, &V::printable, &V::setPrintable, true),
        property<V>(QStringLiteral("ShiftMode"), PropType::Enum, &V::shiftMode, &V::setShiftMode,
            qint64(ShiftMode::Always), &shiftMode),
        property<C>(QStringLiteral("Left"), PropType::Float, &C::left, &C::setLeft, 0.0),
        property<C>(QStringLiteral("Top"), PropType::Float, &C::top, &C::setTop, 0.0),
        property<C>(QStringLiteral("Width"), PropType::Float, &C::width, &C::setWidth, 0.0),
        property<C>(QStringLiteral("Height"), PropType::Float, &C::height, &C::setHeight, 0.0),
        property<V>(QStringLiteral("GroupIndex"), PropType::Integer, &V::groupIndex, &V::setGroupIndex, qint64(0)),
        property<R>(QStringLiteral("Restrictions"), PropType::Set, &R::restrictions, &R::setRestrictions, qint64(0),
            &restrictionIdentifiers()),
        property<C>(QStringLiteral("Visible"), PropType::Boolean, &C::visible, &C::setVisible, true),
        property<V>(QStringLiteral("OnAfterData"), PropType::String, &V::onAfterData, &V::setOnAfterData, QString()),
        property<R>(QStringLiteral("OnAfterPrint"), PropType::String, &R::onAfterPrint, &R::setOnAfterPrint,
            QString()),
        property<R>(QStringLiteral("OnBeforePrint"), PropType::String, &R::onBeforePrint, &R::setOnBeforePrint,
            QString()),
        property<V>(QStringLiteral("OnPreviewClick"), PropType::String, &V::onPreviewClick, &V::setOnPreviewClick,
            QString()),
        property<V>(QStringLiteral("OnPreviewDblClick"), PropType::String, &V::onPreviewDblClick,
            &V::setOnPreviewDblClick, QString()),
        property<V>(QStringLiteral("Hint"), PropType::String, &V::hint, &V::setHint, QString()),
        // Declared without a default, so templates always carry it.
        property<V>(QStringLiteral("ShowHint"), PropType::Boolean, &V::showHint, &V::setShowHint),
    };
    return table;
}

} // namespace quittung::report
