#pragma once

#include "report/document/property_object.h"
#include "report/document/variant.h"

#include <QStringList>

class QIODevice;

#include <memory>
#include <vector>

namespace quittung::report {

// One entry of the report's variable list. An entry whose name begins with a blank is the header
// of a category; the entries after it up to the next header belong to that category.
class Variable : public PropertyObject {
public:
    Variable() = default;
    Variable(const QString& name, const Variant& value) : m_name(name), m_value(value) {}

    QString className() const override { return QStringLiteral("TfrxVariable"); }
    const PropertyTable& properties() const override;

    const QString& name() const { return m_name; }
    void setName(const QString& value) { m_name = value; }
    const Variant& value() const { return m_value; }
    void setValue(const Variant& value) { m_value = value; }

    bool isCategory() const { return m_name.startsWith(QLatin1Char(' ')); }

private:
    QString m_name;
    Variant m_value;
};

// The report's variables: an ordered list of entries, grouped by category headers. Names are
// compared without regard to case; a header keeps its blank, so "Netto" never finds " Netto".
class Variables {
public:
    int count() const { return static_cast<int>(m_items.size()); }
    // Throws the list-index error for an index outside the list.
    Variable& item(int index);
    const Variable& item(int index) const;
    // A new entry at the end or before the given position.
    Variable& add();
    Variable& insert(int index);
    void remove(int index);
    void clear() { m_items.clear(); }

    // The position of the first entry with that name; -1 if none.
    int indexOf(const QString& name) const;

    // The value of the entry with that name; Null when there is none.
    Variant getValue(const QString& name) const;
    // Replaces the value of the entry with that name, or appends a new entry.
    void setValue(const QString& name, const Variant& value);

    // Puts a variable into a category (which must exist): an existing entry of that name only gets
    // the new value, a new one goes at the end of the category.
    void addVariable(const QString& category, const QString& name, const Variant& value);
    // Removes the header and the entries of the category.
    void deleteCategory(const QString& name);
    void deleteVariable(const QString& name);

    // The list as an XML document of its own: root "variables", one "item" per entry. Loading
    // empties the list first; a document with another root leaves it empty.
    void saveToStream(QIODevice& stream) const;
    void saveToFile(const QString& fileName) const;
    void loadFromStream(QIODevice& stream);
    void loadFromFile(const QString& fileName);

    // The category names (without the blank), in order.
    void getCategoriesList(QStringList& list, bool clear = true) const;
    // The names of the category's entries; for "" the entries before the first header.
    void getVariablesList(const QString& category, QStringList& list) const;

private:
    int indexOfCategory(const QString& category) const;
    // The position of the first header after the given one, or count().
    int endOfCategory(int header) const;

    std::vector<std::unique_ptr<Variable>> m_items;
};

} // namespace quittung::report
