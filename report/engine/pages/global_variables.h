#pragma once

#include "report/document/variables.h"

namespace quittung::report {

// The process-wide variables every report's expressions can read after its own variables. The
// program defines none; "CopyName0" and "CopyName" are looked up here for the copy macros.
Variables& globalVariables();

} // namespace quittung::report
