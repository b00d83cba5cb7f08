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

namespace quittung::report {

namespace {

[[noreturn]] void refuseValue(int value)
{
    throw Exception(engineMessage(QStringLiteral("xrInvalidPropertyValue")) + QStringLiteral(": '")
        + QString::number(value) + QLatin1Char('\''));
}

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
    return static_cast<double>(roundHalfEven(value * 1e8)) / 1e8;
}

double paperPixels(double millimetres)
{
    const double pixels = millimetres * PixelsPerMm;
    if (!(std::fabs(pixels) < 1e15))
        return pixels;
    return static_cast<double>(roundHalfEven(pixels));
}

} // namespace

const PropertyTable& Page::properties() const
{
    using namespace props;
    using C = ReportObject;
    static const PropertyTable table{
        property<C>(QStringLiteral("Tag"), PropType::Integer, &C::tag, &C::setTag, qint64(0)),
        storedWhen<C>(nested<C>(QStringLiteral("Font"), &C::font), [](const C& page) { return !page.parentFont(); }),
        property<C>(QStringLiteral("Visible"), PropType::Boolean, &C::visible, &C::setVisible, true),
    };
    return table;
}

std::optional<PaperDimensions> paperSizeOf(int paperSize)
{
    for (const PaperEntry& entry : paperTable) {
        if (entry.code == paperSize)
            return PaperDimensions{entry.width / 10.0, entry.height / 10.0};
    }
    return std::nullopt;
}

ReportPage::ReportPage()
{
    updateDimensions();
}

const PropertyTable& ReportPage::properties() const
{
    using namespace props;
    using C = ReportPage;
    static const EnumType orientation{{QStringLiteral("poPortrait"), QStringLiteral("poLandscape")}};
    static const EnumType duplex{{QStringLiteral("dmNone"), QStringLiteral("dmVertical"),
        QStringLiteral("dmHorizontal"), QStringLiteral("dmSimplex")}};
    // PaperSize has no declared default: it is always written.
    static const PropertyTable table = PropertyTable(Page::properties()).add(PropertyTable{
        property<C>(QStringLiteral("Orientation"), PropType::Enum, &C::orientation, &C::setOrientation, qint64(0),
            &orientation),
        property<C>(QStringLiteral("PaperWidth"), PropType::Float, &C::paperWidth, &C::setPaperWidth, 210.0),
        property<C>(QStringLiteral("PaperHeight"), PropType::Float, &C::paperHeight, &C::setPaperHeight, 297.0),
        property<C>(QStringLiteral("PaperSize"), PropType::Integer, &C::paperSize, &C::setPaperSize),
        property<C>(QStringLiteral("LeftMargin"), PropType::Float, &C::leftMargin, &C::setLeftMargin, 0.0),
        property<C>(QStringLiteral("RightMargin"), PropType::Float, &C::rightMargin, &C::setRightMargin, 0.0),
        property<C>(QStringLiteral("TopMargin"), PropType::Float, &C::topMargin, &C::setTopMargin, 0.0),
        property<C>(QStringLiteral("BottomMargin"), PropType::Float, &C::bottomMargin, &C::setBottomMargin, 0.0),
        property<C>(QStringLiteral("MirrorMargins"), PropType::Boolean, &C::mirrorMargins, &C::setMirrorMargins, false),
        property<C>(QStringLiteral("Columns"), PropType::Integer, &C::columns, &C::setColumns, qint64(0)),
        property<C>(QStringLiteral("ColumnWidth"), PropType::Float, &C::columnWidth, &C::setColumnWidth, 0.0),
        property<C>(QStringLiteral("ColumnPositions"), PropType::StringList, &C::columnPositions,
            &C::setColumnPositions, QStringList()),
        property<C>(QStringLiteral("Bin"), PropType::Integer, &C::bin, &C::setBin, qint64(7)),
        property<C>(QStringLiteral("BinOtherPages"), PropType::Integer, &C::binOtherPages, &C::setBinOtherPages,
            qint64(7)),
        pictureProperty(QStringLiteral("BackPicture")),
        property<C>(QStringLiteral("BackPictureVisible"), PropType::Boolean, &C::backPictureVisible,
            &C::setBackPictureVisible, true),
        property<C>(QStringLiteral("BackPicturePrintable"), PropType::Boolean, &C::backPicturePrintable,
            &C::setBackPicturePrintable, true),
        property<C>(QStringLiteral("PageCount"), PropType::Integer, &C::pageCount, &C::setPageCount, qint64(1)),
        property<C>(QStringLiteral("Color"), PropType::ColorValue, &C::color, &C::setColor, qint64(colors::None)),
        property<C>(QStringLiteral("DataSet"), PropType::Reference, &C::dataSet, &C::setDataSet, QString()),
        property<C>(QStringLiteral("DataSetName"), PropType::String, &C::dataSetName, &C::setDataSetName, QString()),
        property<C>(QStringLiteral("Duplex"), PropType::Enum, &C::duplex, &C::setDuplex, qint64(0), &duplex),
        nested<C, Frame>(QStringLiteral("Frame"), &C::frame),
        property<C>(QStringLiteral("EndlessHeight"), PropType::Boolean, &C::endlessHeight, &C::setEndlessHeight, false),
        property<C>(QStringLiteral("EndlessWidth"), PropType::Boolean, &C::endlessWidth, &C::setEndlessWidth, false),
        property<C>(QStringLiteral("LargeDesignHeight"), PropType::Boolean, &C::largeDesignHeight,
            &C::setLargeDesignHeight, false),
        property<C>(QStringLiteral("OutlineText"), PropType::String, &C::outlineText, &C::setOutlineText, QString()),
        property<C>(QStringLiteral("PrintIfEmpty"), PropType::Boolean, &C::printIfEmpty, &C::setPrintIfEmpty, true),
        property<C>(QStringLiteral("PrintOnPreviousPage"), PropType::Boolean, &C::printOnPreviousPage,
            &C::setPrintOnPreviousPage, false),
        property<C>(QStringLiteral("ResetPageNumbers"), PropType::Boolean, &C::resetPageNumbers,
            &C::setResetPageNumbers, false),
        property<C>(QStringLiteral("TitleBeforeHeader"), PropType::Boolean, &C::titleBeforeHeader,
            &C::setTitleBeforeHeader, true),
        property<C>(QStringLiteral("HGuides"), PropType::StringList, &C::hGuides, &C::setHGuides, QStringList()),
        property<C>(QStringLiteral("VGuides"), PropType::StringList, &C::vGuides, &C::setVGuides, QStringList()),
        property<C>(QStringLiteral("OnAfterPrint"), PropType::String, &C::onAfterPrint, &C::setOnAfterPrint,
            QString()),
        property<C>(QStringLiteral("OnBeforePrint"), PropType::String, &C::onBeforePrint, &C::setOnBeforePrint,
            QString()),
        property<C>(QStringLiteral("OnManualBuild"), PropType::String, &C::onManualBuild, &C::setOnManualBuild,
            QString()),
    });
    return table;
}

