#pragma once

#include "report/document/property_object.h"

#include <QStringList>

#include <utility>
#include <vector>

namespace quittung::report {

class Report;
class TextObjectBase;

// The values of a report document, taken through the property tables, so the document can be put
// back as it was after something changed it: a preparation fills the text objects, aligns objects
// and sets variables, and host events may change anything. Putting back sets only what changed, so
// setters with side effects run only where a value really differs. The objects stay the same, so
// pointers to them remain valid; objects must not be added to or removed from the tree meanwhile.
class DocumentSnapshot {
public:
    explicit DocumentSnapshot(Report& report);
    void restore();

private:
    struct Value {
        PropertyObject* object;
        const PropertyInfo* property;
        PropValue value;
    };
    void take(PropertyObject& object);

    Report& m_report;
    std::vector<Value> m_values;
    std::vector<std::pair<TextObjectBase*, QStringList>> m_texts;
    std::vector<std::pair<QString, Variant>> m_variables;
};

} // namespace quittung::report
