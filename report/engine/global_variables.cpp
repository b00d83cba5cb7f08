#include "report/engine/global_variables.h"

namespace quittung {

TfrxVariables& frxGlobalVariables()
{
    static TfrxVariables variables;
    return variables;
}

} // namespace quittung
