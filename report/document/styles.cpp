#include "report/document/styles.h"

#include "runtime/exception.h"
#include "runtime/messages.h"

namespace quittung {

const PropertyTable& TfrxStyleItem::Properties() const
{
    using namespace props;
    using C = TfrxStyleItem;
    // Color has no declared default: a style always says which fill it gives.
    static const PropertyTable table{
        property<C>(QStringLiteral("Name"), PropType::String, &C::Name, &C::SetName),
        property<C>(QStringLiteral("Color"), PropType::Color, &C::Color, &C::SetColor),
        nested<C, TfrxFont>(QStringLiteral("Font"), &C::Font),
        nested<C, TfrxFrame>(QStringLiteral("Frame"), &C::Frame),
    };
    return table;
}

TfrxStyleItem& TfrxStyles::Items(int index)
{
    CheckListIndex(index, Count());
    return *m_items[static_cast<std::size_t>(index)];
}

const TfrxStyleItem& TfrxStyles::Items(int index) const
{
    CheckListIndex(index, Count());
    return *m_items[static_cast<std::size_t>(index)];
}

TfrxStyleItem& TfrxStyles::Add()
{
    m_items.push_back(std::make_unique<TfrxStyleItem>());
    return *m_items.back();
}

void TfrxStyles::Delete(int index)
{
    CheckListIndex(index, Count());
    m_items.erase(m_items.begin() + index);
}

TfrxStyleItem* TfrxStyles::Find(const QString& name) const
{
    for (const auto& item : m_items) {
        if (item->Name().compare(name, Qt::CaseInsensitive) == 0)
            return item.get();
    }
    return nullptr;
}

} // namespace quittung
