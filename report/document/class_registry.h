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

// A new object of the source's class with its properties and name, without parent and children;
// nullptr for what createObject does not make.
std::unique_ptr<ReportObject> copyObject(const ReportObject& source);

// The same, standing where the source stands: its left and top are the source's absolute position.
template <class T>
std::unique_ptr<T> standaloneCopy(const T& source)
{
    std::unique_ptr<ReportObject> copy = copyObject(source);
    auto* result = dynamic_cast<T*>(copy.get());
    if (!result)
        return nullptr;
    copy.release();
    result->setLeft(source.absLeft());
    result->setTop(source.absTop());
    return std::unique_ptr<T>(result);
}

} // namespace quittung::report
