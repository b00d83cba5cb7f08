#pragma once

#include "report/document/persistent.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace quittung {

class TfrxComponent;
class TfrxReport;
class TfrxXMLItem;

// Turns objects into template attribute text and back, on their property tables alone.
class TfrxXMLSerializer {
public:
    // The owner is the report whose objects references and names are resolved in.
    explicit TfrxXMLSerializer(TfrxReport* owner = nullptr);

    // Old-format files hold 8-bit text except in text objects' Text and u attributes.
    bool OldFormat = false;
    // Writes every property, defaults included (Assign uses it).
    bool SerializeDefaultValues = false;

    // Messages met while reading, sorted and without duplicates.
    const QStringList& Errors() const { return m_errors; }

    // The attribute text of an object's properties: a blank before each attribute.
    QString ObjToXML(TfrxPersistent& object, const QString& prefix = QString());
    // Applies attribute text to an object. Bad values are recorded in Errors; the scan goes on.
    void XMLToObj(const QString& text, TfrxPersistent& object);

    // The report or an object with its children as an element tree.
    void WriteRootComponent(TfrxComponent& root, bool saveChildren, TfrxXMLItem& element);
    // Builds the object tree of an element tree into root: creates or re-uses objects by name,
    // resolves references, and sends the loaded notifications.
    void ReadRootComponent(TfrxComponent& root, const TfrxXMLItem& element);

private:
    struct PendingReference {
        TfrxPersistent* object;
        const PropertyInfo* property;
        QString name;
    };

    void addError(const QString& message);
    void writeComponent(TfrxComponent& component, TfrxXMLItem& element, bool saveChildren);
    void readChildren(TfrxComponent& parent, const TfrxXMLItem& element);
    struct Target;
    void applyAttribute(const Target& target, const QString& name, const QString& rawValue);
    void readPropData(TfrxPersistent& object, const QString& hex);
    QByteArray writePropData(TfrxPersistent& object);
    void resolveReferences();

    TfrxReport* m_owner;
    QStringList m_errors;
    std::vector<PendingReference> m_references;
    std::vector<TfrxComponent*> m_loaded;
};

// The hexadecimal form of the extra-data block and its bytes ("0123456789ABCDEF"; a lone last
// digit is ignored; reading stops at the first character that is no hex digit).
QString BytesToHex(const QByteArray& bytes);
QByteArray HexToBytes(const QString& hex);

} // namespace quittung
