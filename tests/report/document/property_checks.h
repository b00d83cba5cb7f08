#pragma once

// Helpers that look at objects only through their property tables, the way templates do.

#include "report/document/persistent.h"

#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

namespace quittung::checks {

inline QString TypeName(PropType type)
{
    switch (type) {
    case PropType::Integer: return QStringLiteral("Integer");
    case PropType::Char: return QStringLiteral("Char");
    case PropType::Color: return QStringLiteral("Color");
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

inline QString ValueText(const PropertyInfo& info, const PropValue& value)
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

// "Name Type = default", "(always)" for properties declared without a default, and "if" for
// properties with a storing condition of their own.
inline QString Describe(const PropertyInfo& info)
{
    QString text = info.name + QLatin1Char(' ') + TypeName(info.type);
    if (info.type != PropType::Nested) {
        text += QStringLiteral(" = ");
        text += info.defaultValue ? ValueText(info, *info.defaultValue) : QStringLiteral("(always)");
    }
    if (info.stored)
        text += QStringLiteral(" if");
    return text;
}

inline QStringList DescribeTable(const PropertyTable& table)
{
    QStringList rows;
    for (const PropertyInfo& info : table)
        rows.append(Describe(info));
    return rows;
}

inline QStringList Identifiers(const PropertyTable& table, const QString& name)
{
    const PropertyInfo* info = table.find(name);
    if (!info || !info->enumType)
        return {};
    QStringList identifiers;
    for (const QString& identifier : info->enumType->identifiers)
        identifiers.append(identifier);
    return identifiers;
}

inline bool IsStored(const TfrxPersistent& object, const QString& name)
{
    const PropertyInfo* info = object.Properties().find(name);
    return info && info->isStored(object);
}

// A new object holds every default its table declares, in nested objects too.
inline void ExpectHoldsDeclaredDefaults(TfrxPersistent& object)
{
    for (const PropertyInfo& info : object.Properties()) {
        SCOPED_TRACE((object.ClassName() + QLatin1Char('.') + info.name).toStdString());
        if (info.type == PropType::Nested) {
            ExpectHoldsDeclaredDefaults(*info.nested(object));
            continue;
        }
        if (!info.defaultValue || !info.get)
            continue;
        EXPECT_EQ(ValueText(info, info.get(object)), ValueText(info, *info.defaultValue));
    }
}

// A value of the property's type that differs from its default and, as far as the type allows,
// from the values given to the other properties.
inline PropValue DistinctValue(const PropertyInfo& info, const PropValue& current, int serial)
{
    switch (info.type) {
    case PropType::Boolean: return !std::get<bool>(current);
    case PropType::Integer:
    case PropType::Color:
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
inline void ExpectSettersReachTheirGetters(TfrxPersistent& object)
{
    struct Given {
        const PropertyInfo* info;
        TfrxPersistent* owner;
        PropValue value;
    };
    std::vector<Given> given;
    int serial = 0;
    const std::function<void(TfrxPersistent&)> giveAll = [&](TfrxPersistent& owner) {
        for (const PropertyInfo& info : owner.Properties()) {
            if (info.type == PropType::Nested) {
                giveAll(*info.nested(owner));
                continue;
            }
            if (!info.get || !info.set)
                continue;
            PropValue value = DistinctValue(info, info.get(owner), ++serial);
            info.set(owner, value);
            given.push_back({&info, &owner, value});
        }
    };
    giveAll(object);
    for (const Given& g : given) {
        SCOPED_TRACE((g.owner->ClassName() + QLatin1Char('.') + g.info->name).toStdString());
        EXPECT_EQ(ValueText(*g.info, g.info->get(*g.owner)), ValueText(*g.info, g.value));
    }
}

} // namespace quittung::checks
