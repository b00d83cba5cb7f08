#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QIODevice;

namespace quittung::report {

// An integer as attribute values and character references write it: optional blanks and sign,
// decimal digits, or hexadecimal after "$", "x" or "0x". Nothing when the text is no such integer.
std::optional<qint64> parseXmlInteger(QStringView text);

// Attribute values never hold a raw '"', '<', '>', CR or LF: they are written as character
// references. "&quot;" in a value is written as "&#34;" too, so it reads back as '"'.
QString xmlEscape(const QString& text);
// Character references ("&#10;", "&#x41;") and the four named entities; any other '&' stays.
QString xmlUnescape(const QString& text);

// One element: its name, the raw attribute text after the name (decoded, entities still in place),
// its content and its children.
class XmlElement {
public:
    XmlElement() = default;
    XmlElement(const XmlElement&) = delete;
    XmlElement& operator=(const XmlElement&) = delete;
    ~XmlElement();

    const QString& name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    const QString& text() const { return m_text; }
    void setText(const QString& text) { m_text = text; }
    const QString& value() const { return m_value; }
    void setValue(const QString& value) { m_value = value; }

    int count() const { return static_cast<int>(m_items.size()); }
    XmlElement& item(int index) const { return *m_items[static_cast<std::size_t>(index)]; }
    XmlElement* parent() const { return m_parent; }
    XmlElement& root();

    // A new child at the end.
    XmlElement& add();
    // Adopts an element, taking it from its old parent.
    XmlElement& addItem(std::unique_ptr<XmlElement> item);
    XmlElement& insertItem(int index, std::unique_ptr<XmlElement> item);
    std::unique_ptr<XmlElement> detach();
    // The first child with that name, without regard to case; -1 / a new child when there is none.
    int find(const QString& name) const;
    XmlElement& findItem(const QString& name);
    int indexOf(const XmlElement& item) const;
    void clear();

    // Attributes of the attribute text, found without regard to case. GetProp unescapes; SetProp
    // escapes and replaces the attribute in place or appends it.
    QString getProp(const QString& name) const;
    void setProp(const QString& name, const QString& value);
    bool propExists(const QString& name) const;
    void deleteProp(const QString& name);


private:
    QString m_name;
    QString m_text;
    QString m_value;
    XmlElement* m_parent = nullptr;
    std::vector<std::unique_ptr<XmlElement>> m_items;
};

// An XML document in the template format: the declaration and one root element. It is read by its
// own rules, not as standard XML: only ">" ends a tag (quotes do not count), only the first blank
// separates the name, "--->" does not end a comment, and the end of the stream closes what is open.
class XmlDocument {
public:
    XmlDocument();

    XmlElement& root() { return *m_root; }
    void clear();

    // Each element on a line of its own, two blanks per level, lines ending in CR LF.
    bool autoIndent() const { return m_autoIndent; }
    void setAutoIndent(bool value) { m_autoIndent = value; }
    // Set by the reader for old-format files, whose attribute text is in an 8-bit code page.
    bool isOldFormat() const { return m_oldFormat; }

    // Throws Exception("Invalid file format") when the layer is broken; the document then holds
    // what was read before.
    void loadFromStream(QIODevice& stream, bool allowPartialLoading = false);
    void saveToStream(QIODevice& stream) const;
    void loadFromFile(const QString& fileName);
    void saveToFile(const QString& fileName) const;

private:
    std::unique_ptr<XmlElement> m_root;
    bool m_autoIndent = false;
    bool m_oldFormat = false;
};

} // namespace quittung::report
