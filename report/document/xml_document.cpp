#include "report/document/xml_document.h"

#include "report/document/engine_messages.h"
#include "runtime/exception.h"
#include "runtime/messages.h"
#include "runtime/safe_file.h"
#include "runtime/windows1252.h"

#include <QFile>
#include <QIODevice>

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>

namespace quittung::report {

namespace {

constexpr qsizetype kBufferSize = 4096;
// Templates nest three levels; a deeper file is broken or hostile.
constexpr std::size_t kMaxDepth = 1000;
// Receipt templates hold about a hundred elements, large reports a few hundred. Objects are found by
// name while a template is read, which takes time growing with the square of their count, so a
// file of more elements is refused rather than read for minutes.
constexpr std::size_t kMaxElements = 5000;

[[noreturn]] void throwInvalidFormat()
{
    throw Exception(engineMessage(QStringLiteral("xrInvalidFileFormat")));
}

// The attribute "name" in attribute text: the position of its name and of its value's quotes.
struct AttributeSpan {
    qsizetype nameStart = -1;
    qsizetype valueStart = -1; // after the opening quote
    qsizetype valueEnd = -1;   // at the closing quote
};

std::optional<AttributeSpan> findAttribute(const QString& text, const QString& name)
{
    qsizetype i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == QLatin1Char(' '))
            ++i;
        const qsizetype equals = text.indexOf(QLatin1Char('='), i);
        if (equals < 0)
            return std::nullopt;
        const QString attribute = text.mid(i, equals - i).trimmed();
        const qsizetype open = text.indexOf(QLatin1Char('"'), equals);
        if (open < 0)
            return std::nullopt;
        qsizetype close = text.indexOf(QLatin1Char('"'), open + 1);
        if (close < 0)
            close = text.size();
        if (attribute.compare(name, Qt::CaseInsensitive) == 0)
            return AttributeSpan{i, open + 1, close};
        i = close + 1;
    }
    return std::nullopt;
}

// Reads tags from a byte stream through a buffer.
class TagReader {
public:
    explicit TagReader(QIODevice& stream) : m_stream(stream) {}

    struct Tag {
        QByteArray name;
        QByteArray text;
        bool endOfDocument = false;
    };

    Tag next()
    {
        for (;;) {
            // Outside a tag: skip everything up to "<".
            for (;;) {
                if (!fill())
                    return {{}, {}, true};
                const char* start = m_buffer.constData() + m_position;
                const auto* lt = static_cast<const char*>(std::memchr(start, '<', std::size_t(m_buffer.size() - m_position)));
                if (lt) {
                    m_position += (lt - start) + 1;
                    break;
                }
                m_position = m_buffer.size();
            }

            QByteArray tag;
            // The first three bytes decide whether this is a comment.
            while (tag.size() < 3) {
                const int byte = get();
                if (byte < 0 || byte == '<')
                    throwInvalidFormat();
                if (byte == '>')
                    return split(tag);
                tag.append(static_cast<char>(byte));
            }
            if (tag == "!--") {
                if (!skipComment())
                    return {{}, {}, true};
                continue;
            }
            for (;;) {
                if (!fill())
                    throwInvalidFormat();
                const char* data = m_buffer.constData();
                qsizetype end = m_position;
                while (end < m_buffer.size() && data[end] != '>' && data[end] != '<')
                    ++end;
                tag.append(data + m_position, end - m_position);
                m_position = end;
                if (end < m_buffer.size()) {
                    ++m_position;
                    if (data[end] == '<')
                        throwInvalidFormat();
                    return split(tag);
                }
            }
        }
    }

private:
    // A comment ends at a ">" after exactly two dashes; a third dash starts the count anew. False
    // when the stream ends inside it.
    bool skipComment()
    {
        int dashes = 0;
        for (;;) {
            const int byte = get();
            if (byte < 0)
                return false;
            if (byte == '>' && dashes == 2)
                return true;
            dashes = byte == '-' && dashes < 2 ? dashes + 1 : 0;
        }
    }

