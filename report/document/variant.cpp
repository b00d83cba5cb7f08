#include "report/document/variant.h"

namespace quittung::report {

Variant Variant::null()
{
    Variant value;
    value.m_value = NullTag{};
    return value;
}

} // namespace quittung::report
