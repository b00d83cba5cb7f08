#include "report/document/report_object.h"

#include "report/document/class_registry.h"
#include "report/document/engine_messages.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/document/xml_document.h"
#include "report/document/template_serializer.h"
#include "runtime/decimal_scan.h"
#include "runtime/exception.h"
#include "runtime/messages.h"

#include <algorithm>

namespace quittung::report {

bool isValidIdentifier(const QString& name)
{
    if (name.isEmpty())
        return false;
    const auto isIdentLetter = [](QChar c) { return c == QLatin1Char('_') || c.isLetter(); };
    if (!isIdentLetter(name.front()))
        return false;
    return std::all_of(name.begin(), name.end(), [&](QChar c) { return isIdentLetter(c) || isDigit(c); });
}

ReportObject::ReportObject()
{
    m_font.setOnChange([this] { fontChanged(); });
}

ReportObject::ReportObject(const ReportObject& other)
    : PropertyObject(other)
    , m_name(other.m_name)
    , m_left(other.m_left)
    , m_top(other.m_top)
    , m_width(other.m_width)
    , m_height(other.m_height)
    , m_font(other.m_font)
    , m_parentFont(other.m_parentFont)
    , m_visible(other.m_visible)
    , m_tag(other.m_tag)
    , m_description(other.m_description)
{
    m_font.setOnChange([this] { fontChanged(); });
}

ReportObject::~ReportObject()
{
    // Children go first, so none of them looks at a half-destroyed parent.
    m_children.clear();
}

QString ReportObject::baseName() const
{
    QString name = className();
    if (name.startsWith(QLatin1String("Tfrx")))
        name.remove(0, 4);
    if (name.endsWith(QLatin1String("View")))
        name.chop(4);
    return name;
}

void ReportObject::setName(const QString& name)
{
    if (name == m_name)
        return;
    if (!name.isEmpty() && !isValidIdentifier(name))
        throw Exception(formatMessage(msg::SInvalidName, {name}));
    if (nameTakenByOther(name))
        throw Exception(engineMessage(QStringLiteral("prDupl")));
    m_name = name;
}

bool ReportObject::nameTakenByOther(const QString& name) const
{
    const ReportObject* other = findObject(name);
    return other && other != this;
}

void ReportObject::createUniqueName()
{
    const ReportObject* top = root();
    std::vector<ReportObject*> all = top->allObjects();
    const QString base = baseName();
    for (int i = 1;; ++i) {
        const QString candidate = base + QString::number(i);
        const bool used = std::any_of(all.begin(), all.end(), [&](const ReportObject* object) {
            return object != this && object->m_name.compare(candidate, Qt::CaseInsensitive) == 0;
        });
        if (!used) {
            m_name = candidate;
            return;
        }
    }
}

void ReportObject::setParent(ReportObject* parent)
{
    if (parent == m_parent)
        return;
    std::unique_ptr<ReportObject> self = detach();
    if (parent)
        parent->adopt(std::move(self));
    // Without a new parent nothing owns the object any more: it goes.
}

ReportObject* ReportObject::adopt(std::unique_ptr<ReportObject> child)
{
    ReportObject* raw = child.get();
    if (raw->m_parent)
        child = raw->detach();
    raw->m_parent = this;
    m_children.push_back(std::move(child));
    raw->followParentFont();
    return raw;
}

std::unique_ptr<ReportObject> ReportObject::detach()
{
    if (!m_parent)
        return nullptr;
    auto& siblings = m_parent->m_children;
    const auto it = std::find_if(siblings.begin(), siblings.end(), [this](const auto& c) { return c.get() == this; });
    std::unique_ptr<ReportObject> self = std::move(*it);
    siblings.erase(it);
    m_parent = nullptr;
    return self;
}

void ReportObject::moveToIndex(std::size_t index)
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

std::vector<ReportObject*> ReportObject::objects() const
{
    std::vector<ReportObject*> objects;
    objects.reserve(m_children.size());
    for (const auto& child : m_children)
        objects.push_back(child.get());
    return objects;
}

std::vector<ReportObject*> ReportObject::allObjects() const
{
    std::vector<ReportObject*> all;
    for (const auto& child : m_children) {
        all.push_back(child.get());
        std::vector<ReportObject*> below = child->allObjects();
        all.insert(all.end(), below.begin(), below.end());
    }
    return all;
}

void ReportObject::clear()
{
    while (!m_children.empty()) {
        std::unique_ptr<ReportObject> first = std::move(m_children.front());
        m_children.erase(m_children.begin());
        first->m_parent = nullptr;
    }
}

Report* ReportObject::report() const
{
    for (const ReportObject* c = this; c; c = c->m_parent) {
        if (auto* report = dynamic_cast<const Report*>(c))
            return const_cast<Report*>(report);
    }
    return nullptr;
}

Page* ReportObject::page() const
{
    for (const ReportObject* c = this; c; c = c->m_parent) {
        if (auto* page = dynamic_cast<const Page*>(c))
            return const_cast<Page*>(page);
    }
    return nullptr;
}

const ReportObject* ReportObject::root() const
{
    const ReportObject* root = this;
    while (root->m_parent)
        root = root->m_parent;
    return root;
}

ReportObject* ReportObject::findObject(const QString& name) const
{
    if (name.isEmpty())
        return nullptr;
    const ReportObject* top = root();
    if (top->m_name.compare(name, Qt::CaseInsensitive) == 0)
        return const_cast<ReportObject*>(top);
    // Depth first, in the order of allObjects, without building the list.
    std::vector<const ReportObject*> pending{top};
    while (!pending.empty()) {
        const ReportObject* parent = pending.back();
        pending.pop_back();
        for (auto child = parent->m_children.rbegin(); child != parent->m_children.rend(); ++child)
            pending.push_back(child->get());
        if (parent != top && parent->m_name.size() == name.size()
            && parent->m_name.compare(name, Qt::CaseInsensitive) == 0)
            return const_cast<ReportObject*>(parent);
    }
    return nullptr;
}

void ReportObject::setBounds(double left, double top, double width, double height)
{
    setLeft(left);
    setTop(top);
    setWidth(width);
    setHeight(height);
}

double ReportObject::absLeft() const
{
    double sum = 0;
    for (const ReportObject* c = this; c; c = c->m_parent) {
        if (c->isPositioned())
            sum += c->m_left;
    }
    return sum;
}

double ReportObject::absTop() const
{
    double sum = 0;
    for (const ReportObject* c = this; c; c = c->m_parent) {
        if (c->isPositioned())
            sum += c->m_top;
    }
    return sum;
}

void ReportObject::setParentFont(bool value)
{
    m_parentFont = value;
    followParentFont();
}

void ReportObject::followParentFont()
{
    if (!m_parentFont || !m_parent)
        return;
    m_updatingFont = true;
    // The change notification passes the copy on to this object's own followers.
    m_font.assign(m_parent->m_font);
    m_updatingFont = false;
}

void ReportObject::fontChanged()
{
    if (!m_updatingFont)
        m_parentFont = false;
    for (const auto& child : m_children)
        child->followParentFont();
}

} // namespace quittung::report