    // The name and the attribute text: one trailing blank goes, then the first blank separates.
    static Tag split(QByteArray tag)
    {
        if (tag.endsWith(' '))
            tag.chop(1);
        const qsizetype blank = tag.indexOf(' ');
        if (blank < 0)
            return {tag, {}, false};
        return {tag.left(blank), tag.mid(blank + 1), false};
    }

    // Makes sure the buffer holds unread bytes; false at the end of the stream.
    bool fill()
    {
        if (m_position < m_buffer.size())
            return true;
        m_buffer = m_stream.read(kBufferSize);
        m_position = 0;
        return !m_buffer.isEmpty();
    }

    int get()
    {
        if (!fill())
            return -1;
        return static_cast<unsigned char>(m_buffer[m_position++]);
    }

    QIODevice& m_stream;
    QByteArray m_buffer;
    qsizetype m_position = 0;
};

bool oldFormatDeclaration(const QByteArray& text)
{
    const qsizetype version = text.indexOf("version=");
    const bool version10 = version >= 0 && text.mid(version + 9, 3) == "1.0";
    return version10 && !text.contains("standalone=");
}

void removeFirstLdMark(QString& text)
{
    const qsizetype mark = text.indexOf(QLatin1String(" ld=\"0\""), 0, Qt::CaseInsensitive);
    if (mark >= 0)
        text.remove(mark, 7);
}

class Writer {
public:
    Writer(QIODevice& stream, bool autoIndent) : m_stream(stream), m_autoIndent(autoIndent) {}
    ~Writer() { flush(); }

    void write(const QByteArray& bytes)
    {
        m_buffer += bytes;
        if (m_buffer.size() > kBufferSize)
            flush();
    }
    void lineEnd()
    {
        if (m_autoIndent)
            write("\r\n");
    }
    void indent(int level)
    {
        if (m_autoIndent)
            write(QByteArray(2 * level, ' '));
    }

    void item(const XmlElement& item, int level)
    {
        const std::optional<QByteArray> name = encodeWindows1252(item.name());
        const QByteArray name8 = name.value_or(item.name().toUtf8());
        indent(level);
        write("<" + name8);
        if (!item.text().isEmpty())
            write((item.text().startsWith(QLatin1Char(' ')) ? QByteArray() : QByteArray(" ")) + item.text().toUtf8());
        if (item.count() == 0) {
            if (item.value().isEmpty())
                write("/>");
            else
                write(">" + item.value().toUtf8() + "</" + name8 + ">");
            lineEnd();
            return;
        }
        write(">");
        lineEnd();
        for (int i = 0; i < item.count(); ++i)
            this->item(item.item(i), level + 1);
        indent(level);
        write("</" + name8 + ">");
        lineEnd();
    }

    void flush()
    {
        if (!m_buffer.isEmpty()) {
            if (m_stream.write(m_buffer) != m_buffer.size())
                m_failed = true;
            m_buffer.clear();
        }
    }
    bool failed() const { return m_failed; }

private:
    QIODevice& m_stream;
    bool m_autoIndent;
    QByteArray m_buffer;
    bool m_failed = false;
};

} // namespace

std::optional<qint64> parseXmlInteger(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        negative = text[i++] == QLatin1Char('-');
    int base = 10;
    if (text.mid(i).startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        i += 2;
    } else if (i < text.size() && (text[i] == QLatin1Char('$') || text[i] == QLatin1Char('x') || text[i] == QLatin1Char('X'))) {
        base = 16;
        ++i;
    }
    if (i >= text.size())
        return std::nullopt;
    quint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0)
            return std::nullopt;
        magnitude = magnitude * static_cast<quint64>(base) + static_cast<quint64>(digit);
        if (magnitude > quint64(std::numeric_limits<qint64>::max()))
            return std::nullopt;
    }
    const auto value = static_cast<qint64>(magnitude);
    return negative ? -value : value;
}

