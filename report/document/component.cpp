#include "report/document/component.h"

#include "report/document/class_registry.h"
#include "report/document/engine_messages.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/document/xml_document.h"
#include "report/document/xml_serializer.h"
#include "runtime/exception.h"
#include "runtime/messages.h"

#include <algorithm>

namespace quittung {

bool IsValidIdent(const QString& name)
{
    if (name.isEmpty())
        return false;
    const auto isIdentLetter = [](QChar c) { return c == QLatin1Char('_') || c.isLetter(); };
    const auto isAsciiDigit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    if (!isIdentLetter(name.front()))
        return false;
    return std::all_of(name.begin(), name.end(), [&](QChar c) { return isIdentLetter(c) || isAsciiDigit(c); });
}

TfrxComponent::TfrxComponent()
{
    m_font.SetOnChange([this] { fontChanged(); });
}

TfrxComponent::~TfrxComponent()
{
    // Children go first, so none of them looks at a half-destroyed parent.
    m_children.clear();
}

QString TfrxComponent::BaseName() const
{
    QString name = ClassName();
    if (name.startsWith(QLatin1String("Tfrx")))
        name.remove(0, 4);
    if (name.endsWith(QLatin1String("View")))
        name.chop(4);
    return name;
}

void TfrxComponent::SetName(const QString& name)
{
    if (name == m_name)
        return;
    if (!name.isEmpty() && !IsValidIdent(name))
        throw Exception(formatMessage(msg::SInvalidName, {name}));
    if (!name.isEmpty()) {
        const TfrxComponent* other = FindObject(name);
        if (other && other != this)
            throw Exception(frxGet(QStringLiteral("prDupl")));
    }
    m_name = name;
}

void TfrxComponent::CreateUniqueName()
{
    const TfrxComponent* root = Root();
    std::vector<TfrxComponent*> all = root->AllObjects();
    const QString base = BaseName();
    for (int i = 1;; ++i) {
        const QString candidate = base + QString::number(i);
        const bool used = std::any_of(all.begin(), all.end(), [&](const TfrxComponent* object) {
            return object != this && object->m_name.compare(candidate, Qt::CaseInsensitive) == 0;
        });
        if (!used) {
            m_name = candidate;
            return;
        }
    }
}

void TfrxComponent::SetParent(TfrxComponent* parent)
{
    if (parent == m_parent)
        return;
    std::unique_ptr<TfrxComponent> self = Detach();
    if (parent)
        parent->Adopt(std::move(self));
    // Without a new parent nothing owns the object any more: it goes.
}

TfrxComponent* TfrxComponent::Adopt(std::unique_ptr<TfrxComponent> child)
{
    TfrxComponent* raw = child.get();
    if (raw->m_parent)
        child = raw->Detach();
    raw->m_parent = this;
    m_children.push_back(std::move(child));
    raw->followParentFont();
    return raw;
}

std::unique_ptr<TfrxComponent> TfrxComponent::Detach()
{
    if (!m_parent)
        return nullptr;
    auto& siblings = m_parent->m_children;
    const auto it = std::find_if(siblings.begin(), siblings.end(), [this](const auto& c) { return c.get() == this; });
    std::unique_ptr<TfrxComponent> self = std::move(*it);
    siblings.erase(it);
    m_parent = nullptr;
    return self;
}

void TfrxComponent::MoveToIndex(std::size_t index)
{
    if (!m_parent)
        return;
    auto& siblings = m_parent->m_children;
    const auto it = std::find_if(siblings.begin(), siblings.end(), [this](const auto& c) { return c.get() == this; });
    const auto from = static_cast<std::size_t>(it - siblings.begin());
    const std::size_t to = std::min(index, siblings.size() - 1);
    if (from < to)
        std::rotate(it, it + 1, siblings.begin() + static_cast<std::ptrdiff_t>(to) + 1);
    else if (to < from)
        std::rotate(siblings.begin() + static_cast<std::ptrdiff_t>(to), it, it + 1);
}

std::vector<TfrxComponent*> TfrxComponent::Objects() const
{
    std::vector<TfrxComponent*> objects;
    objects.reserve(m_children.size());
    for (const auto& child : m_children)
        objects.push_back(child.get());
    return objects;
}

std::vector<TfrxComponent*> TfrxComponent::AllObjects() const
{
    std::vector<TfrxComponent*> all;
    for (const auto& child : m_children) {
        all.push_back(child.get());
        std::vector<TfrxComponent*> below = child->AllObjects();
        all.insert(all.end(), below.begin(), below.end());
    }
    return all;
}

void TfrxComponent::Clear()
{
    while (!m_children.empty()) {
        std::unique_ptr<TfrxComponent> first = std::move(m_children.front());
        m_children.erase(m_children.begin());
        first->m_parent = nullptr;
    }
}

TfrxReport* TfrxComponent::Report() const
{
    for (const TfrxComponent* c = this; c; c = c->m_parent) {
        if (auto* report = dynamic_cast<const TfrxReport*>(c))
            return const_cast<TfrxReport*>(report);
    }
    return nullptr;
}

TfrxPage* TfrxComponent::Page() const
{
    for (const TfrxComponent* c = this; c; c = c->m_parent) {
        if (auto* page = dynamic_cast<const TfrxPage*>(c))
            return const_cast<TfrxPage*>(page);
    }
    return nullptr;
}

const TfrxComponent* TfrxComponent::Root() const
{
    const TfrxComponent* root = this;
    while (root->m_parent)
        root = root->m_parent;
    return root;
}

TfrxComponent* TfrxComponent::FindObject(const QString& name) const
{
    if (name.isEmpty())
        return nullptr;
    const TfrxComponent* root = Root();
    if (root->m_name.compare(name, Qt::CaseInsensitive) == 0)
        return const_cast<TfrxComponent*>(root);
    // Depth first, in the order of AllObjects, without building the list.
    std::vector<const TfrxComponent*> pending{root};
    while (!pending.empty()) {
        const TfrxComponent* parent = pending.back();
        pending.pop_back();
        for (auto child = parent->m_children.rbegin(); child != parent->m_children.rend(); ++child)
            pending.push_back(child->get());
        if (parent != root && parent->m_name.size() == name.size()
            && parent->m_name.compare(name, Qt::CaseInsensitive) == 0)
            return const_cast<TfrxComponent*>(parent);
    }
    return nullptr;
}

void TfrxComponent::SetBounds(double left, double top, double width, double height)
{
    SetLeft(left);
    SetTop(top);
    SetWidth(width);
    SetHeight(height);
}

double TfrxComponent::AbsLeft() const
{
    double sum = 0;
    for (const TfrxComponent* c = this; c; c = c->m_parent) {
        if (c->IsPositioned())
            sum += c->m_left;
    }
    return sum;
}

double TfrxComponent::AbsTop() const
{
    double sum = 0;
    for (const TfrxComponent* c = this; c; c = c->m_parent) {
        if (c->IsPositioned())
            sum += c->m_top;
    }
    return sum;
}

void TfrxComponent::SetParentFont(bool value)
{
    m_parentFont = value;
    followParentFont();
}

void TfrxComponent::followParentFont()
{
    if (!m_parentFont || !m_parent)
        return;
    m_updatingFont = true;
    // The change notification passes the copy on to this object's own followers.
    m_font.Assign(m_parent->m_font);
    m_updatingFont = false;
}

void TfrxComponent::fontChanged()
{
    if (!m_updatingFont)
        m_parentFont = false;
    for (const auto& child : m_children)
        child->followParentFont();
}

} // namespace quittung

