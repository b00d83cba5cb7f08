#pragma once

#include "report/document/property_object.h"

#include <QByteArray>
#include <QDateTime>
#include <QStringList>

namespace quittung::report {

// Date-times are stored as days since 30 December 1899, the fraction being the time of day.
double dateTimeToDays(const QDateTime& dateTime);
QDateTime daysToDateTime(double days);

enum class SilentMode { MessageBoxes, Silent, Rethrow };

class EngineOptions : public PropertyObject {
public:
    QString className() const override { return QStringLiteral("TfrxEngineOptions"); }
    const PropertyTable& properties() const override;

    // ConvertNulls True, DoublePass False, IgnoreDevByZero False; the rest keeps its values.
    void clear();

    bool convertNulls() const { return m_convertNulls; }
    void setConvertNulls(bool value) { m_convertNulls = value; }
    bool doublePass() const { return m_doublePass; }
    void setDoublePass(bool value) { m_doublePass = value; }
    int maxMemSize() const { return m_maxMemSize; }
    void setMaxMemSize(int value) { m_maxMemSize = value; }
    bool printIfEmpty() const { return m_printIfEmpty; }
    void setPrintIfEmpty(bool value) { m_printIfEmpty = value; }
    // An older view of NewSilentMode: True is simSilent, False simMessageBoxes.
    bool silentMode() const { return m_newSilentMode == SilentMode::Silent; }
    void setSilentMode(bool value);
    SilentMode newSilentMode() const { return m_newSilentMode; }
    void setNewSilentMode(SilentMode value) { m_newSilentMode = value; }
    const QString& tempDir() const { return m_tempDir; }
    void setTempDir(const QString& value) { m_tempDir = value; }
    bool useFileCache() const { return m_useFileCache; }
    void setUseFileCache(bool value) { m_useFileCache = value; }
    bool ignoreDevByZero() const { return m_ignoreDevByZero; }
    void setIgnoreDevByZero(bool value) { m_ignoreDevByZero = value; }

private:
    bool m_convertNulls = true;
    bool m_doublePass = false;
    int m_maxMemSize = 10;
    bool m_printIfEmpty = true;
    SilentMode m_newSilentMode = SilentMode::MessageBoxes;
    QString m_tempDir;
    bool m_useFileCache = false;
    bool m_ignoreDevByZero = false;
};

// The preview window's buttons, as bits of PreviewOptions.buttons.
enum class PreviewButton : int {
    Print = 1,
    Load = 2,
    Save = 4,
    Export = 8,
    Zoom = 16,
    Find = 32,
    Outline = 64,
    PageSetup = 128,
    Tools = 256,
    Edit = 512,
    Navigator = 1024,
    ExportQuick = 2048,
    NoClose = 4096,
    NoFullScreen = 8192,
    NoEmail = 16384,
};
Q_DECLARE_FLAGS(PreviewButtons, PreviewButton)
Q_DECLARE_OPERATORS_FOR_FLAGS(PreviewButtons)

enum class ZoomMode { Default, WholePage, PageWidth, ManyPages };

class PreviewOptions : public PropertyObject {
public:
    QString className() const override { return QStringLiteral("TfrxPreviewOptions"); }
    const PropertyTable& properties() const override;

    // Resets the outline, the page cache and the thumbnails; buttons, zoom and modality stay.
    void clear();

    bool allowEdit() const { return m_allowEdit; }
    void setAllowEdit(bool value) { m_allowEdit = value; }
    PreviewButtons buttons() const { return m_buttons; }
    void setButtons(PreviewButtons value) { m_buttons = value & PreviewButtons::fromInt(0x7FFF); }
    bool doubleBuffered() const { return m_doubleBuffered; }
    void setDoubleBuffered(bool value) { m_doubleBuffered = value; }
    bool maximized() const { return m_maximized; }
    void setMaximized(bool value) { m_maximized = value; }
    bool mdiChild() const { return m_mdiChild; }
    void setMdiChild(bool value) { m_mdiChild = value; }
    bool modal() const { return m_modal; }
    void setModal(bool value) { m_modal = value; }
    bool outlineExpand() const { return m_outlineExpand; }
    void setOutlineExpand(bool value) { m_outlineExpand = value; }
    bool outlineVisible() const { return m_outlineVisible; }
    void setOutlineVisible(bool value) { m_outlineVisible = value; }
    int outlineWidth() const { return m_outlineWidth; }
    void setOutlineWidth(int value) { m_outlineWidth = value; }
    int pagesInCache() const { return m_pagesInCache; }
    void setPagesInCache(int value) { m_pagesInCache = value; }
    bool thumbnailVisible() const { return m_thumbnailVisible; }
    void setThumbnailVisible(bool value) { m_thumbnailVisible = value; }
    bool showCaptions() const { return m_showCaptions; }
    void setShowCaptions(bool value) { m_showCaptions = value; }
    double zoom() const { return m_zoom; }
    void setZoom(double value) { m_zoom = value; }
    ZoomMode zoomMode() const { return m_zoomMode; }
    void setZoomMode(ZoomMode value) { m_zoomMode = value; }
    bool pictureCacheInFile() const { return m_pictureCacheInFile; }
    void setPictureCacheInFile(bool value) { m_pictureCacheInFile = value; }

private:
    bool m_allowEdit = true;
    PreviewButtons m_buttons = PreviewButtons::fromInt(4095); // Print .. ExportQuick
    bool m_doubleBuffered = true;
    bool m_maximized = true;
    bool m_mdiChild = false;
    bool m_modal = true;
    bool m_outlineExpand = true;
    bool m_outlineVisible = false;
    int m_outlineWidth = 120;
    int m_pagesInCache = 50;
    bool m_thumbnailVisible = false;
    bool m_showCaptions = false;
    double m_zoom = 1;
    ZoomMode m_zoomMode = ZoomMode::Default;
    bool m_pictureCacheInFile = false;
};

enum class PrintMode { Default, Split, Join, Scale };
enum class PrintPages { All, Odd, Even };

class PrintOptions : public PropertyObject {
public:
    QString className() const override { return QStringLiteral("TfrxPrintOptions"); }
    const PropertyTable& properties() const override;

