#pragma once

#include "report/document/report_object.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace quittung::report {

// The classes a template may name, compared without regard to case: the report, the page kinds,
// the bands and the printable objects, and the settings classes Frame, Highlight and
// Style.
bool isKnownClass(const QString& className);

// The class names a template may hold, in the registry's order.
QStringList templateClassNames();

// A new object of the class. Settings classes are no objects of the tree, so they give nullptr,
// as do unknown names.
std::unique_ptr<ReportObject> createObject(const QString& className);

} // namespace quittung::report
