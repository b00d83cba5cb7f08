#pragma once

// Helpers that look at objects only through their property tables, the way templates do.

#include "report/document/property_object.h"

#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

namespace quittung::report::checks {

// "Name Type = default", "(always)" for properties declared without a default, and "if" for
// properties with a storing condition of their own.
inline QString describe(const PropertyInfo& info)
{
    QString text = info.name + QLatin1Char(' ') + propTypeName(info.type);
    if (info.type != PropType::Nested) {
        text += QStringLiteral(" = ");
        text += info.defaultValue ? propertyValueText(info, *info.defaultValue) : QStringLiteral("(always)");
    }
    if (info.stored)
        text += QStringLiteral(" if");
    return text;
}

inline QStringList describeTable(const PropertyTable& table)
{
    QStringList rows;
    for (const PropertyInfo& info : table)
        rows.append(describe(info));
    return rows;
}

inline QStringList identifiers(const PropertyTable& table, const QString& name)
{
    const PropertyInfo* info = table.find(name);
    if (!info || !info->enumType)
        return {};
    QStringList identifiers;
    for (const QString& identifier : info->enumType->identifiers)
        identifiers.append(identifier);
    return identifiers;
}

inline bool isStored(const PropertyObject& object, const QString& name)
{
    const PropertyInfo* info = object.properties().find(name);
    return info && info->isStored(object);
}

// A new object holds every default its table declares, in nested objects too.
inline void expectHoldsDeclaredDefaults(PropertyObject& object)
{
    for (const PropertyInfo& info : object.properties()) {
        SCOPED_TRACE((object.className() + QLatin1Char('.') + info.name).toStdString());
        if (info.type == PropType::Nested) {
            expectHoldsDeclaredDefaults(*info.nested(object));
            continue;
        }
        if (!info.defaultValue || !info.get)
            continue;
        EXPECT_EQ(propertyValueText(info, info.get(object)), propertyValueText(info, *info.defaultValue));
    }
}

// A value of the property's type that differs from its default and, as far as the type allows,
// from the values given to the other properties.
inline PropValue distinctValue(const PropertyInfo& info, const PropValue& current, int serial)
{
    switch (info.type) {
    case PropType::Boolean: return !std::get<bool>(current);
    case PropType::Integer:
    case PropType::ColorValue:
    case PropType::Char: return qint64(100 + serial);
    case PropType::Enum: {
        const auto size = qint64(info.enumType->identifiers.size());
        return (std::get<qint64>(current) + 1 + serial % (size - 1)) % size;
    }
    case PropType::Set: return qint64(1) << (info.enumType->identifiers.size() - 1);
    case PropType::Float: return 10.5 + serial;
    case PropType::String:
    case PropType::Reference: return QStringLiteral("v%1").arg(serial);
    case PropType::StringList: return QStringList{QStringLiteral("line %1").arg(serial)};
    default: return current;
    }
}

// Gives every property its own value first and reads them all back afterwards, so a setter that
// writes another property's field shows.
inline void expectSettersReachTheirGetters(PropertyObject& object)
{
    struct Given {
        const PropertyInfo* info;
        PropertyObject* owner;
        PropValue value;
    };
    std::vector<Given> given;
    int serial = 0;
    const std::function<void(PropertyObject&)> giveAll = [&](PropertyObject& owner) {
        for (const PropertyInfo& info : owner.properties()) {
            if (info.type == PropType::Nested) {
                giveAll(*info.nested(owner));
                continue;
            }
            if (!info.get || !info.set)
                continue;
            PropValue value = distinctValue(info, info.get(owner), ++serial);
            info.set(owner, value);
            given.push_back({&info, &owner, value});
        }
    };
    giveAll(object);
    for (const Given& g : given) {
        SCOPED_TRACE((g.owner->className() + QLatin1Char('.') + g.info->name).toStdString());
        EXPECT_EQ(propertyValueText(*g.info, g.info->get(*g.owner)), propertyValueText(*g.info, g.value));
    }
}

} // namespace quittung::report::checks
