#include "report/export/pdf/pdf_export.h"

#include "report/export/export_files.h"

#include "report/document/engine_host.h"
#include "report/document/engine_messages.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/export/pdf/pdf_document.h"
#include "report/export/pdf/pdf_security.h"
#include "runtime/exception.h"
#include "runtime/file_numbers.h"
#include "runtime/messages.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>

#include <algorithm>
#include <cmath>

namespace quittung::report {

namespace {

QByteArray number(qint64 value)
{
    return QByteArray::number(value);
}

QByteArray reference(int objectNumber)
{
    return number(objectNumber) + " 0 R";
}

// A web link as a literal string when it reads as one unchanged, else as UTF-16 hex.
bool isPlainLiteral(const QString& text)
{
    int depth = 0;
    for (const QChar c : text) {
        if (c.unicode() < 32 || c.unicode() > 126 || c == QLatin1Char('\\'))
            return false;
        if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')') && --depth < 0)
            return false;
    }
    return depth == 0;
}

// One bookmark as written: the objects it refers to.
struct OutlineNode {
    const PdfOutlineItem* item = nullptr;
    const PdfPageRecord* page = nullptr;
    int number = 0;
    int parent = 0;
    int previous = 0;
    int next = 0;
    int first = 0;
    int last = 0;
    int count = 0;
};

// Numbers the exported items below `parent` depth-first and appends them to `nodes`; returns the
// indexes of the direct children in `nodes`.
std::vector<std::size_t> numberOutline(const std::vector<PdfOutlineItem>& items, int parent,
    const PdfDocumentWriter& document, std::vector<OutlineNode>& nodes, int& nextNumber)
{
    std::vector<std::size_t> children;
    for (const PdfOutlineItem& item : items) {
        const PdfPageRecord* page = document.finishedPage(item.page);
        if (!page)
            continue;
        const std::size_t at = nodes.size();
        nodes.push_back({&item, page, nextNumber++, parent});
        if (!children.empty()) {
            nodes[children.back()].next = nodes[at].number;
            nodes[at].previous = nodes[children.back()].number;
        }
        children.push_back(at);
        const std::vector<std::size_t> below =
            numberOutline(item.children, nodes[at].number, document, nodes, nextNumber);
        if (!below.empty()) {
            nodes[at].first = nodes[below.front()].number;
            nodes[at].last = nodes[below.back()].number;
            nodes[at].count = int(below.size());
        }
    }
    return children;
}

} // namespace

PdfExport::PdfExport()
{
    setDefaultExt(QStringLiteral(".pdf"));
}

PdfExport::~PdfExport() = default;

QString PdfExport::getDescription() const
{
    return engineMessage(QStringLiteral("expPDFDescription"));
}

bool PdfExport::start()
{
    endDocument();
    // The export gives the file its whole name (ExportFilter::targetFileName).
    if (fileName().isEmpty() && !stream())
        return false;

    if (!stream() && !files())
        return false;
    m_out = stream() ? stream() : &files()->open(fileName());
    try {
        m_document = std::make_unique<PdfDocumentWriter>(*m_out);
        const QUuid guid = m_uuidSource ? m_uuidSource() : QUuid::createUuid();
        m_fileId = QCryptographicHash::hash(guid.toString(QUuid::WithBraces).toUpper().toLatin1(),
            QCryptographicHash::Md5).toHex();
        m_embedding = m_embeddedFonts;
        if (!m_userPassword.isEmpty() || !m_ownerPassword.isEmpty()) {
            const int permissions = -64 + (m_protectionFlags.testFlag(Permission::Print) ? 4 : 0)
                + (m_protectionFlags.testFlag(Permission::Modify) ? 8 : 0)
                + (m_protectionFlags.testFlag(Permission::Copy) ? 16 : 0)
                + (m_protectionFlags.testFlag(Permission::Annotate) ? 32 : 0);
            m_document->setSecurity(std::make_unique<PdfSecurity>(
                m_userPassword, m_ownerPassword, permissions, QByteArray::fromHex(m_fileId)));
            m_embedding = m_embedFontsIfProtected;
        }
        m_content.exportNotPrintable = exportNotPrintable();
        m_document->writeLine("%PDF-1.5");
        // The page tree, written last.
        m_document->reserveObject();
    } catch (...) {
        endDocument();
        throw;
    }
    return true;
}

