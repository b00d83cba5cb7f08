#include "report/document/property_object.h"

namespace quittung::report {

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

void PropertyObject::assignProperties(const PropertyObject& source)
{
    const PropertyTable& table = properties();
    // Objects of one class share their table: no lookup by name is needed.
    if (&table == &source.properties()) {
        for (const PropertyInfo& property : table) {
            if (property.type == PropType::Nested)
                property.nested(*this)->assignProperties(*property.nestedIn(source));
            else if (property.set && property.get)
                property.set(*this, property.get(source));
        }
        return;
    }
    for (const PropertyInfo& property : source.properties()) {
        if (property.type == PropType::Nested) {
            const PropertyObject* from = property.nestedIn(source);
            const PropertyInfo* mine = properties().find(property.name);
            if (mine && mine->type == PropType::Nested)
                mine->nested(*this)->assignProperties(*from);
            continue;
        }
        const PropertyInfo* mine = properties().find(property.name);
        if (mine && mine->set && property.get)
            mine->set(*this, property.get(source));
    }
}

QString propTypeName(PropType type)
{
    switch (type) {
    case PropType::Integer: return QStringLiteral("Integer");
    case PropType::Char: return QStringLiteral("Char");
    case PropType::ColorValue: return QStringLiteral("Color");
    case PropType::Boolean: return QStringLiteral("Boolean");
    case PropType::Enum: return QStringLiteral("Enum");
    case PropType::Set: return QStringLiteral("Set");
    case PropType::Float: return QStringLiteral("Float");
    case PropType::String: return QStringLiteral("String");
    case PropType::Variant: return QStringLiteral("Variant");
    case PropType::Reference: return QStringLiteral("Reference");
    case PropType::StringList: return QStringLiteral("StringList");
    case PropType::Nested: return QStringLiteral("Nested");
    case PropType::Picture: return QStringLiteral("Picture");
    }
    return QStringLiteral("?");
}

QString propertyValueText(const PropertyInfo& info, const PropValue& value)
{
    if (const auto* number = std::get_if<qint64>(&value)) {
        if (info.type == PropType::Enum && info.enumType && *number >= 0
            && *number < qint64(info.enumType->identifiers.size()))
            return info.enumType->identifiers[std::size_t(*number)];
        return QString::number(*number);
    }
    if (const auto* real = std::get_if<double>(&value))
        return QString::number(*real);
    if (const auto* flag = std::get_if<bool>(&value))
        return *flag ? QStringLiteral("True") : QStringLiteral("False");
    if (const auto* text = std::get_if<QString>(&value))
        return QLatin1Char('\'') + *text + QLatin1Char('\'');
    if (const auto* lines = std::get_if<QStringList>(&value))
        return QLatin1Char('[') + lines->join(QLatin1Char(',')) + QLatin1Char(']');
    return QStringLiteral("none");
}

} // namespace quittung::report
