#include "report/document/variables.h"

#include "report/document/xml_document.h"
#include "report/document/xml_serializer.h"
#include "runtime/exception.h"
#include "runtime/messages.h"
#include "runtime/safe_file.h"

#include <QFile>

namespace quittung {

const PropertyTable& TfrxVariable::Properties() const
{
    using namespace props;
    using C = TfrxVariable;
    static const PropertyTable table{
        property<C>(QStringLiteral("Name"), PropType::String, &C::Name, &C::SetName),
        property<C>(QStringLiteral("Value"), PropType::Variant, &C::Value, &C::SetValue),
    };
    return table;
}

TfrxVariable& TfrxVariables::Items(int index)
{
    CheckListIndex(index, Count());
    return *m_items[static_cast<std::size_t>(index)];
}

const TfrxVariable& TfrxVariables::Items(int index) const
{
    CheckListIndex(index, Count());
    return *m_items[static_cast<std::size_t>(index)];
}

TfrxVariable& TfrxVariables::Add()
{
    m_items.push_back(std::make_unique<TfrxVariable>());
    return *m_items.back();
}

TfrxVariable& TfrxVariables::Insert(int index)
{
    CheckListIndex(index, Count() + 1);
    const auto it = m_items.insert(m_items.begin() + index, std::make_unique<TfrxVariable>());
    return **it;
}

void TfrxVariables::Delete(int index)
{
    CheckListIndex(index, Count());
    m_items.erase(m_items.begin() + index);
}

int TfrxVariables::IndexOf(const QString& name) const
{
    for (int i = 0; i < Count(); ++i) {
        if (m_items[static_cast<std::size_t>(i)]->Name().compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

Variant TfrxVariables::GetValue(const QString& name) const
{
    const int index = IndexOf(name);
    return index < 0 ? Variant::null() : Items(index).Value();
}

void TfrxVariables::SetValue(const QString& name, const Variant& value)
{
    const int index = IndexOf(name);
    TfrxVariable& item = index < 0 ? Add() : Items(index);
    if (index < 0)
        item.SetName(name);
    item.SetValue(value);
}

int TfrxVariables::indexOfCategory(const QString& category) const
{
    return IndexOf(QLatin1Char(' ') + category);
}

int TfrxVariables::endOfCategory(int header) const
{
    int i = header + 1;
    while (i < Count() && !Items(i).IsCategory())
        ++i;
    return i;
}

void TfrxVariables::AddVariable(const QString& category, const QString& name, const Variant& value)
{
    const int header = indexOfCategory(category);
    if (header < 0)
        return;
    const int existing = IndexOf(name);
    if (existing >= 0) {
        Items(existing).SetValue(value);
        return;
    }
    TfrxVariable& item = Insert(endOfCategory(header));
    item.SetName(name);
    item.SetValue(value);
}

void TfrxVariables::DeleteCategory(const QString& name)
{
    const int header = indexOfCategory(name);
    if (header < 0)
        return;
    m_items.erase(m_items.begin() + header, m_items.begin() + endOfCategory(header));
}

void TfrxVariables::DeleteVariable(const QString& name)
{
    const int index = IndexOf(name);
    if (index >= 0)
        Delete(index);
}

void TfrxVariables::GetCategoriesList(QStringList& list, bool clear) const
{
    if (clear)
        list.clear();
    for (const auto& item : m_items) {
        if (item->IsCategory())
            list.append(item->Name().mid(1, 255));
    }
}

void TfrxVariables::GetVariablesList(const QString& category, QStringList& list) const
{
    list.clear();
    // Entries before the first header have the empty category.
    const int header = category.isEmpty() ? -1 : indexOfCategory(category);
    if (!category.isEmpty() && header < 0)
        return;
    const int end = endOfCategory(header);
    for (int i = header + 1; i < end; ++i)
        list.append(Items(i).Name());
}

void TfrxVariables::SaveToStream(QIODevice& stream) const
{
    TfrxXMLDocument document;
    document.AutoIndent = true;
    document.Root().SetName(QStringLiteral("variables"));
    TfrxXMLSerializer serializer;
    for (const auto& item : m_items) {
        TfrxXMLItem& element = document.Root().Add();
        element.SetName(QStringLiteral("item"));
        element.SetText(serializer.ObjToXML(*item));
    }
    document.SaveToStream(stream);
}

void TfrxVariables::SaveToFile(const QString& fileName) const
{
    WriteFileSafely(fileName, [this](QIODevice& file) { SaveToStream(file); });
}

void TfrxVariables::LoadFromStream(QIODevice& stream)
{
    Clear();
    TfrxXMLDocument document;
    document.LoadFromStream(stream);
    if (document.Root().Name().compare(QLatin1String("variables"), Qt::CaseInsensitive) != 0)
        return;
    TfrxXMLSerializer serializer;
    serializer.OldFormat = document.OldVersion;
    for (int i = 0; i < document.Root().Count(); ++i) {
        const TfrxXMLItem& element = document.Root().GetItems(i);
        if (element.Name().compare(QLatin1String("item"), Qt::CaseInsensitive) == 0)
            serializer.XMLToObj(element.Text(), Add());
    }
}

void TfrxVariables::LoadFromFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(formatMessage(msg::SFOpenErrorEx, {fileName, file.errorString()}));
    LoadFromStream(file);
}

} // namespace quittung
