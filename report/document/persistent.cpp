#include "report/document/persistent.h"

namespace quittung {

std::optional<int> EnumType::ordinalOf(const QString& identifier) const
{
    for (std::size_t i = 0; i < identifiers.size(); ++i) {
        if (identifiers[i].compare(identifier, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return std::nullopt;
}

PropertyTable& PropertyTable::add(PropertyInfo property)
{
    m_properties.push_back(std::move(property));
    return *this;
}

PropertyTable& PropertyTable::add(const PropertyTable& other)
{
    m_properties.insert(m_properties.end(), other.m_properties.begin(), other.m_properties.end());
    return *this;
}

const PropertyInfo* PropertyTable::find(const QString& name) const
{
    for (const PropertyInfo& property : m_properties) {
        if (property.name.compare(name, Qt::CaseInsensitive) == 0)
            return &property;
    }
    return nullptr;
}

void TfrxPersistent::AssignProperties(const TfrxPersistent& source)
{
    for (const PropertyInfo& property : source.Properties()) {
        if (property.type == PropType::Nested) {
            TfrxPersistent* from = property.nested(const_cast<TfrxPersistent&>(source));
            const PropertyInfo* mine = Properties().find(property.name);
            if (mine && mine->type == PropType::Nested)
                mine->nested(*this)->AssignProperties(*from);
            continue;
        }
        const PropertyInfo* mine = Properties().find(property.name);
        if (mine && mine->set && property.get)
            mine->set(*this, property.get(source));
    }
}

} // namespace quittung
