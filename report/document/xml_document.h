#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QIODevice;

namespace quittung {

// An integer as attribute values and character references write it: optional blanks and sign,
// decimal digits, or hexadecimal after "$", "x" or "0x". Nothing when the text is no such integer.
std::optional<qint64> ParseXmlInteger(QStringView text);

// Attribute values never hold a raw '"', '<', '>', CR or LF: they are written as character
// references. "&quot;" in a value is written as "&#34;" too, so it reads back as '"'.
QString XmlEscape(const QString& text);
// Character references ("&#10;", "&#x41;") and the four named entities; any other '&' stays.
QString XmlUnescape(const QString& text);

// One element: its name, the raw attribute text after the name (decoded, entities still in place),
// its content and its children.
class TfrxXMLItem {
public:
    TfrxXMLItem() = default;
    TfrxXMLItem(const TfrxXMLItem&) = delete;
    TfrxXMLItem& operator=(const TfrxXMLItem&) = delete;
    ~TfrxXMLItem();

    const QString& Name() const { return m_name; }
    void SetName(const QString& name) { m_name = name; }
    const QString& Text() const { return m_text; }
    void SetText(const QString& text) { m_text = text; }
    const QString& Value() const { return m_value; }
    void SetValue(const QString& value) { m_value = value; }

    int Count() const { return static_cast<int>(m_items.size()); }
    TfrxXMLItem& GetItems(int index) const { return *m_items[static_cast<std::size_t>(index)]; }
    TfrxXMLItem* Parent() const { return m_parent; }
    TfrxXMLItem& Root();

    // A new child at the end.
    TfrxXMLItem& Add();
    // Adopts an element, taking it from its old parent.
    TfrxXMLItem& AddItem(std::unique_ptr<TfrxXMLItem> item);
    TfrxXMLItem& InsertItem(int index, std::unique_ptr<TfrxXMLItem> item);
    std::unique_ptr<TfrxXMLItem> Detach();
    // The first child with that name, without regard to case; -1 / a new child when there is none.
    int Find(const QString& name) const;
    TfrxXMLItem& FindItem(const QString& name);
    int IndexOf(const TfrxXMLItem& item) const;
    void Clear();

    // Attributes of the attribute text, found without regard to case. GetProp unescapes; SetProp
    // escapes and replaces the attribute in place or appends it.
    QString GetProp(const QString& name) const;
    void SetProp(const QString& name, const QString& value);
    bool PropExists(const QString& name) const;
    void DeleteProp(const QString& name);

    // Marks of the prepared-page store's partial loading.
    bool Unloadable = false;
    bool Loaded = true;
    qint64 Offset = 0;

private:
    QString m_name;
    QString m_text;
    QString m_value;
    TfrxXMLItem* m_parent = nullptr;
    std::vector<std::unique_ptr<TfrxXMLItem>> m_items;
};

// An XML document in the template format: the declaration and one root element. It is read by its
// own rules, not as standard XML: only ">" ends a tag (quotes do not count), only the first blank
// separates the name, "--->" does not end a comment, and the end of the stream closes what is open.
class TfrxXMLDocument {
public:
    TfrxXMLDocument();

    TfrxXMLItem& Root() { return *m_root; }
    void Clear();

    // Each element on a line of its own, two blanks per level, lines ending in CR LF.
    bool AutoIndent = false;
    // Set by the reader for old-format files, whose attribute text is in an 8-bit code page.
    bool OldVersion = false;

    // Throws Exception("Invalid file format") when the layer is broken; the document then holds
    // what was read before.
    void LoadFromStream(QIODevice& stream, bool allowPartialLoading = false);
    void SaveToStream(QIODevice& stream) const;
    void LoadFromFile(const QString& fileName);
    void SaveToFile(const QString& fileName) const;

private:
    std::unique_ptr<TfrxXMLItem> m_root;
};

} // namespace quittung
