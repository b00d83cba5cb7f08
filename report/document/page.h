#pragma once

#include "report/document/component.h"

namespace quittung {

// A page of the report: the data page or a report page. Pages do not count for AbsLeft/AbsTop.
class TfrxPage : public TfrxComponent {
public:
    bool IsPositioned() const override { return false; }
};

} // namespace quittung
