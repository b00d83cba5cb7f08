#pragma once

#include "report/document/component.h"
#include "report/document/units.h"
#include "report/document/frame.h"

#include <QByteArray>
#include <QStringList>

#include <optional>

namespace quittung {

// A page of the report: the data page or a report page. Pages do not count for AbsLeft/AbsTop.
// A page starts with a copy of the report's font; the font is written only once it was changed.
class TfrxPage : public TfrxComponent {
public:
    const PropertyTable& Properties() const override;
    bool IsPositioned() const override { return false; }
};

enum class TPrinterOrientation { poPortrait, poLandscape };
enum class TfrxDuplexMode { dmNone, dmVertical, dmHorizontal, dmSimplex };

// Custom paper sizes have this code and codes above.
inline constexpr int CustomPaperSize = 256;

// The portrait size in millimetres of a printer paper code, if the paper table knows it.
struct PaperDimensions {
    double width;
    double height;
};
std::optional<PaperDimensions> PaperSizeOf(int paperSize);

// A page that is printed. Width and Height are not written: they always follow the paper size, in
// report pixels. Paper sizes and margins are millimetres.
class TfrxReportPage : public TfrxPage {
public:
    TfrxReportPage();

    QString ClassName() const override { return QStringLiteral("TfrxReportPage"); }
    QString BaseName() const override { return QStringLiteral("Page"); }
    const PropertyTable& Properties() const override;

    // The designer's new page: A4 portrait with 10 mm margins.
    virtual void SetDefaults();

    TPrinterOrientation Orientation() const { return m_orientation; }
    // A change swaps width and height and turns the margins with the paper.
    void SetOrientation(TPrinterOrientation value);
    double PaperWidth() const { return m_paperWidth; }
    // Both make the page a custom size.
    void SetPaperWidth(double value);
    double PaperHeight() const { return m_paperHeight; }
    void SetPaperHeight(double value);
    int PaperSize() const { return m_paperSize; }
    // A code of the paper table takes the table's size in the page's orientation; other codes keep
    // the size.
    void SetPaperSize(int value);
    double LeftMargin() const { return m_leftMargin; }
    void SetLeftMargin(double value) { m_leftMargin = value; }
    double RightMargin() const { return m_rightMargin; }
    void SetRightMargin(double value) { m_rightMargin = value; }
    double TopMargin() const { return m_topMargin; }
    void SetTopMargin(double value) { m_topMargin = value; }
    double BottomMargin() const { return m_bottomMargin; }
    void SetBottomMargin(double value) { m_bottomMargin = value; }
    bool MirrorMargins() const { return m_mirrorMargins; }
    void SetMirrorMargins(bool value) { m_mirrorMargins = value; }
    int Columns() const { return m_columns; }
    // More than 0 columns share the width between the margins equally. More columns than the paper
    // is wide in report pixels (or than MaxColumns) are refused as an invalid property value.
    void SetColumns(int value);
    static constexpr int MaxColumns = 10000;
    double ColumnWidth() const { return m_columnWidth; }
    void SetColumnWidth(double value) { m_columnWidth = value; }
    // Millimetres, written with the user's decimal separator.
    const QStringList& ColumnPositions() const { return m_columnPositions; }
    void SetColumnPositions(const QStringList& value) { m_columnPositions = value; }
    int Bin() const { return m_bin; }
    void SetBin(int value) { m_bin = value; }
    int BinOtherPages() const { return m_binOtherPages; }
    void SetBinOtherPages(int value) { m_binOtherPages = value; }
    // The picture's file data; templates have no text form for it, so only code sets it.
    const QByteArray& BackPicture() const { return m_backPicture; }
    void SetBackPicture(const QByteArray& value) { m_backPicture = value; }
    bool BackPictureVisible() const { return m_backPictureVisible; }
    void SetBackPictureVisible(bool value) { m_backPictureVisible = value; }
    bool BackPicturePrintable() const { return m_backPicturePrintable; }
    void SetBackPicturePrintable(bool value) { m_backPicturePrintable = value; }
    int PageCount() const { return m_pageCount; }

