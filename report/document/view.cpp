#include "report/document/view.h"

namespace quittung {

const EnumType& RestrictionIdentifiers()
{
    static const EnumType type{{QStringLiteral("rfDontModify"), QStringLiteral("rfDontSize"),
        QStringLiteral("rfDontMove"), QStringLiteral("rfDontDelete"), QStringLiteral("rfDontEdit")}};
    return type;
}

const EnumType& BrushStyleIdentifiers()
{
    static const EnumType type{{QStringLiteral("bsSolid"), QStringLiteral("bsClear"), QStringLiteral("bsHorizontal"),
        QStringLiteral("bsVertical"), QStringLiteral("bsFDiagonal"), QStringLiteral("bsBDiagonal"),
        QStringLiteral("bsCross"), QStringLiteral("bsDiagCross")}};
    return type;
}

const EnumType& StretchModeIdentifiers()
{
    static const EnumType type{
        {QStringLiteral("smDontStretch"), QStringLiteral("smActualHeight"), QStringLiteral("smMaxHeight")}};
    return type;
}

void TfrxReportComponent::BeforePrint()
{
    m_savedBounds = QRectF(Left(), Top(), Width(), Height());
}

void TfrxReportComponent::AfterPrint()
{
    SetBounds(m_savedBounds.left(), m_savedBounds.top(), m_savedBounds.width(), m_savedBounds.height());
}

QRectF TfrxReportComponent::GetRealBounds() const
{
    return QRectF(AbsLeft(), AbsTop(), Width(), Height());
}

void AlignObjects(const std::vector<TfrxComponent*>& objects, double width, double height)
{
    double left = 0;
    double right = width;
    double bottom = height;
    std::vector<TfrxView*> filling;
    for (TfrxComponent* object : objects) {
        auto* view = dynamic_cast<TfrxView*>(object);
        if (!view)
            continue;
        switch (view->Align()) {
        case TfrxAlign::baNone: break;
        case TfrxAlign::baLeft:
            view->SetLeft(left);
            left += view->Width();
            break;
        case TfrxAlign::baRight:
            right -= view->Width();
            view->SetLeft(right);
            break;
        case TfrxAlign::baCenter: view->SetLeft((width - view->Width()) / 2); break;
        case TfrxAlign::baBottom:
            bottom -= view->Height();
            view->SetTop(bottom);
            break;
        case TfrxAlign::baWidth:
        case TfrxAlign::baClient: filling.push_back(view); break;
        }
    }
    for (TfrxView* view : filling) {
        view->SetLeft(left);
        view->SetWidth(right - left);
        if (view->Align() == TfrxAlign::baClient) {
            view->SetTop(0);
            view->SetHeight(bottom);
        }
    }
}

const PropertyTable& TfrxView::CommonProperties()
{
    using namespace props;
    using C = TfrxComponent;
    using R = TfrxReportComponent;
    using V = TfrxView;
    static const EnumType align{{QStringLiteral("baNone"), QStringLiteral("baLeft"), QStringLiteral("baRight"),
        QStringLiteral("baCenter"), QStringLiteral("baWidth"), QStringLiteral("baBottom"), QStringLiteral("baClient")}};
    static const EnumType shiftMode{
        {QStringLiteral("smDontShift"), QStringLiteral("smAlways"), QStringLiteral("smWhenOverlapped")}};
    static const PropertyTable table{
        property<C>(QStringLiteral("Tag"), PropType::Integer, &C::Tag, &C::SetTag, qint64(0)),
        property<C>(QStringLiteral("Description"), PropType::String, &C::Description, &C::SetDescription, QString()),
        property<V>(QStringLiteral("Align"), PropType::Enum, &V::Align, &V::SetAlign, qint64(0), &align),
        property<V>(QStringLiteral("Printable"), PropType::Boolean, &V::Printable, &V::SetPrintable, true),
        property<V>(QStringLiteral("ShiftMode"), PropType::Enum, &V::ShiftMode, &V::SetShiftMode,
            qint64(TfrxShiftMode::smAlways), &shiftMode),
        property<C>(QStringLiteral("Left"), PropType::Float, &C::Left, &C::SetLeft, 0.0),
        property<C>(QStringLiteral("Top"), PropType::Float, &C::Top, &C::SetTop, 0.0),
        property<C>(QStringLiteral("Width"), PropType::Float, &C::Width, &C::SetWidth, 0.0),
        property<C>(QStringLiteral("Height"), PropType::Float, &C::Height, &C::SetHeight, 0.0),
        property<V>(QStringLiteral("GroupIndex"), PropType::Integer, &V::GroupIndex, &V::SetGroupIndex, qint64(0)),
        property<R>(QStringLiteral("Restrictions"), PropType::Set, &R::Restrictions, &R::SetRestrictions, qint64(0),
            &RestrictionIdentifiers()),
        property<C>(QStringLiteral("Visible"), PropType::Boolean, &C::Visible, &C::SetVisible, true),
        property<V>(QStringLiteral("OnAfterData"), PropType::String, &V::OnAfterData, &V::SetOnAfterData, QString()),
        property<R>(QStringLiteral("OnAfterPrint"), PropType::String, &R::OnAfterPrint, &R::SetOnAfterPrint,
            QString()),
        property<R>(QStringLiteral("OnBeforePrint"), PropType::String, &R::OnBeforePrint, &R::SetOnBeforePrint,
            QString()),
        property<V>(QStringLiteral("OnPreviewClick"), PropType::String, &V::OnPreviewClick, &V::SetOnPreviewClick,
            QString()),
        property<V>(QStringLiteral("OnPreviewDblClick"), PropType::String, &V::OnPreviewDblClick,
            &V::SetOnPreviewDblClick, QString()),
        property<V>(QStringLiteral("Hint"), PropType::String, &V::Hint, &V::SetHint, QString()),
        // Declared without a default, so templates always carry it.
        property<V>(QStringLiteral("ShowHint"), PropType::Boolean, &V::ShowHint, &V::SetShowHint),
    };
    return table;
}

} // namespace quittung
