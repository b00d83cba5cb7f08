#include "report/document/page.h"

#include "report/document/engine_messages.h"
#include "report/document/report.h"
#include "runtime/exception.h"
#include "runtime/number_format.h"
#include "runtime/rounding.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace quittung {

namespace {

struct PaperEntry {
    int code;
    int width;  // tenths of a millimetre, portrait
    int height;
};

// The printer paper codes of the Windows printing interface; 48 and 49 do not exist.
constexpr std::array<PaperEntry, 66> paperTable{{
    {1, 2159, 2794}, {2, 2159, 2794}, {3, 2794, 4318}, {4, 4318, 2794}, {5, 2159, 3556}, {6, 1397, 2159},
    {7, 1842, 2667}, {8, 2970, 4200}, {9, 2100, 2970}, {10, 2100, 2970}, {11, 1480, 2100}, {12, 2500, 3540},
    {13, 1820, 2570}, {14, 2159, 3302}, {15, 2150, 2750}, {16, 2540, 3556}, {17, 2794, 4318}, {18, 2159, 2794},
    {19, 984, 2254}, {20, 1048, 2413}, {21, 1143, 2635}, {22, 1207, 2794}, {23, 1270, 2921}, {24, 4318, 5588},
    {25, 5588, 8636}, {26, 8636, 11176}, {27, 1100, 2200}, {28, 1620, 2290}, {29, 3240, 4580}, {30, 2290, 3240},
    {31, 1140, 1620}, {32, 1140, 2290}, {33, 2500, 3530}, {34, 1760, 2500}, {35, 1760, 1250}, {36, 1100, 2300},
    {37, 984, 1905}, {38, 920, 1651}, {39, 3778, 2794}, {40, 2159, 3048}, {41, 2159, 3302}, {42, 2500, 3530},
    {43, 1000, 1480}, {44, 2286, 2794}, {45, 2540, 2794}, {46, 3810, 2794}, {47, 2200, 2200}, {50, 2355, 3048},
    {51, 2355, 3810}, {52, 2969, 4572}, {53, 2354, 3223}, {54, 2101, 2794}, {55, 2100, 2970}, {56, 2355, 3048},
    {57, 2270, 3560}, {58, 3050, 4870}, {59, 2159, 3223}, {60, 2100, 3300}, {61, 1480, 2100}, {62, 1820, 2570},
    {63, 3220, 4450}, {64, 1740, 2350}, {65, 2010, 2760}, {66, 4200, 5940}, {67, 2970, 4200}, {68, 3220, 4450},
}};

// Paper sizes keep 8 decimals. From 10^10 mm on a double holds fewer decimals than that anyway,
// and the rounding would leave the integer range.
double roundTo8Decimals(double value)
{
    if (!(std::fabs(value) < 1e10))
        return value;
    return static_cast<double>(RoundHalfEven(value * 1e8)) / 1e8;
}

double paperPixels(double millimetres)
{
    const double pixels = millimetres * PixelsPerMm;
    if (!(std::fabs(pixels) < 1e15))
        return pixels;
    return static_cast<double>(RoundHalfEven(pixels));
}

} // namespace

const PropertyTable& TfrxPage::Properties() const
{
    using namespace props;
    using C = TfrxComponent;
    static const PropertyTable table{
        property<C>(QStringLiteral("Tag"), PropType::Integer, &C::Tag, &C::SetTag, qint64(0)),
        storedWhen<C>(nested<C>(QStringLiteral("Font"), &C::Font), [](const C& page) { return !page.ParentFont(); }),
        property<C>(QStringLiteral("Visible"), PropType::Boolean, &C::Visible, &C::SetVisible, true),
    };
    return table;
}

std::optional<PaperDimensions> PaperSizeOf(int paperSize)
{
    for (const PaperEntry& entry : paperTable) {
        if (entry.code == paperSize)
            return PaperDimensions{entry.width / 10.0, entry.height / 10.0};
    }
    return std::nullopt;
}

TfrxReportPage::TfrxReportPage()
{
    updateDimensions();
}

