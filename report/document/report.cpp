#include "report/document/report.h"

#include "report/document/engine_host.h"
#include "report/document/engine_messages.h"
#include "report/document/page.h"
#include "report/document/xml_document.h"
#include "report/document/xml_serializer.h"
#include "runtime/exception.h"
#include "runtime/messages.h"
#include "runtime/safe_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace quittung {

TfrxReport::TfrxReport(Clock clock) : m_clock(std::move(clock))
{
    Clear();
}

const PropertyTable& TfrxReport::Properties() const
{
    using namespace props;
    using C = TfrxReport;
    // DotMatrixReport has no declared default: it is always written. Strings are written whenever
    // they are not empty, so IniFile, ScriptLanguage and Version always appear.
    static const PropertyTable table{
        property<TfrxComponent>(QStringLiteral("Tag"), PropType::Integer, &TfrxComponent::Tag,
            &TfrxComponent::SetTag, qint64(0)),
        property<C>(QStringLiteral("Version"), PropType::String, &C::Version, &C::SetVersion,
            QStringLiteral("4.13.2")),
        property<C>(QStringLiteral("ParentReport"), PropType::String, &C::ParentReport, &C::SetParentReport,
            QString()),
        property<C>(QStringLiteral("DataSet"), PropType::Reference, &C::DataSet, &C::SetDataSet, QString()),
        property<C>(QStringLiteral("DataSetName"), PropType::String, &C::DataSetName, &C::SetDataSetName, QString()),
        property<C>(QStringLiteral("DotMatrixReport"), PropType::Boolean, &C::DotMatrixReport,
            &C::SetDotMatrixReport),
        nested<C, TfrxEngineOptions>(QStringLiteral("EngineOptions"), &C::EngineOptions),
        property<C>(QStringLiteral("IniFile"), PropType::String, &C::IniFile, &C::SetIniFile,
            QStringLiteral("\\Software\\Tarvik")),
        property<C>(QStringLiteral("OldStyleProgress"), PropType::Boolean, &C::OldStyleProgress,
            &C::SetOldStyleProgress, false),
        property<C>(QStringLiteral("Preview"), PropType::Reference, &C::Preview, &C::SetPreview, QString()),
        nested<C, TfrxPreviewOptions>(QStringLiteral("PreviewOptions"), &C::PreviewOptions),
        nested<C, TfrxPrintOptions>(QStringLiteral("PrintOptions"), &C::PrintOptions),
        nested<C, TfrxReportOptions>(QStringLiteral("ReportOptions"), &C::ReportOptions),
        property<C>(QStringLiteral("ScriptLanguage"), PropType::String, &C::ScriptLanguage, &C::SetScriptLanguage,
            QStringLiteral("PascalScript")),
        property<C>(QStringLiteral("ScriptText"), PropType::StringList, &C::ScriptText, &C::SetScriptText,
            QStringList{QStringLiteral("begin"), QString(), QStringLiteral("end.")}),
        property<C>(QStringLiteral("ShowProgress"), PropType::Boolean, &C::ShowProgress, &C::SetShowProgress, true),
        property<C>(QStringLiteral("StoreInDFM"), PropType::Boolean, &C::StoreInDFM, &C::SetStoreInDFM, true),
        property<C>(QStringLiteral("OnRunDialogs"), PropType::String, &C::OnRunDialogs, &C::SetOnRunDialogs, QString()),
        property<C>(QStringLiteral("OnStartReport"), PropType::String, &C::OnStartReport, &C::SetOnStartReport,
            QString()),
        property<C>(QStringLiteral("OnStopReport"), PropType::String, &C::OnStopReport, &C::SetOnStopReport, QString()),
        property<C>(QStringLiteral("OnReportPrint"), PropType::String, &C::OnReportPrint, &C::SetOnReportPrint,
            QString()),
    };
    return table;
}

void TfrxReport::Clear()
{
    TfrxComponent::Clear();
    m_variables.Clear();
    m_engineOptions.Clear();
    m_previewOptions.Clear();
    m_printOptions.Clear();
    m_reportOptions.Clear(m_clock ? m_clock() : QDateTime::currentDateTime());
    m_styles.Clear();
    m_dataSet.clear();
    m_dataSetName.clear();
    m_dotMatrixReport = false;
    m_parentReport.clear();
    m_scriptLanguage = QStringLiteral("PascalScript");
    m_scriptText = {QStringLiteral("begin"), QString(), QStringLiteral("end.")};
    m_systemVariables = {QStringLiteral("Date"), QStringLiteral("Time"), QStringLiteral("Page"),
        QStringLiteral("Page#"), QStringLiteral("TotalPages"), QStringLiteral("TotalPages#"), QStringLiteral("Line"),
        QStringLiteral("Line#"), QStringLiteral("CopyName#")};
    m_onRunDialogs.clear();
    m_onStartReport.clear();
    m_onStopReport.clear();
}

