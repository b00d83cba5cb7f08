#include "report/engine/global_variables.h"

namespace quittung::report {

Variables& globalVariables()
{
    static Variables variables;
    return variables;
}

} // namespace quittung::report
