#pragma once

#include "report/document/variant.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <type_traits>
#include <variant>
#include <vector>

namespace quittung::report {

class PropertyObject;

// How a property is written in a template.
enum class PropType {
    Integer,    // decimal
    Char,       // its code as an integer
    ColorValue, // decimal 0x00BBGGRR
    Boolean,    // "False" / "True"
    Enum,       // identifier; an ordinal reads too
    Set,        // sum of the members' bits
    Float,      // general decimal form
    String,     // escaped
    Variant,    // its string form, escaped
    Reference,  // the name of another object, resolved after the whole file
    StringList, // "Prop.text", lines joined by CR LF
    Nested,     // the nested object's own attributes with the prefix "Prop."
    Picture,    // a picture; templates of receipts carry none
};

// The identifiers of an enumeration in ordinal order; for a set, its members (bit = 1 << ordinal).
struct EnumType {
    std::vector<QString> identifiers;

    // The ordinal of an identifier, compared without regard to case.
    std::optional<int> ordinalOf(const QString& identifier) const;
};

// A property value as the property table passes it: Integer, Char, Color, Enum and Set as qint64,
// Float as double, Boolean as bool, String and Reference as QString (a reference by name).
using PropValue = std::variant<std::monostate, qint64, double, bool, QString, Variant, QStringList>;

struct PropertyInfo {
    QString name;
    PropType type = PropType::Integer;
    const EnumType* enumType = nullptr;
    // The declared default: a value equal to it is not written. None: always written.
    std::optional<PropValue> defaultValue;
    // A storing condition besides the default (GapX only when not 2, Font only without ParentFont).
    std::function<bool(const PropertyObject&)> stored;
    std::function<PropValue(const PropertyObject&)> get;
    // Empty for read-only properties. May throw an Exception with the user's message.
    std::function<void(PropertyObject&, const PropValue&)> set;
    // For Nested: the nested object.
    std::function<PropertyObject*(PropertyObject&)> nested;

    // The nested object for reading.
    const PropertyObject* nestedIn(const PropertyObject& object) const
    {
        return nested(const_cast<PropertyObject&>(object));
    }
    bool isStored(const PropertyObject& object) const { return !stored || stored(object); }
};

// The serializable properties of a class, in the order they are written.
class PropertyTable {
public:
    PropertyTable() = default;
    PropertyTable(std::initializer_list<PropertyInfo> properties);

    PropertyTable& add(PropertyInfo property);
    PropertyTable& add(const PropertyTable& other);

    // The property with that name, compared without regard to case.
    const PropertyInfo* find(const QString& name) const;
    const std::vector<PropertyInfo>& all() const { return m_properties; }
    auto begin() const { return m_properties.begin(); }
    auto end() const { return m_properties.end(); }

private:
    std::vector<PropertyInfo> m_properties;
    // Names as written in the tables; files use the same spelling, so most lookups hit here.
    QHash<QString, int> m_byName;
};

// Anything with a property table: objects of the report and their nested settings.
class PropertyObject {
public:
    PropertyObject() = default;
    PropertyObject(const PropertyObject&) = default;
    PropertyObject& operator=(const PropertyObject&) = default;
    virtual ~PropertyObject() = default;

    virtual QString className() const = 0;
    virtual const PropertyTable& properties() const = 0;

    // Sets every property of the table to its value in the other object (same class or base).
    void assignProperties(const PropertyObject& source);
};

// The name of a property type and a value as the template format's documentation and the tests
// show them: enumerations by identifier, texts in quotes, lists in brackets.
QString propTypeName(PropType type);
QString propertyValueText(const PropertyInfo& info, const PropValue& value);

namespace props {

// Flag sets (QFlags) are stored as the sum of their bits.
template <class T>
concept FlagSet = requires(T flags) {
    typename T::enum_type;
    flags.toInt();
};

// Conversions between the member types of the objects and PropValue.
template <class T>
PropValue toValue(const T& value)
{
    if constexpr (FlagSet<T>)
        return qint64(value.toInt());
    else if constexpr (std::is_enum_v<T>)
        return qint64(value);
    else if constexpr (std::is_same_v<T, bool>)
        return value;
    else if constexpr (std::is_integral_v<T>)
        return qint64(value);
    else if constexpr (std::is_floating_point_v<T>)
        return double(value);
    else
        return PropValue(value);
}

template <class T>
T fromValue(const PropValue& value)
{
    if constexpr (FlagSet<T>)
        return T::fromInt(static_cast<int>(std::get<qint64>(value)));
    else if constexpr (std::is_enum_v<T> || (std::is_integral_v<T> && !std::is_same_v<T, bool>))
        return static_cast<T>(std::get<qint64>(value));
    else
        return std::get<T>(value);
}

template <class M>
struct SetterArg;
template <class C, class A>
struct SetterArg<void (C::*)(A)> {
    using type = std::decay_t<A>;
};

// A property read and written through a getter and a setter of class C.
template <class C, class Getter, class Setter>
PropertyInfo property(const QString& name, PropType type, Getter getter, Setter setter,
    std::optional<PropValue> defaultValue = std::nullopt, const EnumType* enumType = nullptr)
{
    using Arg = typename SetterArg<Setter>::type;
    PropertyInfo info;
    info.name = name;
    info.type = type;
    info.enumType = enumType;
    info.defaultValue = std::move(defaultValue);
    info.get = [getter](const PropertyObject& o) { return toValue((static_cast<const C&>(o).*getter)()); };
    info.set = [setter](PropertyObject& o, const PropValue& v) { (static_cast<C&>(o).*setter)(fromValue<Arg>(v)); };
    return info;
}

// A nested settings object (font, frame, options) reached through an accessor of class C.
template <class C, class Nested>
PropertyInfo nested(const QString& name, Nested& (C::*accessor)())
{
    PropertyInfo info;
    info.name = name;
    info.type = PropType::Nested;
    info.nested = [accessor](PropertyObject& o) -> PropertyObject* { return &(static_cast<C&>(o).*accessor)(); };
    return info;
}

// Adds a storing condition to a property.
template <class C>
PropertyInfo storedWhen(PropertyInfo info, bool (*condition)(const C&))
{
    info.stored = [condition](const PropertyObject& o) { return condition(static_cast<const C&>(o)); };
    return info;
}

// A picture. Templates have no text form for pictures, so it has neither getter nor setter and
// reading, writing and assign pass it by; its default is "none".
inline PropertyInfo pictureProperty(const QString& name)
{
    PropertyInfo info;
    info.name = name;
    info.type = PropType::Picture;
    info.defaultValue = std::monostate{};
    return info;
}

} // namespace props

} // namespace quittung::report
