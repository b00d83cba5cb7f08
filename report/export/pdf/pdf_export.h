#pragma once

#include "report/export/export_filter.h"
#include "report/export/pdf/pdf_page_content.h"

#include <QByteArray>
#include <QFlags>
#include <QString>
#include <QUuid>

#include <functional>
#include <memory>
#include <vector>

class QFile;
class QIODevice;

namespace quittung::report {

class PdfDocumentWriter;

// A bookmark of the PDF outline: its title, the page (0-based) and the height on it in report
// pixels, and the bookmarks below it.
struct PdfOutlineItem {
    QString title;
    int page = 0;
    double top = 0;
    std::vector<PdfOutlineItem> children;
};

// Writes the prepared pages as one PDF 1.5 file: per page a content stream (deflated) and a page
// object, then the fonts with their embedded subsets, the page tree, the document information, the
// outline, the link annotations, the catalog, the cross-reference table and the trailer.
class PdfExport : public ExportFilter {
public:
    enum class Permission : int { Print = 1, Modify = 2, Copy = 4, Annotate = 8 };
    Q_DECLARE_FLAGS(Permissions, Permission)

    PdfExport();
    ~PdfExport() override;

    QString getDescription() const override;
    bool start() override;
    void startPage(const ReportPage& page, int index) override;
    void exportObject(const ReportObject& object) override;
    void finishPage(const ReportPage& page, int index) override;
    void finish() override;
    // Opens the files with the desktop's program when openAfterExport() is set.
    void filesPublished(const QStringList& fileNames) override;

    bool compressed() const { return m_compressed; }
    void setCompressed(bool value) { m_compressed = value; }
    bool embeddedFonts() const { return m_embeddedFonts; }
    void setEmbeddedFonts(bool value) { m_embeddedFonts = value; }
    // Characters every embedded font subset holds besides the used ones (see PdfFont): many
    // documents of one kind then share their font data, cut and deflated once. None by default.
    const QString& commonSubsetCharacters() const { return m_commonSubsetCharacters; }
    void setCommonSubsetCharacters(const QString& value) { m_commonSubsetCharacters = value; }
    // Takes the place of embeddedFonts() when the document is protected.
    bool embedFontsIfProtected() const { return m_embedFontsIfProtected; }
    void setEmbedFontsIfProtected(bool value) { m_embedFontsIfProtected = value; }
    // Opens the finished file with the program the desktop associates with it (the engine's host).
    bool openAfterExport() const { return m_openAfterExport; }
    void setOpenAfterExport(bool value) { m_openAfterExport = value; }
    // Views drawn as images at three times the resolution.
    bool printOptimized() const { return m_content.printOptimized; }
    void setPrintOptimized(bool value) { m_content.printOptimized = value; }
    bool outline() const { return m_outline; }
    void setOutline(bool value) { m_outline = value; }
    // Also embeds the page's colour and frame as an image.
    bool background() const { return m_content.background; }
    void setBackground(bool value) { m_content.background = value; }
    // Text objects that use HTML-like tags are embedded as images.
    bool htmlTags() const { return m_content.htmlTags; }
    void setHtmlTags(bool value) { m_content.htmlTags = value; }

    const QString& title() const { return m_title; }
    void setTitle(const QString& value) { m_title = value; }
    const QString& author() const { return m_author; }
    void setAuthor(const QString& value) { m_author = value; }
    const QString& subject() const { return m_subject; }
    void setSubject(const QString& value) { m_subject = value; }
    const QString& keywords() const { return m_keywords; }
    void setKeywords(const QString& value) { m_keywords = value; }
    const QString& creator() const { return m_creator; }
    void setCreator(const QString& value) { m_creator = value; }
    const QString& producer() const { return m_producer; }
    void setProducer(const QString& value) { m_producer = value; }

    // Either one non-empty protects the document (standard security handler, RC4 128 bits).
    const QByteArray& userPassword() const { return m_userPassword; }
    void setUserPassword(const QByteArray& value) { m_userPassword = value; }
    const QByteArray& ownerPassword() const { return m_ownerPassword; }
    void setOwnerPassword(const QByteArray& value) { m_ownerPassword = value; }
    // What a protected document permits.
    Permissions protectionFlags() const { return m_protectionFlags; }
    void setProtectionFlags(Permissions value) { m_protectionFlags = value; }

    // Viewer preferences.
    bool hideToolbar() const { return m_hideToolbar; }
    void setHideToolbar(bool value) { m_hideToolbar = value; }
    bool hideMenubar() const { return m_hideMenubar; }
    void setHideMenubar(bool value) { m_hideMenubar = value; }
    bool hideWindowUi() const { return m_hideWindowUi; }
    void setHideWindowUi(bool value) { m_hideWindowUi = value; }
    bool fitWindow() const { return m_fitWindow; }
    void setFitWindow(bool value) { m_fitWindow = value; }
    bool centerWindow() const { return m_centerWindow; }
    void setCenterWindow(bool value) { m_centerWindow = value; }
    // When off, the viewer is told not to scale the pages when printing.
    bool printScaling() const { return m_printScaling; }
    void setPrintScaling(bool value) { m_printScaling = value; }

    // The bookmarks written with outline() on; the preparation keeps no outline of its own.
    const std::vector<PdfOutlineItem>& outlineItems() const { return m_outlineItems; }
    void setOutlineItems(std::vector<PdfOutlineItem> items) { m_outlineItems = std::move(items); }

    // Where the document identifier's GUID comes from (a fresh one by default); for tests.
    void setUuidSource(std::function<QUuid()> source) { m_uuidSource = std::move(source); }

protected:
    // The document being written, from start() to the end of finish(); null otherwise.
    PdfDocumentWriter* document() const { return m_document.get(); }

private:
    void writeFonts();
    void writePageTree();
    int writeInformation();
    int writeOutline();
    void writeAnnotations();
    int writeCatalog(int outlineRoot);
    void writeCrossReferenceAndTrailer(int catalog, int information);
    // Frees the per-export state and closes the file the export opened.
    void endDocument();

    bool m_compressed = true;
    bool m_embeddedFonts = false;
    QString m_commonSubsetCharacters;
    bool m_embedFontsIfProtected = true;
    bool m_openAfterExport = false;
    bool m_outline = false;
    PdfContentOptions m_content;
    QString m_title;
    QString m_author;
    QString m_subject;
    QString m_keywords;
    QString m_creator;
    QString m_producer;
    QByteArray m_userPassword;
    QByteArray m_ownerPassword;
    Permissions m_protectionFlags = Permissions::fromInt(15); // all four
    bool m_hideToolbar = false;
    bool m_hideMenubar = false;
    bool m_hideWindowUi = false;
    bool m_fitWindow = false;
    bool m_centerWindow = false;
    bool m_printScaling = false;
    std::vector<PdfOutlineItem> m_outlineItems;
    std::function<QUuid()> m_uuidSource;

    // Per-export state, from start() to the end of finish().
    QIODevice* m_out = nullptr;
    std::unique_ptr<PdfDocumentWriter> m_document;
    std::unique_ptr<PdfPageContent> m_page;
    QByteArray m_fileId; // 32 lower-case hex digits
    bool m_embedding = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(PdfExport::Permissions)

} // namespace quittung::report
