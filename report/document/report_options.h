#pragma once

#include "report/document/persistent.h"

#include <QByteArray>
#include <QDateTime>
#include <QStringList>

namespace quittung {

// Date-times are stored as days since 30 December 1899, the fraction being the time of day.
double DateTimeToDays(const QDateTime& dateTime);
QDateTime DaysToDateTime(double days);

enum class TfrxSilentMode { simMessageBoxes, simSilent, simReThrow };

class TfrxEngineOptions : public TfrxPersistent {
public:
    QString ClassName() const override { return QStringLiteral("TfrxEngineOptions"); }
    const PropertyTable& Properties() const override;

    // ConvertNulls True, DoublePass False, IgnoreDevByZero False; the rest keeps its values.
    void Clear();

    bool ConvertNulls() const { return m_convertNulls; }
    void SetConvertNulls(bool value) { m_convertNulls = value; }
    bool DoublePass() const { return m_doublePass; }
    void SetDoublePass(bool value) { m_doublePass = value; }
    int MaxMemSize() const { return m_maxMemSize; }
    void SetMaxMemSize(int value) { m_maxMemSize = value; }
    bool PrintIfEmpty() const { return m_printIfEmpty; }
    void SetPrintIfEmpty(bool value) { m_printIfEmpty = value; }
    // An older view of NewSilentMode: True is simSilent, False simMessageBoxes.
    bool SilentMode() const { return m_newSilentMode == TfrxSilentMode::simSilent; }
    void SetSilentMode(bool value);
    TfrxSilentMode NewSilentMode() const { return m_newSilentMode; }
    void SetNewSilentMode(TfrxSilentMode value) { m_newSilentMode = value; }
    const QString& TempDir() const { return m_tempDir; }
    void SetTempDir(const QString& value) { m_tempDir = value; }
    bool UseFileCache() const { return m_useFileCache; }
    void SetUseFileCache(bool value) { m_useFileCache = value; }
    bool IgnoreDevByZero() const { return m_ignoreDevByZero; }
    void SetIgnoreDevByZero(bool value) { m_ignoreDevByZero = value; }

private:
    bool m_convertNulls = true;
    bool m_doublePass = false;
    int m_maxMemSize = 10;
    bool m_printIfEmpty = true;
    TfrxSilentMode m_newSilentMode = TfrxSilentMode::simMessageBoxes;
    QString m_tempDir;
    bool m_useFileCache = false;
    bool m_ignoreDevByZero = false;
};

// The preview window's buttons, as bits of PreviewOptions.Buttons.
enum TfrxPreviewButton : int {
    pbPrint = 1,
    pbLoad = 2,
    pbSave = 4,
    pbExport = 8,
    pbZoom = 16,
    pbFind = 32,
    pbOutline = 64,
    pbPageSetup = 128,
    pbTools = 256,
    pbEdit = 512,
    pbNavigator = 1024,
    pbExportQuick = 2048,
    pbNoClose = 4096,
    pbNoFullScreen = 8192,
    pbNoEmail = 16384,
};

enum class TfrxZoomMode { zmDefault, zmWholePage, zmPageWidth, zmManyPages };

class TfrxPreviewOptions : public TfrxPersistent {
public:
    QString ClassName() const override { return QStringLiteral("TfrxPreviewOptions"); }
    const PropertyTable& Properties() const override;

    // Resets the outline, the page cache and the thumbnails; buttons, zoom and modality stay.
    void Clear();

    bool AllowEdit() const { return m_allowEdit; }
    void SetAllowEdit(bool value) { m_allowEdit = value; }
    int Buttons() const { return m_buttons; }
    void SetButtons(int value) { m_buttons = value & 0x7FFF; }
    bool DoubleBuffered() const { return m_doubleBuffered; }
    void SetDoubleBuffered(bool value) { m_doubleBuffered = value; }
    bool Maximized() const { return m_maximized; }
    void SetMaximized(bool value) { m_maximized = value; }
    bool MDIChild() const { return m_mdiChild; }
    void SetMDIChild(bool value) { m_mdiChild = value; }
    bool Modal() const { return m_modal; }
    void SetModal(bool value) { m_modal = value; }
    bool OutlineExpand() const { return m_outlineExpand; }
    void SetOutlineExpand(bool value) { m_outlineExpand = value; }
    bool OutlineVisible() const { return m_outlineVisible; }
    void SetOutlineVisible(bool value) { m_outlineVisible = value; }
    int OutlineWidth() const { return m_outlineWidth; }
    void SetOutlineWidth(int value) { m_outlineWidth = value; }
    int PagesInCache() const { return m_pagesInCache; }
    void SetPagesInCache(int value) { m_pagesInCache = value; }
    bool ThumbnailVisible() const { return m_thumbnailVisible; }
    void SetThumbnailVisible(bool value) { m_thumbnailVisible = value; }
    bool ShowCaptions() const { return m_showCaptions; }
    void SetShowCaptions(bool value) { m_showCaptions = value; }
    double Zoom() const { return m_zoom; }
    void SetZoom(double value) { m_zoom = value; }
    TfrxZoomMode ZoomMode() const { return m_zoomMode; }
    void SetZoomMode(TfrxZoomMode value) { m_zoomMode = value; }
    bool PictureCacheInFile() const { return m_pictureCacheInFile; }
    void SetPictureCacheInFile(bool value) { m_pictureCacheInFile = value; }

private:
    bool m_allowEdit = true;
    int m_buttons = 4095; // pbPrint .. pbExportQuick
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
    TfrxZoomMode m_zoomMode = TfrxZoomMode::zmDefault;
    bool m_pictureCacheInFile = false;
};

enum class TfrxPrintMode { pmDefault, pmSplit, pmJoin, pmScale };
enum class TfrxPrintPages { ppAll, ppOdd, ppEven };

class TfrxPrintOptions : public TfrxPersistent {
public:
    QString ClassName() const override { return QStringLiteral("TfrxPrintOptions"); }
    const PropertyTable& Properties() const override;

