#include "report/document/variant.h"

namespace quittung {

Variant Variant::null()
{
    Variant value;
    value.m_value = NullTag{};
    return value;
}

} // namespace quittung