void ReportPage::setDefaults()
{
    setOrientation(PageOrientation::Portrait);
    setPaperSize(9);
    m_leftMargin = 10;
    m_rightMargin = 10;
    m_topMargin = 10;
    m_bottomMargin = 10;
}

void ReportPage::updateDimensions()
{
    setWidth(paperPixels(m_paperWidth));
    setHeight(paperPixels(m_paperHeight));
}

void ReportPage::setOrientation(PageOrientation value)
{
    if (value == m_orientation)
        return;
    std::swap(m_paperWidth, m_paperHeight);
    const double left = m_leftMargin;
    const double right = m_rightMargin;
    const double top = m_topMargin;
    const double bottom = m_bottomMargin;
    // The paper turns a quarter to the left into landscape and back to the right into portrait.
    if (value == PageOrientation::Landscape) {
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

void ReportPage::setPaperWidth(double value)
{
    m_paperWidth = roundTo8Decimals(value);
    m_paperSize = CustomPaperSize;
    updateDimensions();
}

void ReportPage::setPaperHeight(double value)
{
    m_paperHeight = roundTo8Decimals(value);
    m_paperSize = CustomPaperSize;
    updateDimensions();
}

void ReportPage::setPaperSize(int value)
{
    m_paperSize = value;
    if (value < CustomPaperSize) {
        if (const std::optional<PaperDimensions> paper = paperSizeOf(value)) {
            const bool landscape = m_orientation == PageOrientation::Landscape;
            m_paperWidth = landscape ? paper->height : paper->width;
            m_paperHeight = landscape ? paper->width : paper->height;
        }
    }
    updateDimensions();
}

void ReportPage::setColumns(int value)
{
    // Every column gets a position text: a count from a file is bounded by what a page can hold, one
    // column per report pixel of the paper's width, and never more than MaxColumns.
    if (value > std::clamp(static_cast<int>(width()), 1, MaxColumns))
        refuseValue(value);
    m_columns = value;
    if (value <= 0)
        return;
    m_columnWidth = (m_paperWidth - m_leftMargin - m_rightMargin) / value;
    const Report* report = this->report();
    const FormatSettings settings = report ? report->localeSettings() : FormatSettings();
    m_columnPositions.clear();
    for (int i = 0; i < value; ++i)
        m_columnPositions.append(floatToString(i * m_columnWidth, settings));
}

void ReportPage::setPageCount(int value)
{
    if (value > MaxPageCount)
        refuseValue(value);
    if (value >= 1)
        m_pageCount = value;
}

DataPage::DataPage()
{
    setBounds(0, 0, 1000, 1000);
}

const PropertyTable& DataPage::properties() const
{
    using namespace props;
    using C = ReportObject;
    static const PropertyTable table = PropertyTable(Page::properties()).add(PropertyTable{
        property<C>(QStringLiteral("Height"), PropType::Float, &C::height, &C::setHeight, 1000.0),
        property<C>(QStringLiteral("Left"), PropType::Float, &C::left, &C::setLeft, 0.0),
        property<C>(QStringLiteral("Top"), PropType::Float, &C::top, &C::setTop, 0.0),
        property<C>(QStringLiteral("Width"), PropType::Float, &C::width, &C::setWidth, 1000.0),
    });
    return table;
}

} // namespace quittung::report