void PdfExport::startPage(const ReportPage& page, int index)
{
    m_document->pageImages.clear();
    m_document->pageAnnotations.clear();
    m_page = std::make_unique<PdfPageContent>(*m_document, m_content, page, index, preparedPages());
    m_document->pages.push_back({index, m_page->geometry().height, 0});
    m_page->writePageColor(page);
}

void PdfExport::exportObject(const ReportObject& object)
{
    m_page->writeObject(object);
}

void PdfExport::finishPage(const ReportPage&, int)
{
    PdfDocumentWriter& document = *m_document;
    QByteArray content = m_page->content();
    const qsizetype rawLength = content.size();
    QByteArray lengths = "/Length " + number(rawLength);
    if (m_compressed) {
        content = PdfDocumentWriter::deflated(content);
        lengths = "/Filter /FlateDecode /Length " + number(content.size()) + " /Length1 " + number(rawLength);
    }
    const int contentObject = document.beginNewObject();
    document.writeLine("<< " + lengths + " >>");
    // Plain content ends with its own line break, unless encryption changed its bytes.
    document.writeStreamBody(contentObject, content, m_compressed || document.security());
    document.endObject();

    for (PdfDocumentFont& font : document.fonts) {
        if (font.reference == 0)
            font.reference = document.reserveObject();
    }

    const PdfPageGeometry& geometry = m_page->geometry();
    const int pageObject = document.beginNewObject();
    document.pages.back().objectNumber = pageObject;
    document.writeLine("<<");
    document.writeLine("/Type /Page");
    document.writeLine("/Parent 1 0 R");
    QByteArray mediaBox = "/MediaBox [0 0 ";
    appendPdfNumber(mediaBox, geometry.width);
    mediaBox += ' ';
    appendPdfNumber(mediaBox, geometry.height);
    document.writeLine(mediaBox + " ]");
    if (!document.pageAnnotations.empty()) {
        document.writeLine("/Annots [");
        for (const int annotation : document.pageAnnotations)
            document.writeLine(reference(annotation));
        document.writeLine("]");
    }
    document.writeLine("/Resources <<");
    QByteArray fonts = "/Font << ";
    for (std::size_t i = 0; i < document.fonts.size(); ++i)
        fonts += "/F" + number(qint64(i)) + ' ' + reference(document.fonts[i].reference) + ' ';
    document.writeLine(fonts + ">>");
    if (!document.pageImages.empty()) {
        QByteArray images = "/XObject << ";
        std::vector<int> listed;
        for (const int image : document.pageImages) {
            if (std::find(listed.begin(), listed.end(), image) != listed.end())
                continue;
            listed.push_back(image);
            images += "/Im" + number(image) + ' '
                + reference(document.images.at(std::size_t(image)).objectNumber) + ' ';
        }
        document.writeLine(images + ">>");
    }
    document.writeLine("/ProcSet [/PDF /Text /ImageC ]");
    document.writeLine(">>");
    document.writeLine("/Contents " + reference(contentObject));
    document.writeLine(">>");
    document.endObject();

    document.forgetImageDigests();
    m_page.reset();
}

void PdfExport::finish()
{
    if (!m_document)
        return;
    try {
        writeFonts();
        writePageTree();
        const int information = writeInformation();
        const int outlineRoot = writeOutline();
        writeAnnotations();
        const int catalog = writeCatalog(outlineRoot);
        writeCrossReferenceAndTrailer(catalog, information);
    } catch (...) {
        endDocument();
        throw;
    }
    endDocument();
}

void PdfExport::filesPublished(const QStringList& fileNames)
{
    if (!m_openAfterExport)
        return;
    for (const QString& file : fileNames)
        host().openFile(file);
}