const PropertyTable& TfrxReportPage::Properties() const
{
    using namespace props;
    using C = TfrxReportPage;
    static const EnumType orientation{{QStringLiteral("poPortrait"), QStringLiteral("poLandscape")}};
    static const EnumType duplex{{QStringLiteral("dmNone"), QStringLiteral("dmVertical"),
        QStringLiteral("dmHorizontal"), QStringLiteral("dmSimplex")}};
    // PaperSize has no declared default: it is always written.
    static const PropertyTable table = PropertyTable(TfrxPage::Properties()).add(PropertyTable{
        property<C>(QStringLiteral("Orientation"), PropType::Enum, &C::Orientation, &C::SetOrientation, qint64(0),
            &orientation),
        property<C>(QStringLiteral("PaperWidth"), PropType::Float, &C::PaperWidth, &C::SetPaperWidth, 210.0),
        property<C>(QStringLiteral("PaperHeight"), PropType::Float, &C::PaperHeight, &C::SetPaperHeight, 297.0),
        property<C>(QStringLiteral("PaperSize"), PropType::Integer, &C::PaperSize, &C::SetPaperSize),
        property<C>(QStringLiteral("LeftMargin"), PropType::Float, &C::LeftMargin, &C::SetLeftMargin, 0.0),
        property<C>(QStringLiteral("RightMargin"), PropType::Float, &C::RightMargin, &C::SetRightMargin, 0.0),
        property<C>(QStringLiteral("TopMargin"), PropType::Float, &C::TopMargin, &C::SetTopMargin, 0.0),
        property<C>(QStringLiteral("BottomMargin"), PropType::Float, &C::BottomMargin, &C::SetBottomMargin, 0.0),
        property<C>(QStringLiteral("MirrorMargins"), PropType::Boolean, &C::MirrorMargins, &C::SetMirrorMargins, false),
        property<C>(QStringLiteral("Columns"), PropType::Integer, &C::Columns, &C::SetColumns, qint64(0)),
        property<C>(QStringLiteral("ColumnWidth"), PropType::Float, &C::ColumnWidth, &C::SetColumnWidth, 0.0),
        property<C>(QStringLiteral("ColumnPositions"), PropType::StringList, &C::ColumnPositions,
            &C::SetColumnPositions, QStringList()),
        property<C>(QStringLiteral("Bin"), PropType::Integer, &C::Bin, &C::SetBin, qint64(7)),
        property<C>(QStringLiteral("BinOtherPages"), PropType::Integer, &C::BinOtherPages, &C::SetBinOtherPages,
            qint64(7)),
        picture(QStringLiteral("BackPicture")),
        property<C>(QStringLiteral("BackPictureVisible"), PropType::Boolean, &C::BackPictureVisible,
            &C::SetBackPictureVisible, true),
        property<C>(QStringLiteral("BackPicturePrintable"), PropType::Boolean, &C::BackPicturePrintable,
            &C::SetBackPicturePrintable, true),
        property<C>(QStringLiteral("PageCount"), PropType::Integer, &C::PageCount, &C::SetPageCount, qint64(1)),
        property<C>(QStringLiteral("Color"), PropType::Color, &C::Color, &C::SetColor, qint64(clNone)),
        property<C>(QStringLiteral("DataSet"), PropType::Reference, &C::DataSet, &C::SetDataSet, QString()),
        property<C>(QStringLiteral("DataSetName"), PropType::String, &C::DataSetName, &C::SetDataSetName, QString()),
        property<C>(QStringLiteral("Duplex"), PropType::Enum, &C::Duplex, &C::SetDuplex, qint64(0), &duplex),
        nested<C, TfrxFrame>(QStringLiteral("Frame"), &C::Frame),
        property<C>(QStringLiteral("EndlessHeight"), PropType::Boolean, &C::EndlessHeight, &C::SetEndlessHeight, false),
        property<C>(QStringLiteral("EndlessWidth"), PropType::Boolean, &C::EndlessWidth, &C::SetEndlessWidth, false),
        property<C>(QStringLiteral("LargeDesignHeight"), PropType::Boolean, &C::LargeDesignHeight,
            &C::SetLargeDesignHeight, false),
        property<C>(QStringLiteral("OutlineText"), PropType::String, &C::OutlineText, &C::SetOutlineText, QString()),
        property<C>(QStringLiteral("PrintIfEmpty"), PropType::Boolean, &C::PrintIfEmpty, &C::SetPrintIfEmpty, true),
        property<C>(QStringLiteral("PrintOnPreviousPage"), PropType::Boolean, &C::PrintOnPreviousPage,
            &C::SetPrintOnPreviousPage, false),
        property<C>(QStringLiteral("ResetPageNumbers"), PropType::Boolean, &C::ResetPageNumbers,
            &C::SetResetPageNumbers, false),
        property<C>(QStringLiteral("TitleBeforeHeader"), PropType::Boolean, &C::TitleBeforeHeader,
            &C::SetTitleBeforeHeader, true),
        property<C>(QStringLiteral("HGuides"), PropType::StringList, &C::HGuides, &C::SetHGuides, QStringList()),
        property<C>(QStringLiteral("VGuides"), PropType::StringList, &C::VGuides, &C::SetVGuides, QStringList()),
        property<C>(QStringLiteral("OnAfterPrint"), PropType::String, &C::OnAfterPrint, &C::SetOnAfterPrint,
            QString()),
        property<C>(QStringLiteral("OnBeforePrint"), PropType::String, &C::OnBeforePrint, &C::SetOnBeforePrint,
            QString()),
        property<C>(QStringLiteral("OnManualBuild"), PropType::String, &C::OnManualBuild, &C::SetOnManualBuild,
            QString()),
    });
    return table;
}