    // Everything back to its start value except SwapPageSize.
    void Clear();

    int Copies() const { return m_copies; }
    void SetCopies(int value) { m_copies = value; }
    bool Collate() const { return m_collate; }
    void SetCollate(bool value) { m_collate = value; }
    const QString& PageNumbers() const { return m_pageNumbers; }
    void SetPageNumbers(const QString& value) { m_pageNumbers = value; }
    // A name no installed printer has leaves the printer selection as it is.
    const QString& Printer() const { return m_printer; }
    void SetPrinter(const QString& value) { m_printer = value; }
    TfrxPrintMode PrintMode() const { return m_printMode; }
    void SetPrintMode(TfrxPrintMode value) { m_printMode = value; }
    int PrintOnSheet() const { return m_printOnSheet; }
    void SetPrintOnSheet(int value) { m_printOnSheet = value; }
    TfrxPrintPages PrintPages() const { return m_printPages; }
    void SetPrintPages(TfrxPrintPages value) { m_printPages = value; }
    bool Reverse() const { return m_reverse; }
    void SetReverse(bool value) { m_reverse = value; }
    bool ShowDialog() const { return m_showDialog; }
    void SetShowDialog(bool value) { m_showDialog = value; }

    // Not part of templates.
    bool SwapPageSize() const { return m_swapPageSize; }
    void SetSwapPageSize(bool value) { m_swapPageSize = value; }
    int PagesPerSheet() const { return m_pagesPerSheet; }
    void SetPagesPerSheet(int value) { m_pagesPerSheet = value; }
    int SplicingLine() const { return m_splicingLine; }
    void SetSplicingLine(int value) { m_splicingLine = value; }
    int Duplex() const { return m_duplex; }
    void SetDuplex(int value) { m_duplex = value; }

private:
    int m_copies = 1;
    bool m_collate = true;
    QString m_pageNumbers;
    QString m_printer = QStringLiteral("Default");
    TfrxPrintMode m_printMode = TfrxPrintMode::pmDefault;
    int m_printOnSheet = 0;
    TfrxPrintPages m_printPages = TfrxPrintPages::ppAll;
    bool m_reverse = false;
    bool m_showDialog = true;
    bool m_swapPageSize = false;
    int m_pagesPerSheet = 0;
    int m_splicingLine = 3;
    int m_duplex = 0;
};

class TfrxReportOptions : public TfrxPersistent {
public:
    QString ClassName() const override { return QStringLiteral("TfrxReportOptions"); }
    const PropertyTable& Properties() const override;

    // Empties everything and stamps CreateDate and LastChange with the given moment.
    void Clear(const QDateTime& now);

    const QString& Author() const { return m_author; }
    void SetAuthor(const QString& value) { m_author = value; }
    bool Compressed() const { return m_compressed; }
    void SetCompressed(bool value) { m_compressed = value; }
    const QString& ConnectionName() const { return m_connectionName; }
    void SetConnectionName(const QString& value) { m_connectionName = value; }
    // Days since 30 December 1899.
    double CreateDate() const { return m_createDate; }
    void SetCreateDate(double value) { m_createDate = value; }
    const QStringList& Description() const { return m_description; }
    void SetDescription(const QStringList& value) { m_description = value; }
    const QString& InitString() const { return m_initString; }
    void SetInitString(const QString& value) { m_initString = value; }
    const QString& Name() const { return m_name; }
    void SetName(const QString& value) { m_name = value; }
    double LastChange() const { return m_lastChange; }
    void SetLastChange(double value) { m_lastChange = value; }
    const QString& Password() const { return m_password; }
    void SetPassword(const QString& value) { m_password = value; }
    // The picture's file data; templates have no text form for it, so only code sets it.
    const QByteArray& Picture() const { return m_picture; }
    void SetPicture(const QByteArray& value) { m_picture = value; }
    const QString& VersionBuild() const { return m_versionBuild; }
    void SetVersionBuild(const QString& value) { m_versionBuild = value; }
    const QString& VersionMajor() const { return m_versionMajor; }
    void SetVersionMajor(const QString& value) { m_versionMajor = value; }
    const QString& VersionMinor() const { return m_versionMinor; }
    void SetVersionMinor(const QString& value) { m_versionMinor = value; }
    const QString& VersionRelease() const { return m_versionRelease; }
    void SetVersionRelease(const QString& value) { m_versionRelease = value; }

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

} // namespace quittung
