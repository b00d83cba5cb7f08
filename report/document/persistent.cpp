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

PropertyTable::PropertyTable(std::initializer_list<PropertyInfo> properties)
{
    for (const PropertyInfo& property : properties)
        add(property);
}

PropertyTable& PropertyTable::add(PropertyInfo property)
{
    // The first of two equal names wins, as the linear search would have it.
    if (!m_byName.contains(property.name))
        m_byName.insert(property.name, static_cast<int>(m_properties.size()));
    m_properties.push_back(std::move(property));
    return *this;
}

PropertyTable& PropertyTable::add(const PropertyTable& other)
{
    for (const PropertyInfo& property : other.m_properties)
        add(property);
    return *this;
}

const PropertyInfo* PropertyTable::find(const QString& name) const
{
    const auto exact = m_byName.constFind(name);
    if (exact != m_byName.constEnd())
        return &m_properties[static_cast<std::size_t>(*exact)];
    for (const PropertyInfo& property : m_properties) {
        if (property.name.compare(name, Qt::CaseInsensitive) == 0)
            return &property;
    }
    return nullptr;
}

void TfrxPersistent::AssignProperties(const TfrxPersistent& source)
{
    const PropertyTable& table = Properties();
    // Objects of one class share their table: no lookup by name is needed.
    if (&table == &source.Properties()) {
        for (const PropertyInfo& property : table) {
            if (property.type == PropType::Nested)
                property.nested(*this)->AssignProperties(*property.nested(const_cast<TfrxPersistent&>(source)));
            else if (property.set && property.get)
                property.set(*this, property.get(source));
        }
        return;
    }
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
