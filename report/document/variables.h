#pragma once

#include "report/document/persistent.h"
#include "report/document/variant.h"

#include <QStringList>

class QIODevice;

#include <memory>
#include <vector>

namespace quittung {

// One entry of the report's variable list. An entry whose name begins with a blank is the header
// of a category; the entries after it up to the next header belong to that category.
class TfrxVariable : public TfrxPersistent {
public:
    TfrxVariable() = default;
    TfrxVariable(const QString& name, const Variant& value) : m_name(name), m_value(value) {}

    QString ClassName() const override { return QStringLiteral("TfrxVariable"); }
    const PropertyTable& Properties() const override;

    const QString& Name() const { return m_name; }
    void SetName(const QString& value) { m_name = value; }
    const Variant& Value() const { return m_value; }
    void SetValue(const Variant& value) { m_value = value; }

    bool IsCategory() const { return m_name.startsWith(QLatin1Char(' ')); }

private:
    QString m_name;
    Variant m_value;
};

// The report's variables: an ordered list of entries, grouped by category headers. Names are
// compared without regard to case; a header keeps its blank, so "Netto" never finds " Netto".
class TfrxVariables {
public:
    int Count() const { return static_cast<int>(m_items.size()); }
    // Throws the list-index error for an index outside the list.
    TfrxVariable& Items(int index);
    const TfrxVariable& Items(int index) const;
    // A new entry at the end or before the given position.
    TfrxVariable& Add();
    TfrxVariable& Insert(int index);
    void Delete(int index);
    void Clear() { m_items.clear(); }

    // The position of the first entry with that name; -1 if none.
    int IndexOf(const QString& name) const;

    // The value of the entry with that name; Null when there is none.
    Variant GetValue(const QString& name) const;
    // Replaces the value of the entry with that name, or appends a new entry.
    void SetValue(const QString& name, const Variant& value);

    // Puts a variable into a category (which must exist): an existing entry of that name only gets
    // the new value, a new one goes at the end of the category.
    void AddVariable(const QString& category, const QString& name, const Variant& value);
    // Removes the header and the entries of the category.
    void DeleteCategory(const QString& name);
    void DeleteVariable(const QString& name);

    // The list as an XML document of its own: root "variables", one "item" per entry. Loading
    // empties the list first; a document with another root leaves it empty.
    void SaveToStream(QIODevice& stream) const;
    void SaveToFile(const QString& fileName) const;
    void LoadFromStream(QIODevice& stream);
    void LoadFromFile(const QString& fileName);

    // The category names (without the blank), in order.
    void GetCategoriesList(QStringList& list, bool clear = true) const;
    // The names of the category's entries; for "" the entries before the first header.
    void GetVariablesList(const QString& category, QStringList& list) const;

private:
    int indexOfCategory(const QString& category) const;
    // The position of the first header after the given one, or Count().
    int endOfCategory(int header) const;

    std::vector<std::unique_ptr<TfrxVariable>> m_items;
};

} // namespace quittung
