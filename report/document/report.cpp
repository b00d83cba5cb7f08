#include "report/document/report.h"

namespace quittung {

const PropertyTable& TfrxReport::Properties() const
{
    static const PropertyTable table;
    return table;
}

} // namespace quittung