    // Everything back to its start value except SwapPageSize.
    void clear();

    int copies() const { return m_copies; }
    void setCopies(int value) { m_copies = value; }
    bool collate() const { return m_collate; }
    void setCollate(bool value) { m_collate = value; }
    const QString& pageNumbers() const { return m_pageNumbers; }
    void setPageNumbers(const QString& value) { m_pageNumbers = value; }
    // A name no installed printer has leaves the printer selection as it is.
    const QString& printer() const { return m_printer; }
    void setPrinter(const QString& value) { m_printer = value; }
    PrintMode printMode() const { return m_printMode; }
    void setPrintMode(PrintMode value) { m_printMode = value; }
    int printOnSheet() const { return m_printOnSheet; }
    void setPrintOnSheet(int value) { m_printOnSheet = value; }
    PrintPages printPages() const { return m_printPages; }
    void setPrintPages(PrintPages value) { m_printPages = value; }
    bool reverse() const { return m_reverse; }
    void setReverse(bool value) { m_reverse = value; }
    bool showDialog() const { return m_showDialog; }
    void setShowDialog(bool value) { m_showDialog = value; }

    // Not part of templates.
    bool swapPageSize() const { return m_swapPageSize; }
    void setSwapPageSize(bool value) { m_swapPageSize = value; }
    int pagesPerSheet() const { return m_pagesPerSheet; }
    void setPagesPerSheet(int value) { m_pagesPerSheet = value; }
    int splicingLine() const { return m_splicingLine; }
    void setSplicingLine(int value) { m_splicingLine = value; }
    int duplex() const { return m_duplex; }
    void setDuplex(int value) { m_duplex = value; }
    // Where a printout goes instead of the printer; empty for the printer itself.
    const QString& prnOutFileName() const { return m_prnOutFileName; }
    void setPrnOutFileName(const QString& value) { m_prnOutFileName = value; }

private:
    int m_copies = 1;
    bool m_collate = true;
    QString m_pageNumbers;
    QString m_printer = QStringLiteral("Default");
    PrintMode m_printMode = PrintMode::Default;
    int m_printOnSheet = 0;
    PrintPages m_printPages = PrintPages::All;
    bool m_reverse = false;
    bool m_showDialog = true;
    bool m_swapPageSize = false;
    int m_pagesPerSheet = 0;
    int m_splicingLine = 3;
    int m_duplex = 0;
    QString m_prnOutFileName;
};

class ReportOptions : public PropertyObject {
public:
    QString className() const override { return QStringLiteral("TfrxReportOptions"); }
    const PropertyTable& properties() const override;

    // Empties everything and stamps CreateDate and LastChange with the given moment.
    void clear(const QDateTime& now);

    const QString& author() const { return m_author; }
    void setAuthor(const QString& value) { m_author = value; }
    bool compressed() const { return m_compressed; }
    void setCompressed(bool value) { m_compressed = value; }
    const QString& connectionName() const { return m_connectionName; }
    void setConnectionName(const QString& value) { m_connectionName = value; }
    // Days since 30 December 1899.
    double createDate() const { return m_createDate; }
    void setCreateDate(double value) { m_createDate = value; }
    const QStringList& description() const { return m_description; }
    void setDescription(const QStringList& value) { m_description = value; }
    const QString& initString() const { return m_initString; }
    void setInitString(const QString& value) { m_initString = value; }
    const QString& name() const { return m_name; }
    void setName(const QString& value) { m_name = value; }
    double lastChange() const { return m_lastChange; }
    void setLastChange(double value) { m_lastChange = value; }
    const QString& password() const { return m_password; }
    void setPassword(const QString& value) { m_password = value; }
    // The picture's file data; templates have no text form for it, so only code sets it.
    const QByteArray& picture() const { return m_picture; }
    void setPicture(const QByteArray& value) { m_picture = value; }
    const QString& versionBuild() const { return m_versionBuild; }
    void setVersionBuild(const QString& value) { m_versionBuild = value; }
    const QString& versionMajor() const { return m_versionMajor; }
    void setVersionMajor(const QString& value) { m_versionMajor = value; }
    const QString& versionMinor() const { return m_versionMinor; }
    void setVersionMinor(const QString& value) { m_versionMinor = value; }
    const QString& versionRelease() const { return m_versionRelease; }
    void setVersionRelease(const QString& value) { m_versionRelease = value; }

private:
    QString m_author;
    bool m_compressed = false;
    QString m_connectionName;
    double m_createDate = 0;
    QStringList m_description;
    QString m_initString;
    QString m_name;
    double m_lastChange = 0;
    QString m_password;
    QByteArray m_picture;
    QString m_versionBuild;
    QString m_versionMajor;
    QString m_versionMinor;
    QString m_versionRelease;
};

} // namespace quittung::report
