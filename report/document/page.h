#pragma once

#include "report/document/report_object.h"
#include "report/document/units.h"
#include "report/document/frame.h"

#include <QByteArray>
#include <QStringList>

#include <optional>

namespace quittung::report {

// A page of the report: the data page or a report page. Pages do not count for absLeft/absTop.
// A page starts with a copy of the report's font; the font is written only once it was changed.
class Page : public ReportObject {
public:
    const PropertyTable& properties() const override;
    bool isPositioned() const override { return false; }
};

enum class PageOrientation { Portrait, Landscape };
enum class DuplexMode { None, Vertical, Horizontal, Simplex };

// Custom paper sizes have this code and codes above.
inline constexpr int CustomPaperSize = 256;

// The portrait size in millimetres of a printer paper code, if the paper table knows it.
struct PaperDimensions {
    double width;
    double height;
};
std::optional<PaperDimensions> paperSizeOf(int paperSize);

// A page that is printed. Width and Height are not written: they always follow the paper size, in
// report pixels. Paper sizes and margins are millimetres.
class ReportPage : public Page {
public:
    ReportPage();

    QString className() const override { return QStringLiteral("TfrxReportPage"); }
    QString baseName() const override { return QStringLiteral("Page"); }
    const PropertyTable& properties() const override;

    // The designer's new page: A4 portrait with 10 mm margins.
    virtual void setDefaults();

    PageOrientation orientation() const { return m_orientation; }
    // A change swaps width and height and turns the margins with the paper.
    void setOrientation(PageOrientation value);
    double paperWidth() const { return m_paperWidth; }
    // Both make the page a custom size.
    void setPaperWidth(double value);
    double paperHeight() const { return m_paperHeight; }
    void setPaperHeight(double value);
    int paperSize() const { return m_paperSize; }
    // A code of the paper table takes the table's size in the page's orientation; other codes keep
    // the size.
    void setPaperSize(int value);
    double leftMargin() const { return m_leftMargin; }
    void setLeftMargin(double value) { m_leftMargin = value; }
    double rightMargin() const { return m_rightMargin; }
    void setRightMargin(double value) { m_rightMargin = value; }
    double topMargin() const { return m_topMargin; }
    void setTopMargin(double value) { m_topMargin = value; }
    double bottomMargin() const { return m_bottomMargin; }
    void setBottomMargin(double value) { m_bottomMargin = value; }
    bool mirrorMargins() const { return m_mirrorMargins; }
    void setMirrorMargins(bool value) { m_mirrorMargins = value; }
    int columns() const { return m_columns; }
    // More than 0 columns share the width between the margins equally. More columns than the paper
    // is wide in report pixels (or than MaxColumns) are refused as an invalid property value.
    void setColumns(int value);
    static constexpr int MaxColumns = 10000;
    double columnWidth() const { return m_columnWidth; }
    void setColumnWidth(double value) { m_columnWidth = value; }
    // Millimetres, written with the user's decimal separator.
    const QStringList& columnPositions() const { return m_columnPositions; }
    void setColumnPositions(const QStringList& value) { m_columnPositions = value; }
    int bin() const { return m_bin; }
    void setBin(int value) { m_bin = value; }
    int binOtherPages() const { return m_binOtherPages; }
    void setBinOtherPages(int value) { m_binOtherPages = value; }
    // The picture's file data; templates have no text form for it, so only code sets it.
    const QByteArray& backPicture() const { return m_backPicture; }
    void setBackPicture(const QByteArray& value) { m_backPicture = value; }
    bool backPictureVisible() const { return m_backPictureVisible; }
    void setBackPictureVisible(bool value) { m_backPictureVisible = value; }
    bool backPicturePrintable() const { return m_backPicturePrintable; }
    void setBackPicturePrintable(bool value) { m_backPicturePrintable = value; }
    int pageCount() const { return m_pageCount; }

