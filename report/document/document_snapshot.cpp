#include "report/document/document_snapshot.h"

#include "report/document/report.h"
#include "report/document/text_object.h"

namespace quittung::report {

namespace {

std::vector<std::pair<QString, Variant>> variableList(const Variables& variables)
{
    std::vector<std::pair<QString, Variant>> list;
    list.reserve(std::size_t(variables.count()));
    for (int i = 0; i < variables.count(); ++i)
        list.emplace_back(variables.item(i).name(), variables.item(i).value());
    return list;
}

} // namespace

DocumentSnapshot::DocumentSnapshot(Report& report)
    : m_report(report)
{
    m_values.reserve(4096);
    take(report);
    for (ReportObject* object : report.allObjects()) {
        take(*object);
        if (auto* memo = dynamic_cast<TextObjectBase*>(object))
            m_texts.emplace_back(memo, memo->lines());
    }
    for (int i = 0; i < report.styles().count(); ++i)
        take(report.styles().item(i));
    m_variables = variableList(report.variables());
}

void DocumentSnapshot::take(PropertyObject& object)
{
    for (const PropertyInfo& property : object.properties()) {
        if (property.type == PropType::Nested)
            take(*property.nested(object));
        else if (property.get && property.set)
            m_values.push_back({&object, &property, property.get(object)});
    }
}

void DocumentSnapshot::restore()
{
    for (const Value& saved : m_values) {
        if (saved.property->get(*saved.object) != saved.value)
            saved.property->set(*saved.object, saved.value);
    }
    for (const auto& [memo, lines] : m_texts) {
        if (memo->lines() != lines)
            memo->setLines(lines);
    }
    if (variableList(m_report.variables()) != m_variables) {
        Variables& variables = m_report.variables();
        variables.clear();
        for (const auto& [name, value] : m_variables) {
            Variable& variable = variables.add();
            variable.setName(name);
            variable.setValue(value);
        }
    }
}

} // namespace quittung::report