QString xmlEscape(const QString& text)
{
    QString result;
    result.reserve(text.size() + 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case 10: result += QLatin1String("&#10;"); break;
        case 13: result += QLatin1String("&#13;"); break;
        case '"': result += QLatin1String("&#34;"); break;
        case '<': result += QLatin1String("&#60;"); break;
        case '>': result += QLatin1String("&#62;"); break;
        case '&':
            if (QStringView(text).mid(i, 6) == QLatin1String("&quot;")) {
                result += QLatin1String("&#34;");
                i += 5;
            } else {
                result += QLatin1String("&#38;");
            }
            break;
        default: result += c;
        }
    }
    return result;
}

QString xmlUnescape(const QString& text)
{
    if (!text.contains(QLatin1Char('&')))
        return text;
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('&')) {
            result += text[i];
            continue;
        }
        const QStringView rest = QStringView(text).mid(i);
        if (rest.startsWith(QLatin1String("&#"))) {
            const qsizetype end = text.indexOf(QLatin1Char(';'), i + 2);
            if (end > i + 2) {
                const std::optional<qint64> code = parseXmlInteger(QStringView(text).mid(i + 2, end - i - 2));
                if (code && *code >= 0 && *code <= 0x10FFFF) {
                    const auto character = static_cast<char32_t>(*code);
                    result += QString::fromUcs4(&character, 1);
                    i = end;
                    continue;
                }
            }
        }
        static const struct {
            const char* entity;
            char character;
        } named[] = {{"&quot;", '"'}, {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}};
        bool replaced = false;
        for (const auto& entity : named) {
            if (rest.startsWith(QLatin1String(entity.entity))) {
                result += QLatin1Char(entity.character);
                i += qsizetype(qstrlen(entity.entity)) - 1;
                replaced = true;
                break;
            }
        }
        if (!replaced)
            result += text[i];
    }
    return result;
}

XmlElement::~XmlElement()
{
    clear();
}

XmlElement& XmlElement::root()
{
    XmlElement* item = this;
    while (item->m_parent)
        item = item->m_parent;
    return *item;
}

XmlElement& XmlElement::add()
{
    return addItem(std::make_unique<XmlElement>());
}

XmlElement& XmlElement::addItem(std::unique_ptr<XmlElement> item)
{
    return insertItem(count(), std::move(item));
}

XmlElement& XmlElement::insertItem(int index, std::unique_ptr<XmlElement> item)
{
    if (item->m_parent)
        item = item->detach();
    XmlElement& raw = *item;
    raw.m_parent = this;
    index = std::clamp(index, 0, count());
    m_items.insert(m_items.begin() + index, std::move(item));
    return raw;
}

std::unique_ptr<XmlElement> XmlElement::detach()
{
    if (!m_parent)
        return nullptr;
    auto& siblings = m_parent->m_items;
    const auto it = std::find_if(siblings.begin(), siblings.end(), [this](const auto& c) { return c.get() == this; });
    std::unique_ptr<XmlElement> self = std::move(*it);
    siblings.erase(it);
    m_parent = nullptr;
    return self;
}

