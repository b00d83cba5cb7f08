#pragma once

#include "report/document/component.h"

#include <QString>

#include <memory>

namespace quittung {

// The classes a template may name, compared without regard to case: the report, the page kinds,
// the bands and the printable objects, and the settings classes TfrxFrame, TfrxHighlight and
// TfrxStyleItem.
bool IsKnownClass(const QString& className);

// A new object of the class. Settings classes are no objects of the tree, so they give nullptr,
// as do unknown names.
std::unique_ptr<TfrxComponent> CreateComponent(const QString& className);

} // namespace quittung
