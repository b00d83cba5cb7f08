#include "report/document/sorted_string_list.h"

#include <algorithm>

namespace quittung::report {

namespace {

bool lessIgnoringCase(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

} // namespace

void SortedStringList::add(const QString& text)
{
    const auto at = std::lower_bound(m_items.begin(), m_items.end(), text, lessIgnoringCase);
    if (at != m_items.end() && at->compare(text, Qt::CaseInsensitive) == 0)
        return;
    m_items.insert(at, text);
}

void SortedStringList::addStrings(const QStringList& texts)
{
    for (const QString& text : texts)
        add(text);
}

bool SortedStringList::contains(const QString& text) const
{
    return std::binary_search(m_items.begin(), m_items.end(), text, lessIgnoringCase);
}

} // namespace quittung::report