TfrxPage* TfrxReport::Pages(int index) const
{
    CheckListIndex(index, PagesCount());
    return dynamic_cast<TfrxPage*>(Children()[static_cast<std::size_t>(index)].get());
}

void TfrxReport::CheckDataPage()
{
    const std::vector<TfrxComponent*> all = AllObjects();
    const bool hasDataPage = std::any_of(
        all.begin(), all.end(), [](const TfrxComponent* object) { return dynamic_cast<const TfrxDataPage*>(object); });
    if (hasDataPage)
        return;
    auto* page = Add<TfrxDataPage>();
    if (FindObject(QStringLiteral("Data")))
        page->CreateUniqueName();
    else
        page->SetName(QStringLiteral("Data"));
    page->MoveToIndex(0);
}

} // namespace quittung

namespace quittung {

bool TfrxReport::LoadFromFile(const QString& fileName, bool exceptionIfNotFound)
{
    Clear();
    m_fileName.clear();
    const bool exists = QFileInfo(fileName).isFile();
    if (!exists && !exceptionIfNotFound)
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(formatMessage(msg::SFOpenErrorEx, {fileName, file.errorString()}));
    m_fileName = fileName;
    LoadFromStream(file);
    return exists;
}

void TfrxReport::LoadFromStream(QIODevice& stream)
{
    ReadFromStream(stream);
    ReportErrors();
}

void TfrxReport::ReadFromStream(QIODevice& stream)
{
    m_errors.Clear();
    // A template cannot change how the loading report previews, reports errors or shows progress.
    const TfrxEngineOptions engineOptions = m_engineOptions;
    const TfrxPreviewOptions previewOptions = m_previewOptions;
    const QString iniFile = m_iniFile;
    const QString preview = m_preview;
    const bool oldStyleProgress = m_oldStyleProgress;
    const bool showProgress = m_showProgress;
    const bool storeInDFM = m_storeInDFM;

    Clear();
    TfrxXMLDocument document;
    bool layerRead = true;
    try {
        document.LoadFromStream(stream);
    } catch (const Exception& error) {
        m_errors.Add(error.message());
        layerRead = false;
    }
    // Objects are built only from a complete element tree.
    if (layerRead) {
        TfrxXMLSerializer serializer(this);
        serializer.OldFormat = document.OldVersion;
        serializer.ReadRootComponent(*this, document.Root());
        m_errors.AddStrings(serializer.Errors());
    }
    CheckDataPage();

    TfrxEngineOptions keptEngine = engineOptions;
    keptEngine.SetConvertNulls(m_engineOptions.ConvertNulls());
    keptEngine.SetIgnoreDevByZero(m_engineOptions.IgnoreDevByZero());
    keptEngine.SetDoublePass(m_engineOptions.DoublePass());
    m_engineOptions = keptEngine;
    TfrxPreviewOptions keptPreview = previewOptions;
    keptPreview.SetOutlineVisible(m_previewOptions.OutlineVisible());
    keptPreview.SetOutlineWidth(m_previewOptions.OutlineWidth());
    keptPreview.SetOutlineExpand(m_previewOptions.OutlineExpand());
    keptPreview.SetPagesInCache(m_previewOptions.PagesInCache());
    keptPreview.SetThumbnailVisible(m_previewOptions.ThumbnailVisible());
    m_previewOptions = keptPreview;
    m_iniFile = iniFile;
    m_preview = preview;
    m_oldStyleProgress = oldStyleProgress;
    m_showProgress = showProgress;
    m_storeInDFM = storeInDFM;
}

void TfrxReport::ReportErrors()
{
    if (m_errors.IsEmpty())
        return;
    QString text = frxGet(QStringLiteral("dsErrors")) + QStringLiteral("\r\n");
    for (const QString& line : m_errors.Strings())
        text += line + QStringLiteral("\r\n");
    switch (m_engineOptions.NewSilentMode()) {
    case TfrxSilentMode::simMessageBoxes:
        engineHost().ShowMessage(frxGet(QStringLiteral("mbError")), text, EngineHost::Icon::Error);
        break;
    case TfrxSilentMode::simReThrow:
        throw Exception(text);
    case TfrxSilentMode::simSilent:
        break;
    }
}

void TfrxReport::SaveToFile(const QString& fileName)
{
    // A parent template with a drive letter is kept relative to the file being written.
    if (m_parentReport.size() > 1 && m_parentReport[1] == QLatin1Char(':'))
        m_parentReport = QDir(QFileInfo(fileName).absolutePath()).relativeFilePath(m_parentReport);
    WriteFileSafely(fileName, [this](QIODevice& file) { SaveToStream(file); });
}

void TfrxReport::SaveToStream(QIODevice& stream)
{
    TfrxXMLDocument document;
    document.AutoIndent = true;
    TfrxXMLSerializer serializer(this);
    serializer.WriteRootComponent(*this, true, document.Root());
    document.SaveToStream(stream);
}

} // namespace quittung
