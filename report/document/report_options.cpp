#include "report/document/report_options.h"

#include <cmath>

namespace quittung::report {

namespace {

constexpr double MillisecondsPerDay = 86400000.0;

QDate dayZero()
{
    return QDate(1899, 12, 30);
}

} // namespace

double dateTimeToDays(const QDateTime& dateTime)
{
    const auto days = static_cast<double>(dayZero().daysTo(dateTime.date()));
    const double time = dateTime.time().msecsSinceStartOfDay() / MillisecondsPerDay;
    // Before day zero the time of day still counts away from zero: -1.25 is 29 Dec 1899, 6:00.
    return days < 0 ? days - time : days + time;
}

QDateTime daysToDateTime(double days)
{
    const double whole = std::trunc(days);
    auto msecs = static_cast<int>(std::lround(std::fabs(days - whole) * MillisecondsPerDay));
    if (msecs >= 86400000)
        msecs = 86400000 - 1;
    return QDateTime(dayZero().addDays(static_cast<qint64>(whole)), QTime::fromMSecsSinceStartOfDay(msecs));
}

const PropertyTable& EngineOptions::properties() const
{
    using namespace props;
    using C = EngineOptions;
    static const EnumType silentMode{
        {QStringLiteral("simMessageBoxes"), QStringLiteral("simSilent"), QStringLiteral("simReThrow")}};
    static const PropertyTable table{
        property<C>(QStringLiteral("ConvertNulls"), PropType::Boolean, &C::convertNulls, &C::setConvertNulls, true),
        property<C>(QStringLiteral("DoublePass"), PropType::Boolean, &C::doublePass, &C::setDoublePass, false),
        property<C>(QStringLiteral("MaxMemSize"), PropType::Integer, &C::maxMemSize, &C::setMaxMemSize, qint64(10)),
        property<C>(QStringLiteral("PrintIfEmpty"), PropType::Boolean, &C::printIfEmpty, &C::setPrintIfEmpty, true),
        property<C>(QStringLiteral("SilentMode"), PropType::Boolean, &C::silentMode, &C::setSilentMode, false),
        property<C>(QStringLiteral("NewSilentMode"), PropType::Enum, &C::newSilentMode, &C::setNewSilentMode,
            qint64(0), &silentMode),
        property<C>(QStringLiteral("TempDir"), PropType::String, &C::tempDir, &C::setTempDir, QString()),
        property<C>(QStringLiteral("UseFileCache"), PropType::Boolean, &C::useFileCache, &C::setUseFileCache, false),
        property<C>(QStringLiteral("IgnoreDevByZero"), PropType::Boolean, &C::ignoreDevByZero, &C::setIgnoreDevByZero,
            false),
    };
    return table;
}

void EngineOptions::clear()
{
    m_convertNulls = true;
    m_ignoreDevByZero = false;
    m_doublePass = false;
}

void EngineOptions::setSilentMode(bool value)
{
    m_newSilentMode = value ? SilentMode::Silent : SilentMode::MessageBoxes;
}

const PropertyTable& PreviewOptions::properties() const
{
    using namespace props;
    using C = PreviewOptions;
    static const EnumType buttonNames{{QStringLiteral("pbPrint"), QStringLiteral("pbLoad"), QStringLiteral("pbSave"),
        QStringLiteral("pbExport"), QStringLiteral("pbZoom"), QStringLiteral("pbFind"), QStringLiteral("pbOutline"),
        QStringLiteral("pbPageSetup"), QStringLiteral("pbTools"), QStringLiteral("pbEdit"),
        QStringLiteral("pbNavigator"), QStringLiteral("pbExportQuick"), QStringLiteral("pbNoClose"),
        QStringLiteral("pbNoFullScreen"), QStringLiteral("pbNoEmail")}};
    static const EnumType zoomMode{{QStringLiteral("zmDefault"), QStringLiteral("zmWholePage"),
        QStringLiteral("zmPageWidth"), QStringLiteral("zmManyPages")}};
    // Buttons has no declared default: it is always written.
    static const PropertyTable table{
        property<C>(QStringLiteral("AllowEdit"), PropType::Boolean, &C::allowEdit, &C::setAllowEdit, true),
        property<C>(QStringLiteral("Buttons"), PropType::Set, &C::buttons, &C::setButtons, std::nullopt, &buttonNames),
        property<C>(QStringLiteral("DoubleBuffered"), PropType::Boolean, &C::doubleBuffered, &C::setDoubleBuffered,
            true),
        property<C>(QStringLiteral("Maximized"), PropType::Boolean, &C::maximized, &C::setMaximized, true),
        property<C>(QStringLiteral("MDIChild"), PropType::Boolean, &C::mdiChild, &C::setMdiChild, false),
        property<C>(QStringLiteral("Modal"), PropType::Boolean, &C::modal, &C::setModal, true),
        property<C>(QStringLiteral("OutlineExpand"), PropType::Boolean, &C::outlineExpand, &C::setOutlineExpand, true),
        property<C>(QStringLiteral("OutlineVisible"), PropType::Boolean, &C::outlineVisible, &C::setOutlineVisible,
            false),
        property<C>(QStringLiteral("OutlineWidth"), PropType::Integer, &C::outlineWidth, &C::setOutlineWidth,
            qint64(120)),
        property<C>(QStringLiteral("PagesInCache"), PropType::Integer, &C::pagesInCache, &C::setPagesInCache,
            qint64(50)),
        property<C>(QStringLiteral("ThumbnailVisible"), PropType::Boolean, &C::thumbnailVisible,
            &C::setThumbnailVisible, false),
        property<C>(QStringLiteral("ShowCaptions"), PropType::Boolean, &C::showCaptions, &C::setShowCaptions, false),
        property<C>(QStringLiteral("Zoom"), PropType::Float, &C::zoom, &C::setZoom, 1.0),
        property<C>(QStringLiteral("ZoomMode"), PropType::Enum, &C::zoomMode, &C::setZoomMode, qint64(0), &zoomMode),
        property<C>(QStringLiteral("PictureCacheInFile"), PropType::Boolean, &C::pictureCacheInFile,
            &C::setPictureCacheInFile, false),
    };
    return table;
}

void PreviewOptions::clear()
{
    m_outlineExpand = true;
    m_outlineVisible = false;
    m_outlineWidth = 120;
    m_pagesInCache = 50;
    m_thumbnailVisible = false;
}

const PropertyTable& PrintOptions::properties() const
{
    using namespace props;
    using C = PrintOptions;
    static const EnumType printMode{{QStringLiteral("pmDefault"), QStringLiteral("pmSplit"), QStringLiteral("pmJoin"),
        QStringLiteral("pmScale")}};
    static const EnumType printPages{{QStringLiteral("ppAll"), QStringLiteral("ppOdd"), QStringLiteral("ppEven")}};
    // PrintOnSheet has no declared default: it is always written.
    static const PropertyTable table{
        property<C>(QStringLiteral("Copies"), PropType::Integer, &C::copies, &C::setCopies, qint64(1)),
        property<C>(QStringLiteral("Collate"), PropType::Boolean, &C::collate, &C::setCollate, true),
        property<C>(QStringLiteral("PageNumbers"), PropType::String, &C::pageNumbers, &C::setPageNumbers, QString()),
        property<C>(QStringLiteral("Printer"), PropType::String, &C::printer, &C::setPrinter,
            QStringLiteral("Default")),
        property<C>(QStringLiteral("PrintMode"), PropType::Enum, &C::printMode, &C::setPrintMode, qint64(0),
            &printMode),
        property<C>(QStringLiteral("PrintOnSheet"), PropType::Integer, &C::printOnSheet, &C::setPrintOnSheet),
        property<C>(QStringLiteral("PrintPages"), PropType::Enum, &C::printPages, &C::setPrintPages, qint64(0),
            &printPages),
        property<C>(QStringLiteral("Reverse"), PropType::Boolean, &C::reverse, &C::setReverse, false),
        property<C>(QStringLiteral("ShowDialog"), PropType::Boolean, &C::showDialog, &C::setShowDialog, true),
    };
    return table;
}

void PrintOptions::clear()
{
    m_copies = 1;
    m_collate = true;
    m_pageNumbers.clear();
    m_pagesPerSheet = 0;
    m_printer = QStringLiteral("Default");
    m_printMode = PrintMode::Default;
    m_printOnSheet = 0;
    m_printPages = PrintPages::All;
    m_reverse = false;
    m_showDialog = true;
    m_splicingLine = 3;
    m_duplex = 0;
    m_prnOutFileName.clear();
}

const PropertyTable& ReportOptions::properties() const
{
    using namespace props;
    using C = ReportOptions;
    static const PropertyTable table{
        property<C>(QStringLiteral("Author"), PropType::String, &C::author, &C::setAuthor, QString()),
        property<C>(QStringLiteral("Compressed"), PropType::Boolean, &C::compressed, &C::setCompressed, false),
        property<C>(QStringLiteral("ConnectionName"), PropType::String, &C::connectionName, &C::setConnectionName,
            QString()),
        property<C>(QStringLiteral("CreateDate"), PropType::Float, &C::createDate, &C::setCreateDate),
        property<C>(QStringLiteral("Description"), PropType::StringList, &C::description, &C::setDescription,
            QStringList()),
        property<C>(QStringLiteral("InitString"), PropType::String, &C::initString, &C::setInitString, QString()),
        property<C>(QStringLiteral("Name"), PropType::String, &C::name, &C::setName, QString()),
        property<C>(QStringLiteral("LastChange"), PropType::Float, &C::lastChange, &C::setLastChange),
        property<C>(QStringLiteral("Password"), PropType::String, &C::password, &C::setPassword, QString()),
        pictureProperty(QStringLiteral("Picture")),
        property<C>(QStringLiteral("VersionBuild"), PropType::String, &C::versionBuild, &C::setVersionBuild,
            QString()),
        property<C>(QStringLiteral("VersionMajor"), PropType::String, &C::versionMajor, &C::setVersionMajor,
            QString()),
        property<C>(QStringLiteral("VersionMinor"), PropType::String, &C::versionMinor, &C::setVersionMinor,
            QString()),
        property<C>(QStringLiteral("VersionRelease"), PropType::String, &C::versionRelease, &C::setVersionRelease,
            QString()),
    };
    return table;
}

void ReportOptions::clear(const QDateTime& now)
{
    m_author.clear();
    m_compressed = false;
    m_createDate = dateTimeToDays(now);
    m_lastChange = m_createDate;
    m_description.clear();
    m_picture.clear();
    m_versionBuild.clear();
    m_versionMajor.clear();
    m_versionMinor.clear();
    m_versionRelease.clear();
    m_connectionName.clear();
    m_initString.clear();
    m_name.clear();
    m_password.clear();
}

} // namespace quittung::report