void TfrxReportPage::SetDefaults()
{
    SetOrientation(TPrinterOrientation::poPortrait);
    SetPaperSize(9);
    m_leftMargin = 10;
    m_rightMargin = 10;
    m_topMargin = 10;
    m_bottomMargin = 10;
}

void TfrxReportPage::updateDimensions()
{
    SetWidth(paperPixels(m_paperWidth));
    SetHeight(paperPixels(m_paperHeight));
}

void TfrxReportPage::SetOrientation(TPrinterOrientation value)
{
    if (value == m_orientation)
        return;
    std::swap(m_paperWidth, m_paperHeight);
    const double left = m_leftMargin;
    const double right = m_rightMargin;
    const double top = m_topMargin;
    const double bottom = m_bottomMargin;
    // The paper turns a quarter to the left into landscape and back to the right into portrait.
    if (value == TPrinterOrientation::poLandscape) {
        m_leftMargin = top;
        m_rightMargin = bottom;
        m_topMargin = right;
        m_bottomMargin = left;
    } else {
        m_leftMargin = bottom;
        m_rightMargin = top;
        m_topMargin = left;
        m_bottomMargin = right;
    }
    m_orientation = value;
    updateDimensions();
}

void TfrxReportPage::SetPaperWidth(double value)
{
    m_paperWidth = roundTo8Decimals(value);
    m_paperSize = CustomPaperSize;
    updateDimensions();
}

void TfrxReportPage::SetPaperHeight(double value)
{
    m_paperHeight = roundTo8Decimals(value);
    m_paperSize = CustomPaperSize;
    updateDimensions();
}

void TfrxReportPage::SetPaperSize(int value)
{
    m_paperSize = value;
    if (value < CustomPaperSize) {
        if (const std::optional<PaperDimensions> paper = PaperSizeOf(value)) {
            const bool landscape = m_orientation == TPrinterOrientation::poLandscape;
            m_paperWidth = landscape ? paper->height : paper->width;
            m_paperHeight = landscape ? paper->width : paper->height;
        }
    }
    updateDimensions();
}

void TfrxReportPage::SetColumns(int value)
{
    // Every column gets a position text: a count from a file is bounded by what a page can hold, one
    // column per report pixel of the paper's width, and never more than MaxColumns.
    if (value > std::clamp(static_cast<int>(Width()), 1, MaxColumns))
        throw Exception(frxGet(QStringLiteral("xrInvalidPropertyValue")) + QStringLiteral(": '")
            + QString::number(value) + QLatin1Char('\''));
    m_columns = value;
    if (value <= 0)
        return;
    m_columnWidth = (m_paperWidth - m_leftMargin - m_rightMargin) / value;
    const TfrxReport* report = Report();
    const FormatSettings settings = report ? report->LocaleSettings() : FormatSettings();
    m_columnPositions.clear();
    for (int i = 0; i < value; ++i)
        m_columnPositions.append(FloatToStr(i * m_columnWidth, settings));
}

void TfrxReportPage::SetPageCount(int value)
{
    if (value >= 1)
        m_pageCount = value;
}

TfrxDataPage::TfrxDataPage()
{
    SetBounds(0, 0, 1000, 1000);
}

const PropertyTable& TfrxDataPage::Properties() const
{
    using namespace props;
    using C = TfrxComponent;
    static const PropertyTable table = PropertyTable(TfrxPage::Properties()).add(PropertyTable{
        property<C>(QStringLiteral("Height"), PropType::Float, &C::Height, &C::SetHeight, 1000.0),
        property<C>(QStringLiteral("Left"), PropType::Float, &C::Left, &C::SetLeft, 0.0),
        property<C>(QStringLiteral("Top"), PropType::Float, &C::Top, &C::SetTop, 0.0),
        property<C>(QStringLiteral("Width"), PropType::Float, &C::Width, &C::SetWidth, 1000.0),
    });
    return table;
}

} // namespace quittung
