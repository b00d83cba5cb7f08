#include "report/document/variables.h"

#include "report/document/xml_document.h"
#include "report/document/template_serializer.h"
#include "runtime/exception.h"
#include "runtime/messages.h"
#include "runtime/safe_file.h"

#include <QFile>

namespace quittung::report {

const PropertyTable& Variable::properties() const
{
    using namespace props;
    using C = Variable;
    static const PropertyTable table{
        property<C>(QStringLiteral("Name"), PropType::String, &C::name, &C::setName),
        property<C>(QStringLiteral("Value"), PropType::Variant, &C::value, &C::setValue),
    };
    return table;
}

Variable& Variables::item(int index)
{
    checkListIndex(index, count());
    return *m_items[static_cast<std::size_t>(index)];
}

const Variable& Variables::item(int index) const
{
    checkListIndex(index, count());
    return *m_items[static_cast<std::size_t>(index)];
}

Variable& Variables::add()
{
    m_items.push_back(std::make_unique<Variable>());
    return *m_items.back();
}

Variable& Variables::insert(int index)
{
    checkListIndex(index, count() + 1);
    const auto it = m_items.insert(m_items.begin() + index, std::make_unique<Variable>());
    return **it;
}

void Variables::remove(int index)
{
    checkListIndex(index, count());
    m_items.erase(m_items.begin() + index);
}

int Variables::indexOf(const QString& name) const
{
    for (int i = 0; i < count(); ++i) {
        if (m_items[static_cast<std::size_t>(i)]->name().compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

Variant Variables::getValue(const QString& name) const
{
    const int index = indexOf(name);
    return index < 0 ? Variant::null() : item(index).value();
}

void Variables::setValue(const QString& name, const Variant& value)
{
    const int index = indexOf(name);
    Variable& entry = index < 0 ? add() : item(index);
    if (index < 0)
        entry.setName(name);
    entry.setValue(value);
}

int Variables::indexOfCategory(const QString& category) const
{
    return indexOf(QLatin1Char(' ') + category);
}

int Variables::endOfCategory(int header) const
{
    int i = header + 1;
    while (i < count() && !item(i).isCategory())
        ++i;
    return i;
}

void Variables::addVariable(const QString& category, const QString& name, const Variant& value)
{
    const int header = indexOfCategory(category);
    if (header < 0)
        return;
    const int existing = indexOf(name);
    if (existing >= 0) {
        item(existing).setValue(value);
        return;
    }
    Variable& item = insert(endOfCategory(header));
    item.setName(name);
    item.setValue(value);
}

void Variables::deleteCategory(const QString& name)
{
    const int header = indexOfCategory(name);
    if (header < 0)
        return;
    m_items.erase(m_items.begin() + header, m_items.begin() + endOfCategory(header));
}

void Variables::deleteVariable(const QString& name)
{
    const int index = indexOf(name);
    if (index >= 0)
        remove(index);
}

void Variables::getCategoriesList(QStringList& list, bool clear) const
{
    if (clear)
        list.clear();
    for (const auto& item : m_items) {
        if (item->isCategory())
            list.append(item->name().mid(1, 255));
    }
}

void Variables::getVariablesList(const QString& category, QStringList& list) const
{
    list.clear();
    // Entries before the first header have the empty category.
    const int header = category.isEmpty() ? -1 : indexOfCategory(category);
    if (!category.isEmpty() && header < 0)
        return;
    const int end = endOfCategory(header);
    for (int i = header + 1; i < end; ++i)
        list.append(item(i).name());
}

void Variables::saveToStream(QIODevice& stream) const
{
    XmlDocument document;
    document.setAutoIndent(true);
    document.root().setName(QStringLiteral("variables"));
    TemplateSerializer serializer;
    for (const auto& item : m_items) {
        XmlElement& element = document.root().add();
        element.setName(QStringLiteral("item"));
        element.setText(serializer.objectToXml(*item));
    }
    document.saveToStream(stream);
}

void Variables::saveToFile(const QString& fileName) const
{
    writeFileSafely(fileName, [this](QIODevice& file) { saveToStream(file); });
}

void Variables::loadFromStream(QIODevice& stream)
{
    clear();
    XmlDocument document;
    document.loadFromStream(stream);
    if (document.root().name().compare(QLatin1String("variables"), Qt::CaseInsensitive) != 0)
        return;
    TemplateSerializer serializer;
    serializer.setOldFormat(document.isOldFormat());
    for (int i = 0; i < document.root().count(); ++i) {
        const XmlElement& element = document.root().item(i);
        if (element.name().compare(QLatin1String("item"), Qt::CaseInsensitive) == 0)
            serializer.xmlToObject(element.text(), add());
    }
}

void Variables::loadFromFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(formatMessage(msg::SFOpenErrorEx, {fileName, file.errorString()}));
    loadFromStream(file);
}

} // namespace quittung::report
