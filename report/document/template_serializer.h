#pragma once

#include "report/document/property_object.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace quittung::report {

class ReportObject;
class Report;
class XmlElement;

// Turns objects into template attribute text and back, on their property tables alone.
class TemplateSerializer {
public:
    // The owner is the report whose objects references and names are resolved in.
    explicit TemplateSerializer(Report* owner = nullptr);

    // Old-format files hold 8-bit text except in text objects' Text and u attributes.
    void setOldFormat(bool value) { m_oldFormat = value; }
    // Writes every property, defaults included (assign uses it).
    void setWriteDefaults(bool value) { m_writeDefaults = value; }

    // Messages met while reading, sorted and without duplicates.
    const QStringList& errors() const { return m_errors; }

    // The attribute text of an object's properties: a blank before each attribute.
    QString objectToXml(const PropertyObject& object, const QString& prefix = QString());
    // Applies attribute text to an object. Bad values are recorded in errors(); the scan goes on.
    void xmlToObject(const QString& text, PropertyObject& object);

    // The report or an object with its children as an element tree.
    void writeRootComponent(const ReportObject& root, bool saveChildren, XmlElement& element);
    // Builds the object tree of an element tree into root: creates or re-uses objects by name,
    // resolves references, and sends the loaded notifications.
    void readRootComponent(ReportObject& root, const XmlElement& element);

private:
    struct PendingReference {
        PropertyObject* object;
        const PropertyInfo* property;
        QString name;
    };

    void addError(const QString& message);
    void writeComponent(const ReportObject& component, XmlElement& element, bool saveChildren);
    void readChildren(ReportObject& parent, const XmlElement& element);
    struct Target;
    void applyAttribute(const Target& target, const QString& name, const QString& rawValue);
    void readPropData(PropertyObject& object, const QString& hex);
    QByteArray writePropData(const PropertyObject& object);
    void resolveReferences();

    Report* m_owner;
    bool m_oldFormat = false;
    bool m_writeDefaults = false;
    QStringList m_errors;
    std::vector<PendingReference> m_references;
    std::vector<ReportObject*> m_loaded;
};

} // namespace quittung::report
