#include "report/document/styles.h"

#include "runtime/exception.h"
#include "runtime/messages.h"

namespace quittung::report {

const PropertyTable& Style::properties() const
{
    using namespace props;
    using C = Style;
    // Color has no declared default: a style always says which fill it gives.
    static const PropertyTable table{
        property<C>(QStringLiteral("Name"), PropType::String, &C::name, &C::setName),
        property<C>(QStringLiteral("Color"), PropType::ColorValue, &C::color, &C::setColor),
        nested<C, Font>(QStringLiteral("Font"), &C::font),
        nested<C, Frame>(QStringLiteral("Frame"), &C::frame),
    };
    return table;
}

Style& Styles::item(int index)
{
    checkListIndex(index, count());
    return *m_items[static_cast<std::size_t>(index)];
}

const Style& Styles::item(int index) const
{
    checkListIndex(index, count());
    return *m_items[static_cast<std::size_t>(index)];
}

Style& Styles::add()
{
    m_items.push_back(std::make_unique<Style>());
    return *m_items.back();
}

void Styles::remove(int index)
{
    checkListIndex(index, count());
    m_items.erase(m_items.begin() + index);
}

Style* Styles::find(const QString& name) const
{
    for (const auto& item : m_items) {
        if (item->name().compare(name, Qt::CaseInsensitive) == 0)
            return item.get();
    }
    return nullptr;
}

} // namespace quittung::report