int XmlElement::find(const QString& name) const
{
    for (int i = 0; i < count(); ++i) {
        if (m_items[static_cast<std::size_t>(i)]->m_name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

XmlElement& XmlElement::findItem(const QString& name)
{
    const int index = find(name);
    if (index >= 0)
        return item(index);
    XmlElement& item = add();
    item.m_name = name;
    return item;
}

int XmlElement::indexOf(const XmlElement& item) const
{
    for (int i = 0; i < count(); ++i) {
        if (m_items[static_cast<std::size_t>(i)].get() == &item)
            return i;
    }
    return -1;
}

void XmlElement::clear()
{
    // Deep trees are taken apart from the bottom without recursion.
    std::vector<std::unique_ptr<XmlElement>> pending = std::move(m_items);
    m_items.clear();
    while (!pending.empty()) {
        std::unique_ptr<XmlElement> item = std::move(pending.back());
        pending.pop_back();
        for (auto& child : item->m_items)
            pending.push_back(std::move(child));
        item->m_items.clear();
    }
}

QString XmlElement::getProp(const QString& name) const
{
    const std::optional<AttributeSpan> span = findAttribute(m_text, name);
    return span ? xmlUnescape(m_text.mid(span->valueStart, span->valueEnd - span->valueStart)) : QString();
}

void XmlElement::setProp(const QString& name, const QString& value)
{
    const QString escaped = xmlEscape(value);
    if (const std::optional<AttributeSpan> span = findAttribute(m_text, name)) {
        m_text.replace(span->valueStart, span->valueEnd - span->valueStart, escaped);
        return;
    }
    if (!m_text.isEmpty() && !m_text.endsWith(QLatin1Char(' ')))
        m_text += QLatin1Char(' ');
    m_text += name + QLatin1String("=\"") + escaped + QLatin1Char('"');
}

bool XmlElement::propExists(const QString& name) const
{
    return findAttribute(m_text, name).has_value();
}

void XmlElement::deleteProp(const QString& name)
{
    if (const std::optional<AttributeSpan> span = findAttribute(m_text, name)) {
        qsizetype start = span->nameStart;
        // The blank before the attribute goes with it.
        if (start > 0 && m_text[start - 1] == QLatin1Char(' '))
            --start;
        m_text.remove(start, std::min(span->valueEnd + 1, m_text.size()) - start);
    }
}

XmlDocument::XmlDocument()
    : m_root(std::make_unique<XmlElement>())
{
}

void XmlDocument::clear()
{
    m_root->clear();
    m_root->setName(QString());
    m_root->setText(QString());
    m_root->setValue(QString());
}

void XmlDocument::loadFromStream(QIODevice& stream, bool /*allowPartialLoading*/)
{
    clear();
    TagReader reader(stream);
    const TagReader::Tag declaration = reader.next();
    if (declaration.endOfDocument || !declaration.name.startsWith("?xml"))
        throwInvalidFormat();
    m_oldFormat = oldFormatDeclaration(declaration.text);
    const auto decodeText = [this](const QByteArray& bytes) {
        return m_oldFormat ? decodeWindows1252(bytes) : QString::fromUtf8(bytes);
    };

    // Reads one tag into an element; true when the element has children to read.
    const auto fill = [&](XmlElement& item, TagReader::Tag tag) {
        bool empty = false;
        if (tag.name.endsWith('/')) {
            tag.name.chop(1);
            empty = true;
        } else if (tag.text.endsWith('/')) {
            tag.text.chop(1);
            empty = true;
        }
        item.setName(decodeWindows1252(tag.name));
        QString text = decodeText(tag.text);
        if (!empty)
            removeFirstLdMark(text);
        item.setText(text);
        return !empty;
    };

    const TagReader::Tag rootTag = reader.next();
    if (rootTag.endOfDocument || rootTag.name.startsWith('/'))
        return;
    std::vector<XmlElement*> open;
    if (fill(*m_root, rootTag))
        open.push_back(m_root.get());
    std::size_t elements = 1;
    while (!open.empty()) {
        const TagReader::Tag tag = reader.next();
        if (tag.endOfDocument)
            return; // the end of the stream closes all open elements
        if (tag.name.startsWith('/')) {
            const QString endName = decodeWindows1252(tag.name.mid(1));
            if (endName.compare(open.back()->name(), Qt::CaseInsensitive) != 0)
                throwInvalidFormat();
            open.pop_back();
            continue;
        }
        if (++elements > kMaxElements)
            throwInvalidFormat();
        XmlElement& child = open.back()->add();
        if (fill(child, tag)) {
            if (open.size() >= kMaxDepth)
                throwInvalidFormat();
            open.push_back(&child);
        }
    }
}

void XmlDocument::saveToStream(QIODevice& stream) const
{
    Writer writer(stream, m_autoIndent);
    writer.write("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>");
    writer.lineEnd();
    writer.item(*m_root, 0);
    writer.flush();
    if (writer.failed())
        throw Exception(stream.errorString());
}

void XmlDocument::loadFromFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(formatMessage(msg::SFOpenErrorEx, {fileName, file.errorString()}));
    loadFromStream(file);
}

void XmlDocument::saveToFile(const QString& fileName) const
{
    writeFileSafely(fileName, [this](QIODevice& file) { saveToStream(file); });
}

} // namespace quittung::report