namespace quittung {

void TfrxComponent::SaveToStream(QIODevice& stream, bool saveChildren)
{
    TfrxXMLDocument document;
    document.AutoIndent = true;
    TfrxXMLSerializer serializer(Report());
    serializer.WriteRootComponent(*this, saveChildren, document.Root());
    document.SaveToStream(stream);
}

void TfrxComponent::LoadFromStream(QIODevice& stream)
{
    TfrxXMLDocument document;
    document.LoadFromStream(stream);
    TfrxXMLSerializer serializer(Report());
    serializer.OldFormat = document.OldVersion;
    serializer.ReadRootComponent(*this, document.Root());
    if (TfrxReport* report = Report())
        report->Errors().AddStrings(serializer.Errors());
}

void TfrxComponent::Assign(TfrxComponent& source)
{
    TfrxXMLSerializer serializer(Report());
    serializer.SerializeDefaultValues = true;
    const QString text = serializer.ObjToXML(source);
    serializer.XMLToObj(text, *this);
}

void TfrxComponent::AssignAll(TfrxComponent& source)
{
    Assign(source);
    Clear();
    for (const auto& child : source.Children()) {
        std::unique_ptr<TfrxComponent> copy = CreateComponent(child->ClassName());
        if (!copy)
            continue;
        TfrxComponent* added = Adopt(std::move(copy));
        try {
            added->SetName(child->Name());
        } catch (const Exception&) {
            // Within one report the names are taken by the originals; the copy stays unnamed.
        }
        added->AssignAll(*child);
    }
}

} // namespace quittung
