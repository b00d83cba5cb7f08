#pragma once

#include <QString>
#include <QStringList>

namespace quittung::report {

// A list of texts kept in order without regard to case, holding each text once (texts differing
// only in case count as the same). The report and the template reader collect their error
// messages in it.
class SortedStringList {
public:
    // Adds the text at its place unless it is there already.
    void add(const QString& text);
    void addStrings(const QStringList& texts);
    void clear() { m_items.clear(); }

    int count() const { return static_cast<int>(m_items.size()); }
    bool isEmpty() const { return m_items.isEmpty(); }
    const QString& operator[](int index) const { return m_items[index]; }
    const QStringList& strings() const { return m_items; }
    bool contains(const QString& text) const;

private:
    QStringList m_items;
};

} // namespace quittung::report
