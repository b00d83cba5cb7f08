#include "report/document/report_options.h"

#include <cmath>

namespace quittung {

namespace {

constexpr double MillisecondsPerDay = 86400000.0;

QDate dayZero()
{
    return QDate(1899, 12, 30);
}

} // namespace

double DateTimeToDays(const QDateTime& dateTime)
{
    const auto days = static_cast<double>(dayZero().daysTo(dateTime.date()));
    const double time = dateTime.time().msecsSinceStartOfDay() / MillisecondsPerDay;
    // Before day zero the time of day still counts away from zero: -1.25 is 29 Dec 1899, 6:00.
    return days < 0 ? days - time : days + time;
}

QDateTime DaysToDateTime(double days)
{
    const double whole = std::trunc(days);
    auto msecs = static_cast<int>(std::lround(std::fabs(days - whole) * MillisecondsPerDay));
    if (msecs >= 86400000)
        msecs = 86400000 - 1;
    return QDateTime(dayZero().addDays(static_cast<qint64>(whole)), QTime::fromMSecsSinceStartOfDay(msecs));
}

const PropertyTable& TfrxEngineOptions::Properties() const
{
    using namespace props;
    using C = TfrxEngineOptions;
    static const EnumType silentMode{
        {QStringLiteral("simMessageBoxes"), QStringLiteral("simSilent"), QStringLiteral("simReThrow")}};
    static const PropertyTable table{
        property<C>(QStringLiteral("ConvertNulls"), PropType::Boolean, &C::ConvertNulls, &C::SetConvertNulls, true),
        property<C>(QStringLiteral("DoublePass"), PropType::Boolean, &C::DoublePass, &C::SetDoublePass, false),
        property<C>(QStringLiteral("MaxMemSize"), PropType::Integer, &C::MaxMemSize, &C::SetMaxMemSize, qint64(10)),
        property<C>(QStringLiteral("PrintIfEmpty"), PropType::Boolean, &C::PrintIfEmpty, &C::SetPrintIfEmpty, true),
        property<C>(QStringLiteral("SilentMode"), PropType::Boolean, &C::SilentMode, &C::SetSilentMode, false),
        property<C>(QStringLiteral("NewSilentMode"), PropType::Enum, &C::NewSilentMode, &C::SetNewSilentMode,
            qint64(0), &silentMode),
        property<C>(QStringLiteral("TempDir"), PropType::String, &C::TempDir, &C::SetTempDir, QString()),
        property<C>(QStringLiteral("UseFileCache"), PropType::Boolean, &C::UseFileCache, &C::SetUseFileCache, false),
        property<C>(QStringLiteral("IgnoreDevByZero"), PropType::Boolean, &C::IgnoreDevByZero, &C::SetIgnoreDevByZero,
            false),
    };
    return table;
}

void TfrxEngineOptions::Clear()
{
    m_convertNulls = true;
    m_ignoreDevByZero = false;
    m_doublePass = false;
}

void TfrxEngineOptions::SetSilentMode(bool value)
{
    m_newSilentMode = value ? TfrxSilentMode::simSilent : TfrxSilentMode::simMessageBoxes;
}

const PropertyTable& TfrxPreviewOptions::Properties() const
{
    using namespace props;
    using C = TfrxPreviewOptions;
    static const EnumType buttons{{QStringLiteral("pbPrint"), QStringLiteral("pbLoad"), QStringLiteral("pbSave"),
        QStringLiteral("pbExport"), QStringLiteral("pbZoom"), QStringLiteral("pbFind"), QStringLiteral("pbOutline"),
        QStringLiteral("pbPageSetup"), QStringLiteral("pbTools"), QStringLiteral("pbEdit"),
        QStringLiteral("pbNavigator"), QStringLiteral("pbExportQuick"), QStringLiteral("pbNoClose"),
        QStringLiteral("pbNoFullScreen"), QStringLiteral("pbNoEmail")}};
    static const EnumType zoomMode{{QStringLiteral("zmDefault"), QStringLiteral("zmWholePage"),
        QStringLiteral("zmPageWidth"), QStringLiteral("zmManyPages")}};
    // Buttons has no declared default: it is always written.
    static const PropertyTable table{
        property<C>(QStringLiteral("AllowEdit"), PropType::Boolean, &C::AllowEdit, &C::SetAllowEdit, true),
        property<C>(QStringLiteral("Buttons"), PropType::Set, &C::Buttons, &C::SetButtons, std::nullopt, &buttons),
        property<C>(QStringLiteral("DoubleBuffered"), PropType::Boolean, &C::DoubleBuffered, &C::SetDoubleBuffered,
            true),
        property<C>(QStringLiteral("Maximized"), PropType::Boolean, &C::Maximized, &C::SetMaximized, true),
        property<C>(QStringLiteral("MDIChild"), PropType::Boolean, &C::MDIChild, &C::SetMDIChild, false),
        property<C>(QStringLiteral("Modal"), PropType::Boolean, &C::Modal, &C::SetModal, true),
        property<C>(QStringLiteral("OutlineExpand"), PropType::Boolean, &C::OutlineExpand, &C::SetOutlineExpand, true),
        property<C>(QStringLiteral("OutlineVisible"), PropType::Boolean, &C::OutlineVisible, &C::SetOutlineVisible,
            false),
        property<C>(QStringLiteral("OutlineWidth"), PropType::Integer, &C::OutlineWidth, &C::SetOutlineWidth,
            qint64(120)),
        property<C>(QStringLiteral("PagesInCache"), PropType::Integer, &C::PagesInCache, &C::SetPagesInCache,
            qint64(50)),
        property<C>(QStringLiteral("ThumbnailVisible"), PropType::Boolean, &C::ThumbnailVisible,
            &C::SetThumbnailVisible, false),
        property<C>(QStringLiteral("ShowCaptions"), PropType::Boolean, &C::ShowCaptions, &C::SetShowCaptions, false),
        property<C>(QStringLiteral("Zoom"), PropType::Float, &C::Zoom, &C::SetZoom, 1.0),
        property<C>(QStringLiteral("ZoomMode"), PropType::Enum, &C::ZoomMode, &C::SetZoomMode, qint64(0), &zoomMode),
        property<C>(QStringLiteral("PictureCacheInFile"), PropType::Boolean, &C::PictureCacheInFile,
            &C::SetPictureCacheInFile, false),
    };
    return table;
}

void TfrxPreviewOptions::Clear()
{
    m_outlineExpand = true;
    m_outlineVisible = false;
    m_outlineWidth = 120;
    m_pagesInCache = 50;
    m_thumbnailVisible = false;
}

const PropertyTable& TfrxPrintOptions::Properties() const
{
    using namespace props;
    using C = TfrxPrintOptions;
    static const EnumType printMode{{QStringLiteral("pmDefault"), QStringLiteral("pmSplit"), QStringLiteral("pmJoin"),
        QStringLiteral("pmScale")}};
    static const EnumType printPages{{QStringLiteral("ppAll"), QStringLiteral("ppOdd"), QStringLiteral("ppEven")}};
    // PrintOnSheet has no declared default: it is always written.
    static const PropertyTable table{
        property<C>(QStringLiteral("Copies"), PropType::Integer, &C::Copies, &C::SetCopies, qint64(1)),
        property<C>(QStringLiteral("Collate"), PropType::Boolean, &C::Collate, &C::SetCollate, true),
        property<C>(QStringLiteral("PageNumbers"), PropType::String, &C::PageNumbers, &C::SetPageNumbers, QString()),
        property<C>(QStringLiteral("Printer"), PropType::String, &C::Printer, &C::SetPrinter,
            QStringLiteral("Default")),
        property<C>(QStringLiteral("PrintMode"), PropType::Enum, &C::PrintMode, &C::SetPrintMode, qint64(0),
            &printMode),
        property<C>(QStringLiteral("PrintOnSheet"), PropType::Integer, &C::PrintOnSheet, &C::SetPrintOnSheet),
        property<C>(QStringLiteral("PrintPages"), PropType::Enum, &C::PrintPages, &C::SetPrintPages, qint64(0),
            &printPages),
        property<C>(QStringLiteral("Reverse"), PropType::Boolean, &C::Reverse, &C::SetReverse, false),
        property<C>(QStringLiteral("ShowDialog"), PropType::Boolean, &C::ShowDialog, &C::SetShowDialog, true),
    };
    return table;
}

void TfrxPrintOptions::Clear()
{
    m_copies = 1;
    m_collate = true;
    m_pageNumbers.clear();
    m_pagesPerSheet = 0;
    m_printer = QStringLiteral("Default");
    m_printMode = TfrxPrintMode::pmDefault;
    m_printOnSheet = 0;
    m_printPages = TfrxPrintPages::ppAll;
    m_reverse = false;
    m_showDialog = true;
    m_splicingLine = 3;
    m_duplex = 0;
}

const PropertyTable& TfrxReportOptions::Properties() const
{
    using namespace props;
    using C = TfrxReportOptions;
    static const PropertyTable table{
        property<C>(QStringLiteral("Author"), PropType::String, &C::Author, &C::SetAuthor, QString()),
        property<C>(QStringLiteral("Compressed"), PropType::Boolean, &C::Compressed, &C::SetCompressed, false),
        property<C>(QStringLiteral("ConnectionName"), PropType::String, &C::ConnectionName, &C::SetConnectionName,
            QString()),
        property<C>(QStringLiteral("CreateDate"), PropType::Float, &C::CreateDate, &C::SetCreateDate),
        property<C>(QStringLiteral("Description"), PropType::StringList, &C::Description, &C::SetDescription,
            QStringList()),
        property<C>(QStringLiteral("InitString"), PropType::String, &C::InitString, &C::SetInitString, QString()),
        property<C>(QStringLiteral("Name"), PropType::String, &C::Name, &C::SetName, QString()),
        property<C>(QStringLiteral("LastChange"), PropType::Float, &C::LastChange, &C::SetLastChange),
        property<C>(QStringLiteral("Password"), PropType::String, &C::Password, &C::SetPassword, QString()),
        picture(QStringLiteral("Picture")),
        property<C>(QStringLiteral("VersionBuild"), PropType::String, &C::VersionBuild, &C::SetVersionBuild,
            QString()),
        property<C>(QStringLiteral("VersionMajor"), PropType::String, &C::VersionMajor, &C::SetVersionMajor,
            QString()),
        property<C>(QStringLiteral("VersionMinor"), PropType::String, &C::VersionMinor, &C::SetVersionMinor,
            QString()),
        property<C>(QStringLiteral("VersionRelease"), PropType::String, &C::VersionRelease, &C::SetVersionRelease,
            QString()),
    };
    return table;
}

void TfrxReportOptions::Clear(const QDateTime& now)
{
    m_author.clear();
    m_compressed = false;
    m_createDate = DateTimeToDays(now);
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

} // namespace quittung