void PdfExport::writeFonts()
{
    PdfDocumentWriter& document = *m_document;
    for (PdfDocumentFont& entry : document.fonts) {
        PdfFont& font = *entry.font;
        int fontFile = 0;
        if (m_embedding) {
            font.setCommonCharacters(m_commonSubsetCharacters);
            const QByteArray data = font.getFontFile(host());
            const QByteArray stored = m_compressed ? font.deflatedFontData() : data;
            fontFile = document.beginNewObject();
            document.write(PdfFont::streamDictionary(stored.size(), data.size(), m_compressed));
            document.writeStreamBody(fontFile, stored, true);
            document.endObject();
        }
        const int descriptor = document.beginNewObject();
        document.write(font.fontDescriptorDictionary(fontFile));
        document.endObject();

        const QByteArray map = font.toUnicodeMap();
        const QByteArray storedMap = m_compressed ? PdfDocumentWriter::deflated(map) : map;
        const int toUnicode = document.beginNewObject();
        document.write(PdfFont::streamDictionary(storedMap.size(), map.size(), m_compressed));
        document.writeStreamBody(toUnicode, storedMap, false);
        document.endObject();

        const int systemInfo = document.beginNewObject();
        document.write(PdfFont::cidSystemInfoDictionary());
        document.endObject();

        const int descendant = document.beginNewObject();
        document.write(font.descendantFontDictionary(systemInfo, descriptor));
        document.endObject();

        // A font no finished page refers to (its page ended in an error) still gets its objects.
        if (entry.reference == 0)
            entry.reference = document.reserveObject();
        document.beginObject(entry.reference);
        document.write(font.fontDictionary(descendant, toUnicode));
        document.endObject();
    }
}

void PdfExport::writePageTree()
{
    PdfDocumentWriter& document = *m_document;
    document.beginObject(1);
    document.writeLine("<<");
    document.writeLine("/Type /Pages");
    QByteArray kids = "/Kids [";
    int count = 0;
    for (const PdfPageRecord& page : document.pages) {
        if (page.objectNumber == 0)
            continue;
        kids += reference(page.objectNumber) + ' ';
        ++count;
    }
    document.writeLine(kids + ']');
    document.writeLine("/Count " + number(count));
    document.writeLine(">>");
    document.endObject();
}

int PdfExport::writeInformation()
{
    PdfDocumentWriter& document = *m_document;
    const QDateTime now = report() ? report()->now() : QDateTime::currentDateTime();
    const QByteArray date = "D:" + now.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
    const int information = document.beginNewObject();
    document.writeLine("<<");
    const std::pair<const char*, const QString*> texts[] = {
        {"/Title ", &m_title},
        {"/Author ", &m_author},
        {"/Subject ", &m_subject},
        {"/Keywords ", &m_keywords},
        {"/Creator ", &m_creator},
        {"/Producer ", &m_producer},
    };
    for (const auto& [key, text] : texts)
        document.writeLine(key + document.textString(information, *text));
    document.writeLine("/CreationDate " + document.literalString(information, date));
    document.writeLine("/ModDate " + document.literalString(information, date));
    document.writeLine(">>");
    document.endObject();
    return information;
}

int PdfExport::writeOutline()
{
    PdfDocumentWriter& document = *m_document;
    if (!m_outline)
        return 0;
    std::vector<OutlineNode> nodes;
    const int root = document.objectCount() + 1;
    int nextNumber = root + 1;
    const std::vector<std::size_t> top = numberOutline(m_outlineItems, root, document, nodes, nextNumber);
    if (top.empty())
        return 0;

    document.beginNewObject();
    document.writeLine("<<");
    document.writeLine("/Type /Outlines");
    document.writeLine("/Count " + number(qint64(top.size())));
    document.writeLine("/First " + reference(nodes[top.front()].number));
    document.writeLine("/Last " + reference(nodes[top.back()].number));
    document.writeLine(">>");
    document.endObject();
    for (const OutlineNode& node : nodes) {
        document.beginNewObject();
        document.writeLine("<<");
        document.writeLine("/Title " + document.textString(node.number, node.item->title));
        document.writeLine("/Parent " + reference(node.parent));
        if (node.previous)
            document.writeLine("/Prev " + reference(node.previous));
        if (node.next)
            document.writeLine("/Next " + reference(node.next));
        if (node.first) {
            document.writeLine("/First " + reference(node.first));
            document.writeLine("/Last " + reference(node.last));
            document.writeLine("/Count " + number(node.count));
        }
        const auto y = qint64(std::lround(node.page->height - node.item->top * 0.75));
        document.writeLine("/Dest [" + reference(node.page->objectNumber) + " /XYZ 0 " + number(y) + " 0]");
        document.writeLine(">>");
        document.endObject();
    }
    return root;
}

