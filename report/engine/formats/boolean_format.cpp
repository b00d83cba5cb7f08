// Boolean formats: "yes,no".

#include "report/engine/formats/boolean_format.h"

#include "report/engine/formats/format_data.h"

namespace quittung::report {

namespace {

bool equalsTrue(const Variant& value, const FormatSettings& regional)
{
    switch (value.type()) {
    case Variant::Type::Boolean:
        return value.booleanValue();
    case Variant::Type::String:
        if (value.stringValue().trimmed().compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return true;
        [[fallthrough]];
    case Variant::Type::Integer:
    case Variant::Type::Float:
    case Variant::Type::Currency: {
        const auto number = variantToNumber(value, regional);
        return number && *number != 0;
    }
    default:
        return false;
    }
}

} // namespace

// "yes,no" split at the first comma; without a comma true shows nothing and false the whole text.
QString formatBoolean(const Variant& value, const QString& pattern, const FormatSettings& regional)
{
    const qsizetype comma = pattern.indexOf(QLatin1Char(','));
    if (equalsTrue(value, regional))
        return comma < 0 ? QString() : pattern.left(comma);
    return pattern.mid(comma + 1);
}

} // namespace quittung::report
