#include "report/engine/pages/global_variables.h"

namespace quittung::report {

Variables& globalVariables()
{
    static Variables variables;
    return variables;
}

} // namespace quittung::report
