#include "report/document/template_serializer.h"

#include "report/document/class_registry.h"
#include "report/document/report_object.h"
#include "report/document/engine_messages.h"
#include "report/document/prop_data.h"
#include "report/document/text_object.h"
#include "report/document/report.h"
#include "report/document/xml_document.h"
#include "runtime/decimal_scan.h"
#include "runtime/exception.h"
#include "runtime/file_numbers.h"
#include "runtime/messages.h"
#include "runtime/windows1252.h"

#include <limits>
#include <optional>

namespace quittung::report {

namespace {

const QString kPropData = QStringLiteral("PropData");
// A report's variables and styles are a few dozen, and every use finds one by name in a list: a
// stored block gives at most as many items as a template may hold elements, the rest is passed over.
constexpr int kMaxStoredItems = 5000;

[[noreturn]] void throwInvalidInteger(const QString& text)
{
    throw ConvertError(formatMessage(msg::SInvalidInteger, {text}));
}

qint64 readInteger(const QString& text, qint64 minimum, qint64 maximum)
{
    std::optional<qint64> value = parseXmlInteger(text);
    if (!value)
        throwInvalidInteger(text);
    // Hexadecimal colours such as $FF00000F wrap into the signed range, as 32-bit values do.
    if (*value > maximum && *value <= 0xFFFFFFFFLL && minimum == std::numeric_limits<qint32>::min())
        value = static_cast<qint32>(static_cast<quint32>(*value));
    if (*value < minimum || *value > maximum)
        throwInvalidInteger(text);
    return *value;
}

QString variantText(const Variant& value)
{
    switch (value.type()) {
    case Variant::Type::Empty:
    case Variant::Type::Null: return QString();
    case Variant::Type::Integer: return QString::number(value.integerValue());
    case Variant::Type::Float: return templateNumber(value.floatValue());
    case Variant::Type::Currency:
        return templateNumber(static_cast<double>(value.currencyValue().tenThousandths) / 10000.0);
    case Variant::Type::Boolean: return value.booleanValue() ? QStringLiteral("True") : QStringLiteral("False");
    case Variant::Type::DateTime: return value.dateTimeValue().toString(Qt::ISODate);
    case Variant::Type::String: return value.stringValue();
    }
    return QString();
}

// Whether a property's value is written: its storing condition, then the rule of its type.
bool isWritten(const PropertyInfo& property, const PropertyObject& object, const PropValue& value, bool withDefaults)
{
    // With defaults everything goes out, so a copy made through the format misses nothing.
    if (!withDefaults && !property.isStored(object))
        return false;
    switch (property.type) {
    case PropType::Integer:
    case PropType::Char:
    case PropType::ColorValue:
    case PropType::Boolean:
    case PropType::Enum:
    case PropType::Set:
        return withDefaults || !property.defaultValue || *property.defaultValue != value;
    case PropType::Float:
    case PropType::Variant:
    case PropType::StringList:
        return true;
    case PropType::String:
    case PropType::Reference:
        // An empty text is left out only where reading starts from an empty one: left out where
        // the object starts with a text ("Default", a font's "Arial"), it would come back as that.
        return withDefaults || !std::get<QString>(value).isEmpty() || !property.defaultValue
            || *property.defaultValue != value;
    case PropType::Nested:
    case PropType::Picture:
        return false;
    }
    return false;
}

// The lines of a list as one text, broken by CR LF. Readers drop one line break at the end, so a
// last line that is empty gets one more; without it that line would be lost.
QString listText(const QStringList& lines)
{
    QString text = lines.join(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.back().isEmpty())
        text += QStringLiteral("\r\n");
    return text;
}

QString valueText(const PropertyInfo& property, const PropValue& value)
{
    switch (property.type) {
    case PropType::Integer:
    case PropType::Char:
    case PropType::ColorValue:
    case PropType::Set:
        return QString::number(std::get<qint64>(value));
    case PropType::Boolean:
        return std::get<bool>(value) ? QStringLiteral("True") : QStringLiteral("False");
    case PropType::Enum: {
        const qint64 ordinal = std::get<qint64>(value);
        if (property.enumType && ordinal >= 0 && ordinal < qint64(property.enumType->identifiers.size()))
            return property.enumType->identifiers[std::size_t(ordinal)];
        return QString::number(ordinal);
    }
    case PropType::Float:
        return templateNumber(std::get<double>(value));
    case PropType::String:
    case PropType::Reference:
        return xmlEscape(std::get<QString>(value));
    case PropType::Variant:
        return xmlEscape(variantText(std::get<Variant>(value)));
    case PropType::StringList:
        return xmlEscape(listText(std::get<QStringList>(value)));
    case PropType::Nested:
    case PropType::Picture:
        break;
    }
    return QString();
}

// The lines of a text as a string list holds them: broken at CR LF, CR or LF.
QStringList listLines(const QString& text)
{
    if (text.isEmpty())
        return {};
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalized.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (normalized.endsWith(QLatin1Char('\n')))
        normalized.chop(1);
    return normalized.split(QLatin1Char('\n'));
}

PropValue parseValue(const PropertyInfo& property, const QString& raw)
{
    switch (property.type) {
    case PropType::Integer:
    case PropType::ColorValue:
        return readInteger(raw, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
    case PropType::Char:
        return readInteger(raw, 0, 0xFFFF);
    case PropType::Set: {
        const qint64 bits = readInteger(raw, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
        const qint64 members = property.enumType ? qint64(property.enumType->identifiers.size()) : 32;
        return bits & ((qint64(1) << members) - 1);
    }
    case PropType::Boolean:
    case PropType::Enum: {
        static const EnumType booleans{{QStringLiteral("False"), QStringLiteral("True")}};
        const EnumType* type = property.type == PropType::Boolean ? &booleans : property.enumType;
        const qint64 count = type ? qint64(type->identifiers.size()) : 0;
        std::optional<qint64> ordinal = parseXmlInteger(raw);
        if (!ordinal && type) {
            if (const std::optional<int> found = type->ordinalOf(raw.trimmed()))
                ordinal = *found;
        }
        if (!ordinal || *ordinal < 0 || *ordinal >= count)
            throw Exception(engineMessage(QStringLiteral("xrInvalidPropertyValue")) + QStringLiteral(": '") + raw
                + QStringLiteral("'"));
        if (property.type == PropType::Boolean)
            return *ordinal != 0;
        return *ordinal;
    }
    case PropType::Float:
        return readTemplateNumber(raw);
    case PropType::String:
    case PropType::Reference:
        return raw;
    case PropType::Variant:
        return Variant(raw);
    case PropType::StringList:
        return listLines(raw);
    case PropType::Nested:
    case PropType::Picture:
        break;
    }
    return std::monostate();
}

} // namespace

TemplateSerializer::TemplateSerializer(Report* owner)
    : m_owner(owner)
{
}

void TemplateSerializer::addError(const QString& message)
{
    const auto position = std::lower_bound(m_errors.begin(), m_errors.end(), message,
        [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    if (position == m_errors.end() || position->compare(message, Qt::CaseInsensitive) != 0)
        m_errors.insert(position, message);
}

QString TemplateSerializer::objectToXml(const PropertyObject& object, const QString& prefix)
{
    QString text;
    for (const PropertyInfo& property : object.properties()) {
        if (property.type == PropType::Nested) {
            if (m_writeDefaults || property.isStored(object))
                text += objectToXml(*property.nestedIn(object), prefix + property.name + QLatin1Char('.'));
            continue;
        }
        if (!property.get)
            continue;
        const PropValue value = property.get(object);
        if (!isWritten(property, object, value, m_writeDefaults))
            continue;
        const QString name = property.type == PropType::StringList ? property.name + QStringLiteral(".Text") : property.name;
        text += QLatin1Char(' ') + prefix + name + QStringLiteral("=\"") + valueText(property, value) + QLatin1Char('"');
    }
    if (!prefix.isEmpty())
        return text;
    if (const auto* memo = dynamic_cast<const TextObjectBase*>(&object))
        text += QStringLiteral(" Text=\"") + xmlEscape(listText(memo->lines())) + QLatin1Char('"');
    if (const auto* component = dynamic_cast<const ReportObject*>(&object)) {
        for (const ReportObject::KeptAttribute& kept : component->keptAttributes())
            text += QLatin1Char(' ') + kept.name + QStringLiteral("=\"") + kept.text + QLatin1Char('"');
    }
    const QByteArray extra = writePropData(object);
    if (!extra.isEmpty())
        text += QLatin1Char(' ') + kPropData + QStringLiteral("=\"") + bytesToHex(extra) + QLatin1Char('"');
    return text;
}

// The object attributes are applied to, with the kinds that have attributes of their own.
struct TemplateSerializer::Target {
    PropertyObject& object;
    ReportObject* component;
    TextObjectBase* memo;
    bool report;
};

void TemplateSerializer::xmlToObject(const QString& text, PropertyObject& object)
{
    auto* component = dynamic_cast<ReportObject*>(&object);
    const Target target{object, component, dynamic_cast<TextObjectBase*>(&object),
        dynamic_cast<Report*>(&object) != nullptr};
    qsizetype i = 0;
    while (i < text.size() - 1) {
        while (i < text.size() && text[i] == QLatin1Char(' '))
            ++i;
        const qsizetype equals = text.indexOf(QLatin1Char('='), i);
        if (equals < 0)
            break;
        QString name = text.mid(i, equals - i);
        while (name.endsWith(QLatin1Char(' ')))
            name.chop(1);
        if (name.isEmpty())
            break;
        const qsizetype open = text.indexOf(QLatin1Char('"'), equals);
        if (open < 0)
            break;
        qsizetype close = text.indexOf(QLatin1Char('"'), open + 1);
        if (close < 0)
            close = text.size();
        applyAttribute(target, name, text.mid(open + 1, close - open - 1));
        i = close + 1;
    }
}

void TemplateSerializer::applyAttribute(const Target& target, const QString& name, const QString& rawValue)
{
    PropertyObject& object = target.object;
    ReportObject* component = target.component;
    TextObjectBase* memo = target.memo;
    const QString value = xmlUnescape(rawValue);
    // Text of text objects is UTF-8 even in old-format files, whose other text is 8-bit. The bytes
    // are decoded first and character references resolved after, so "&#228;" stays "ä".
    const auto utf8Text = [&] {
        if (!m_oldFormat)
            return value;
        return xmlUnescape(QString::fromUtf8(encodeWindows1252(rawValue).value_or(rawValue.toUtf8())));
    };
    try {
        if (name.compare(kPropData, Qt::CaseInsensitive) == 0) {
            readPropData(object, value);
            return;
        }
        // Only names of up to four letters are special: Name, Text, x, u, l, t, w, h.
        if (component && name.size() <= 4) {
            const QString lower = name.toLower();
            if (lower == QLatin1String("name")) {
                if (!target.report)
                    component->setName(value);
                return;
            }
            if (memo && lower == QLatin1String("text")) {
                memo->setText(utf8Text());
                return;
            }
            if (memo && (lower == QLatin1String("x") || lower == QLatin1String("u"))) {
                memo->setText(lower == QLatin1String("u") ? utf8Text() : value);
                return;
            }
            if (lower.size() == 1 && QStringLiteral("ltwh").contains(lower)) {
                PropertyInfo floatProperty;
                floatProperty.type = PropType::Float;
                const double number = std::get<double>(parseValue(floatProperty, value));
                switch (lower[0].unicode()) {
                case 'l': component->setLeft(number); break;
                case 't': component->setTop(number); break;
                case 'w': component->setWidth(number); break;
                default: component->setHeight(number); break;
                }
                return;
            }
        }

        // Walk a dotted path through nested settings; a part that is none ends the walk and the
        // rest is taken as one name, which then matches nothing.
        PropertyObject* current = &object;
        const QStringList parts = name.split(QLatin1Char('.'));
        qsizetype part = 0;
        for (; part + 1 < parts.size(); ++part) {
            const PropertyInfo* property = current->properties().find(parts[part]);
            if (property && property->type == PropType::Nested) {
                current = property->nested(*current);
                continue;
            }
            if (property && property->type == PropType::StringList && part + 2 == parts.size()
                && parts[part + 1].compare(QLatin1String("Text"), Qt::CaseInsensitive) == 0) {
                if (property->set)
                    property->set(*current, listLines(value));
                return;
            }
            break;
        }
        const QString finalName = parts.mid(part).join(QLatin1Char('.'));
        const PropertyInfo* property = current->properties().find(finalName);
        if (!property || property->type == PropType::Nested || property->type == PropType::Picture) {
            if (component && current == &object && component->keepsUnknownAttributes())
                component->keptAttributes().push_back({name, rawValue});
            return;
        }
        if (!property->set)
            return;
        if (property->type == PropType::Reference) {
            m_references.push_back({current, property, rawValue});
            return;
        }
        property->set(*current, parseValue(*property, value));
    } catch (const Exception& error) {
        addError(error.message());
    }
}

void TemplateSerializer::writeRootComponent(const ReportObject& root, bool saveChildren, XmlElement& element)
{
    element.setName(root.className());
    if (dynamic_cast<const Report*>(&root)) {
        element.setText(objectToXml(root));
        if (saveChildren) {
            for (const auto& child : root.children())
                writeComponent(*child, element.add(), true);
        }
        return;
    }
    writeComponent(root, element, saveChildren);
}

void TemplateSerializer::writeComponent(const ReportObject& component, XmlElement& element, bool saveChildren)
{
    element.setName(component.className());
    element.setText(QStringLiteral("Name=\"") + xmlEscape(component.name()) + QLatin1Char('"') + objectToXml(component));
    if (!saveChildren)
        return;
    for (const auto& child : component.children())
        writeComponent(*child, element.add(), true);
}

void TemplateSerializer::readRootComponent(ReportObject& root, const XmlElement& element)
{
    m_references.clear();
    m_loaded.clear();
    const bool inherited = element.name().compare(QLatin1String("inherited"), Qt::CaseInsensitive) == 0;
    if (!inherited && !isKnownClass(element.name())) {
        addError(engineMessage(QStringLiteral("xrCantFindClass")) + QLatin1Char(' ') + element.name());
        return;
    }
    root.setIsLoading(true);
    xmlToObject(element.text(), root);
    m_loaded.push_back(&root);
    readChildren(root, element);
    resolveReferences();
    for (ReportObject* object : m_loaded) {
        object->setIsLoading(false);
        if (!dynamic_cast<Report*>(object))
            object->loaded();
    }
    m_loaded.clear();
}

void TemplateSerializer::readChildren(ReportObject& parent, const XmlElement& element)
{
    for (int i = 0; i < element.count(); ++i) {
        const XmlElement& child = element.item(i);
        const bool inherited = child.name().compare(QLatin1String("inherited"), Qt::CaseInsensitive) == 0;
        if (!inherited && !isKnownClass(child.name())) {
            addError(engineMessage(QStringLiteral("xrCantFindClass")) + QLatin1Char(' ') + child.name());
            continue;
        }
        const QString name = child.getProp(QStringLiteral("Name"));
        const ReportObject& scope = m_owner ? static_cast<const ReportObject&>(*m_owner) : parent;
        ReportObject* object = name.isEmpty() ? nullptr : scope.findObject(name);
        if (!object) {
            if (inherited)
                continue;
            std::unique_ptr<ReportObject> created = createObject(child.name());
            // Frames, highlights and styles are classes but no objects of the tree.
            if (!created) {
                addError(engineMessage(QStringLiteral("xrCantFindClass")) + QLatin1Char(' ') + child.name());
                continue;
            }
            object = parent.adopt(std::move(created));
        }
        object->setIsLoading(true);
        xmlToObject(child.text(), *object);
        if (std::find(m_loaded.begin(), m_loaded.end(), object) == m_loaded.end())
            m_loaded.push_back(object);
        readChildren(*object, child);
    }
}

void TemplateSerializer::resolveReferences()
{
    for (const PendingReference& reference : m_references) {
        const ReportObject* scope = m_owner;
        if (!scope)
            continue;
        // Objects of other windows are not ours to find; such references stay empty.
        if (const ReportObject* target = scope->findObject(reference.name)) {
            try {
                reference.property->set(*reference.object, target->name());
            } catch (const Exception& error) {
                addError(error.message());
            }
        }
    }
    m_references.clear();
}

QByteArray TemplateSerializer::writePropData(const PropertyObject& object)
{
    const auto* report = dynamic_cast<const Report*>(&object);
    if (!report)
        return {};
    const auto itemTexts = [this](auto& collection) {
        std::vector<QString> texts;
        for (int i = 0; i < collection.count(); ++i)
            texts.push_back(objectToXml(collection.item(i)));
        return texts;
    };
    PropDataWriter writer;
    writer.entryName(QStringLiteral("Datasets"));
    writer.collection({});
    writer.entryName(QStringLiteral("Variables"));
    writer.collection(itemTexts(report->variables()));
    writer.entryName(QStringLiteral("Style"));
    writer.collection(itemTexts(report->styles()));
    return writer.bytes();
}

void TemplateSerializer::readPropData(PropertyObject& object, const QString& hex)
{
    auto* report = dynamic_cast<Report*>(&object);
    const QByteArray bytes = hexToBytes(hex);
    PropDataReader reader(bytes);
    int items = 0;
    try {
        while (!reader.atEnd()) {
            const QString entry = reader.entryName();
            if (entry == QLatin1String("Left") || entry == QLatin1String("Top")) {
                reader.integer(); // a design position on a window; it means nothing to the document
                continue;
            }
            if (!report || (entry != QLatin1String("Datasets") && entry != QLatin1String("Variables")
                               && entry != QLatin1String("Style")))
                return;
            if (reader.byte() != 1)
                return;
            if (entry == QLatin1String("Variables"))
                report->variables().clear();
            if (entry == QLatin1String("Style"))
                report->styles().clear();
            while (reader.byte() == 1) {
                if (++items > kMaxStoredItems)
                    return;
                const QString text = reader.string();
                if (entry == QLatin1String("Variables"))
                    xmlToObject(text, report->variables().add());
                else if (entry == QLatin1String("Style"))
                    xmlToObject(text, report->styles().add());
                // Data sets are not part of receipts; their items are passed over.
                if (reader.byte() != 0)
                    return;
            }
        }
    } catch (const ReadError&) {
        // A damaged block ends here; what was read before it stays.
    }
}

} // namespace quittung::report