    // The printable area in report pixels (paper minus margins), not rounded.
    double PageWidth() const { return (PaperWidth() - LeftMargin() - RightMargin()) * PixelsPerMm; }
    double PageHeight() const { return (PaperHeight() - TopMargin() - BottomMargin()) * PixelsPerMm; }
    // Values below 1 are ignored.
    void SetPageCount(int value);
    // Color, Frame and BackPicture make up the background of the printable area.
    TColor Color() const { return m_color; }
    void SetColor(TColor value) { m_color = value; }
    // The name of a data set.
    const QString& DataSet() const { return m_dataSet; }
    void SetDataSet(const QString& value) { m_dataSet = value; }
    const QString& DataSetName() const { return m_dataSetName; }
    void SetDataSetName(const QString& value) { m_dataSetName = value; }
    TfrxDuplexMode Duplex() const { return m_duplex; }
    void SetDuplex(TfrxDuplexMode value) { m_duplex = value; }
    TfrxFrame& Frame() { return m_frame; }
    const TfrxFrame& Frame() const { return m_frame; }
    bool EndlessHeight() const { return m_endlessHeight; }
    void SetEndlessHeight(bool value) { m_endlessHeight = value; }
    bool EndlessWidth() const { return m_endlessWidth; }
    void SetEndlessWidth(bool value) { m_endlessWidth = value; }
    bool LargeDesignHeight() const { return m_largeDesignHeight; }
    void SetLargeDesignHeight(bool value) { m_largeDesignHeight = value; }
    const QString& OutlineText() const { return m_outlineText; }
    void SetOutlineText(const QString& value) { m_outlineText = value; }
    bool PrintIfEmpty() const { return m_printIfEmpty; }
    void SetPrintIfEmpty(bool value) { m_printIfEmpty = value; }
    bool PrintOnPreviousPage() const { return m_printOnPreviousPage; }
    void SetPrintOnPreviousPage(bool value) { m_printOnPreviousPage = value; }
    bool ResetPageNumbers() const { return m_resetPageNumbers; }
    void SetResetPageNumbers(bool value) { m_resetPageNumbers = value; }
    bool TitleBeforeHeader() const { return m_titleBeforeHeader; }
    void SetTitleBeforeHeader(bool value) { m_titleBeforeHeader = value; }
    const QStringList& HGuides() const { return m_hGuides; }
    void SetHGuides(const QStringList& value) { m_hGuides = value; }
    const QStringList& VGuides() const { return m_vGuides; }
    void SetVGuides(const QStringList& value) { m_vGuides = value; }
    const QString& OnAfterPrint() const { return m_onAfterPrint; }
    void SetOnAfterPrint(const QString& value) { m_onAfterPrint = value; }
    const QString& OnBeforePrint() const { return m_onBeforePrint; }
    void SetOnBeforePrint(const QString& value) { m_onBeforePrint = value; }
    const QString& OnManualBuild() const { return m_onManualBuild; }
    void SetOnManualBuild(const QString& value) { m_onManualBuild = value; }

private:
    // Width and Height in report pixels from the paper size.
    void updateDimensions();

    TPrinterOrientation m_orientation = TPrinterOrientation::poPortrait;
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
    TColor m_color = clNone;
    QString m_dataSet;
    QString m_dataSetName;
    TfrxDuplexMode m_duplex = TfrxDuplexMode::dmNone;
    TfrxFrame m_frame;
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
class TfrxDataPage : public TfrxPage {
public:
    TfrxDataPage();

    QString ClassName() const override { return QStringLiteral("TfrxDataPage"); }
    const PropertyTable& Properties() const override;
};

// Page kinds a template may hold whose behaviour is not built: they keep the settings their
// property table does not know as they were read.
class TfrxDialogPage : public TfrxPage {
public:
    QString ClassName() const override { return QStringLiteral("TfrxDialogPage"); }
    bool KeepsUnknownAttributes() const override { return true; }
};

// A report page for dot-matrix printers.
class TfrxDMPPage : public TfrxReportPage {
public:
    QString ClassName() const override { return QStringLiteral("TfrxDMPPage"); }
    bool KeepsUnknownAttributes() const override { return true; }
};

} // namespace quittung