void PdfExport::writeAnnotations()
{
    PdfDocumentWriter& document = *m_document;
    for (const PdfAnnotation& annotation : document.annotations) {
        document.beginObject(annotation.objectNumber);
        document.writeLine("<<");
        document.writeLine("/Type /Annot");
        document.writeLine("/Subtype /Link");
        document.writeLine("/Rect [" + annotation.rect + ']');
        if (annotation.destinationPage < 0) {
            QByteArray uri;
            if (isPlainLiteral(annotation.hyperlink)) {
                // Balanced parentheses need no escapes, unless encryption changes the bytes.
                const QByteArray text = annotation.hyperlink.toLatin1();
                uri = document.security() ? document.literalString(annotation.objectNumber, text) : '(' + text + ')';
            } else {
                const QByteArray utf16 = PdfDocumentWriter::utf16BigEndian(annotation.hyperlink);
                uri = document.security() ? document.literalString(annotation.objectNumber, utf16)
                                          : PdfDocumentWriter::hexString(utf16);
            }
            document.writeLine("/BS << /W 0 >>");
            document.writeLine("/A <<");
            document.writeLine("/URI " + uri);
            document.writeLine("/Type /Action");
            document.writeLine("/S /URI");
            document.writeLine(">>");
        } else {
            document.writeLine("/Border [16 16 0]");
            // A jump to a page outside the exported range goes nowhere rather than to a missing object.
            if (const PdfPageRecord* page = document.finishedPage(annotation.destinationPage)) {
                document.writeLine("/Dest [" + reference(page->objectNumber) + " /XYZ null "
                    + number(annotation.destinationY) + " null]");
            }
        }
        document.writeLine(">>");
        document.endObject();
    }
}

int PdfExport::writeCatalog(int outlineRoot)
{
    PdfDocumentWriter& document = *m_document;
    const int catalog = document.beginNewObject();
    document.writeLine("<<");
    document.writeLine("/Type /Catalog");
    document.writeLine("/Pages 1 0 R");
    document.writeLine(m_outline ? "/PageMode /UseOutlines" : "/PageMode /UseNone");
    if (m_outline)
        document.writeLine("/Outlines " + reference(outlineRoot));
    document.writeLine("/ViewerPreferences <<");
    const std::pair<bool, const char*> preferences[] = {
        {!m_title.isEmpty(), "/DisplayDocTitle true"},
        {m_hideToolbar, "/HideToolbar true"},
        {m_hideMenubar, "/HideMenubar true"},
        {m_hideWindowUi, "/HideWindowUI true"},
        {m_fitWindow, "/FitWindow true"},
        {m_centerWindow, "/CenterWindow true"},
        {!m_printScaling, "/PrintScaling /None"},
    };
    for (const auto& [on, line] : preferences) {
        if (on)
            document.writeLine(line);
    }
    document.writeLine(">>");
    document.writeLine(">>");
    document.endObject();
    return catalog;
}

void PdfExport::writeCrossReferenceAndTrailer(int catalog, int information)
{
    PdfDocumentWriter& document = *m_document;
    const qint64 crossReference = document.offset();
    const QByteArray size = number(document.objectCount() + 1);
    document.writeLine("xref");
    document.writeLine("0 " + size);
    document.writeLine("0000000000 65535 f");
    for (const qint64 offset : document.crossReference())
        document.writeLine(number(offset).rightJustified(10, '0') + " 00000 n");
    document.writeLine("trailer");
    document.writeLine("<<");
    document.writeLine("/Size " + size);
    document.writeLine("/Root " + reference(catalog));
    document.writeLine("/Info " + reference(information));
    document.writeLine("/ID [<" + m_fileId + "><" + m_fileId + ">]");
    if (const PdfSecurity* security = document.security()) {
        document.writeLine("/Encrypt <<");
        document.writeLine("/Filter /Standard");
        document.writeLine("/V 2");
        document.writeLine("/R 3");
        document.writeLine("/Length 128");
        document.writeLine("/P " + number(security->permissions()));
        document.writeLine("/O " + PdfDocumentWriter::escapedLiteral(security->ownerEntry()));
        document.writeLine("/U " + PdfDocumentWriter::escapedLiteral(security->userEntry()));
        document.writeLine(">>");
    }
    document.writeLine(">>");
    document.writeLine("startxref");
    document.writeLine(number(crossReference));
    document.writeLine("%%EOF");
}

void PdfExport::endDocument()
{
    m_page.reset();
    m_document.reset();
    m_out = nullptr;
    m_fileId.clear();
}

} // namespace quittung::report