    // The printable area in report pixels (paper minus margins), not rounded.
    double pageWidth() const { return (paperWidth() - leftMargin() - rightMargin()) * PixelsPerMm; }
    double pageHeight() const { return (paperHeight() - topMargin() - bottomMargin()) * PixelsPerMm; }
    // Values below 1 are ignored. Every copy becomes a prepared page of its own, so more than
    // MaxPageCount copies are refused as an invalid property value.
    void setPageCount(int value);
    static constexpr int MaxPageCount = 1000;
    // Color, Frame and BackPicture make up the background of the printable area.
    Color color() const { return m_color; }
    void setColor(Color value) { m_color = value; }
    // The name of a data set.
    const QString& dataSet() const { return m_dataSet; }
    void setDataSet(const QString& value) { m_dataSet = value; }
    const QString& dataSetName() const { return m_dataSetName; }
    void setDataSetName(const QString& value) { m_dataSetName = value; }
    DuplexMode duplex() const { return m_duplex; }
    void setDuplex(DuplexMode value) { m_duplex = value; }
    Frame& frame() { return m_frame; }
    const Frame& frame() const { return m_frame; }
    bool endlessHeight() const { return m_endlessHeight; }
    void setEndlessHeight(bool value) { m_endlessHeight = value; }
    bool endlessWidth() const { return m_endlessWidth; }
    void setEndlessWidth(bool value) { m_endlessWidth = value; }
    bool largeDesignHeight() const { return m_largeDesignHeight; }
    void setLargeDesignHeight(bool value) { m_largeDesignHeight = value; }
    const QString& outlineText() const { return m_outlineText; }
    void setOutlineText(const QString& value) { m_outlineText = value; }
    bool printIfEmpty() const { return m_printIfEmpty; }
    void setPrintIfEmpty(bool value) { m_printIfEmpty = value; }
    bool printOnPreviousPage() const { return m_printOnPreviousPage; }
    void setPrintOnPreviousPage(bool value) { m_printOnPreviousPage = value; }
    bool resetPageNumbers() const { return m_resetPageNumbers; }
    void setResetPageNumbers(bool value) { m_resetPageNumbers = value; }
    bool titleBeforeHeader() const { return m_titleBeforeHeader; }
    void setTitleBeforeHeader(bool value) { m_titleBeforeHeader = value; }
    const QStringList& hGuides() const { return m_hGuides; }
    void setHGuides(const QStringList& value) { m_hGuides = value; }
    const QStringList& vGuides() const { return m_vGuides; }
    void setVGuides(const QStringList& value) { m_vGuides = value; }
    const QString& onAfterPrint() const { return m_onAfterPrint; }
    void setOnAfterPrint(const QString& value) { m_onAfterPrint = value; }
    const QString& onBeforePrint() const { return m_onBeforePrint; }
    void setOnBeforePrint(const QString& value) { m_onBeforePrint = value; }
    const QString& onManualBuild() const { return m_onManualBuild; }
    void setOnManualBuild(const QString& value) { m_onManualBuild = value; }

private:
    // Width and Height in report pixels from the paper size.
    void updateDimensions();

    PageOrientation m_orientation = PageOrientation::Portrait;
    double m_paperWidth = 210;
    double m_paperHeight = 297;
    int m_paperSize = 9;
    double m_leftMargin = 0;
    double m_rightMargin = 0;
    double m_topMargin = 0;
    double m_bottomMargin = 0;
    bool m_mirrorMargins = false;
    int m_columns = 0;
    double m_columnWidth = 0;
    QStringList m_columnPositions;
    int m_bin = 7;
    int m_binOtherPages = 7;
    QByteArray m_backPicture;
    bool m_backPictureVisible = true;
    bool m_backPicturePrintable = true;
    int m_pageCount = 1;
    Color m_color = colors::None;
    QString m_dataSet;
    QString m_dataSetName;
    DuplexMode m_duplex = DuplexMode::None;
    Frame m_frame;
    bool m_endlessHeight = false;
    bool m_endlessWidth = false;
    bool m_largeDesignHeight = false;
    QString m_outlineText;
    bool m_printIfEmpty = true;
    bool m_printOnPreviousPage = false;
    bool m_resetPageNumbers = false;
    bool m_titleBeforeHeader = true;
    QStringList m_hGuides;
    QStringList m_vGuides;
    QString m_onAfterPrint;
    QString m_onBeforePrint;
    QString m_onManualBuild;
};

// The page that holds the report's data components (none in receipts). It is written with its
// position and size.
class DataPage : public Page {
public:
    DataPage();

    QString className() const override { return QStringLiteral("TfrxDataPage"); }
    const PropertyTable& properties() const override;
};

// Page kinds a template may hold whose behaviour is not built: they keep the settings their
// property table does not know as they were read.
class DialogPage : public Page {
public:
    QString className() const override { return QStringLiteral("TfrxDialogPage"); }
    bool keepsUnknownAttributes() const override { return true; }
};

// A report page for dot-matrix printers.
class DotMatrixPage : public ReportPage {
public:
    QString className() const override { return QStringLiteral("TfrxDMPPage"); }
    bool keepsUnknownAttributes() const override { return true; }
};

} // namespace quittung::report
