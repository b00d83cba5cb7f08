#pragma once

#include "report/document/component.h"

namespace quittung {

// The root of a report document.
class TfrxReport : public TfrxComponent {
public:
    QString ClassName() const override { return QStringLiteral("TfrxReport"); }
    const PropertyTable& Properties() const override;
    bool IsPositioned() const override { return false; }
};

} // namespace quittung