namespace quittung::report {

void ReportObject::saveToStream(QIODevice& stream, bool saveChildren) const
{
    XmlDocument document;
    document.setAutoIndent(true);
    TemplateSerializer serializer;
    serializer.writeRootComponent(*this, saveChildren, document.root());
    document.saveToStream(stream);
}

void ReportObject::loadFromStream(QIODevice& stream)
{
    XmlDocument document;
    document.loadFromStream(stream);
    TemplateSerializer serializer(report());
    serializer.setOldFormat(document.isOldFormat());
    serializer.readRootComponent(*this, document.root());
    if (Report* owner = report())
        owner->errors().addStrings(serializer.errors());
}

void ReportObject::assign(ReportObject& source)
{
    TemplateSerializer serializer(report());
    serializer.setWriteDefaults(true);
    const QString text = serializer.objectToXml(source);
    serializer.xmlToObject(text, *this);
}

void ReportObject::assignAll(ReportObject& source)
{
    assign(source);
    clear();
    for (const auto& child : source.children()) {
        std::unique_ptr<ReportObject> copy = createObject(child->className());
        if (!copy)
            continue;
        ReportObject* added = adopt(std::move(copy));
        // Within one report the names are taken by the originals; the copy stays unnamed.
        if (!added->nameTakenByOther(child->name()))
            added->setName(child->name());
        added->assignAll(*child);
    }
}

} // namespace quittung::report
