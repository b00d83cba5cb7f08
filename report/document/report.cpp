#include "report/document/report.h"

#include "report/document/engine_host.h"
#include "report/document/engine_messages.h"
#include "report/document/page.h"
#include "report/document/xml_document.h"
#include "report/document/template_serializer.h"
#include "runtime/exception.h"
#include "runtime/messages.h"
#include "runtime/safe_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace quittung::report {

Report::Report(Clock clock) : m_clock(std::move(clock))
{
    clear();
}

const PropertyTable& Report::properties() const
{
    using namespace props;
    using C = Report;
    // DotMatrixReport has no declared default: it is always written. Strings are written whenever
    // they are not empty, so IniFile, ScriptLanguage and Version always appear.
    static const PropertyTable table{
        property<ReportObject>(QStringLiteral("Tag"), PropType::Integer, &ReportObject::tag,
            &ReportObject::setTag, qint64(0)),
        property<C>(QStringLiteral("Version"), PropType::String, &C::version, &C::setVersion,
            QStringLiteral("4.13.2")),
        property<C>(QStringLiteral("ParentReport"), PropType::String, &C::parentReport, &C::setParentReport,
            QString()),
        property<C>(QStringLiteral("DataSet"), PropType::Reference, &C::dataSet, &C::setDataSet, QString()),
        property<C>(QStringLiteral("DataSetName"), PropType::String, &C::dataSetName, &C::setDataSetName, QString()),
        property<C>(QStringLiteral("DotMatrixReport"), PropType::Boolean, &C::dotMatrixReport,
            &C::setDotMatrixReport),
        nested<C, EngineOptions>(QStringLiteral("EngineOptions"), &C::engineOptions),
        property<C>(QStringLiteral("IniFile"), PropType::String, &C::iniFile, &C::setIniFile,
            QStringLiteral("\\Software\\Tarvik")),
        property<C>(QStringLiteral("OldStyleProgress"), PropType::Boolean, &C::oldStyleProgress,
            &C::setOldStyleProgress, false),
        property<C>(QStringLiteral("Preview"), PropType::Reference, &C::preview, &C::setPreview, QString()),
        nested<C, PreviewOptions>(QStringLiteral("PreviewOptions"), &C::previewOptions),
        nested<C, PrintOptions>(QStringLiteral("PrintOptions"), &C::printOptions),
        nested<C, ReportOptions>(QStringLiteral("ReportOptions"), &C::reportOptions),
        property<C>(QStringLiteral("ScriptLanguage"), PropType::String, &C::scriptLanguage, &C::setScriptLanguage,
            QStringLiteral("PascalScript")),
        property<C>(QStringLiteral("ScriptText"), PropType::StringList, &C::scriptText, &C::setScriptText,
            QStringList{QStringLiteral("begin"), QString(), QStringLiteral("end.")}),
        property<C>(QStringLiteral("ShowProgress"), PropType::Boolean, &C::showProgress, &C::setShowProgress, true),
        property<C>(QStringLiteral("StoreInDFM"), PropType::Boolean, &C::storeInDfm, &C::setStoreInDfm, true),
        property<C>(QStringLiteral("OnRunDialogs"), PropType::String, &C::onRunDialogs, &C::setOnRunDialogs, QString()),
        property<C>(QStringLiteral("OnStartReport"), PropType::String, &C::onStartReport, &C::setOnStartReport,
            QString()),
        property<C>(QStringLiteral("OnStopReport"), PropType::String, &C::onStopReport, &C::setOnStopReport, QString()),
        property<C>(QStringLiteral("OnReportPrint"), PropType::String, &C::onReportPrint, &C::setOnReportPrint,
            QString()),
    };
    return table;
}

QDateTime Report::now() const
{
    return m_clock ? m_clock() : QDateTime::currentDateTime();
}

void Report::clear()
{
    ReportObject::clear();
    m_variables.clear();
    m_engineOptions.clear();
    m_previewOptions.clear();
    m_printOptions.clear();
    m_reportOptions.clear(now());
    m_styles.clear();
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

Page* Report::pages(int index) const
{
    checkListIndex(index, pagesCount());
    return dynamic_cast<Page*>(children()[static_cast<std::size_t>(index)].get());
}

void Report::checkDataPage()
{
    const std::vector<ReportObject*> all = allObjects();
    const bool hasDataPage = std::any_of(
        all.begin(), all.end(), [](const ReportObject* object) { return dynamic_cast<const DataPage*>(object); });
    if (hasDataPage)
        return;
    auto* page = add<DataPage>();
    if (findObject(QStringLiteral("Data")))
        page->createUniqueName();
    else
        page->setName(QStringLiteral("Data"));
    page->moveToIndex(0);
}

} // namespace quittung::report

namespace quittung::report {

bool Report::loadFromFile(const QString& fileName, bool exceptionIfNotFound)
{
    clear();
    m_fileName.clear();
    const bool exists = QFileInfo(fileName).isFile();
    if (!exists && !exceptionIfNotFound)
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(formatMessage(msg::SFOpenErrorEx, {fileName, file.errorString()}));
    m_fileName = fileName;
    loadFromStream(file);
    return exists;
}

void Report::loadFromStream(QIODevice& stream)
{
    readFromStream(stream);
    reportErrors();
}

void Report::readFromStream(QIODevice& stream)
{
    m_errors.clear();
    // A template cannot change how the loading report previews, reports errors or shows progress.
    const EngineOptions engineOptions = m_engineOptions;
    const PreviewOptions previewOptions = m_previewOptions;
    const QString iniFile = m_iniFile;
    const QString preview = m_preview;
    const bool oldStyleProgress = m_oldStyleProgress;
    const bool showProgress = m_showProgress;
    const bool storeInDFM = m_storeInDFM;

    clear();
    XmlDocument document;
    bool layerRead = true;
    try {
        document.loadFromStream(stream);
    } catch (const Exception& error) {
        m_errors.add(error.message());
        layerRead = false;
    }
    // Objects are built only from a complete element tree.
    if (layerRead) {
        TemplateSerializer serializer(this);
        serializer.setOldFormat(document.isOldFormat());
        serializer.readRootComponent(*this, document.root());
        m_errors.addStrings(serializer.errors());
    }
    checkDataPage();

    EngineOptions keptEngine = engineOptions;
    keptEngine.setConvertNulls(m_engineOptions.convertNulls());
    keptEngine.setIgnoreDevByZero(m_engineOptions.ignoreDevByZero());
    keptEngine.setDoublePass(m_engineOptions.doublePass());
    m_engineOptions = keptEngine;
    PreviewOptions keptPreview = previewOptions;
    keptPreview.setOutlineVisible(m_previewOptions.outlineVisible());
    keptPreview.setOutlineWidth(m_previewOptions.outlineWidth());
    keptPreview.setOutlineExpand(m_previewOptions.outlineExpand());
    keptPreview.setPagesInCache(m_previewOptions.pagesInCache());
    keptPreview.setThumbnailVisible(m_previewOptions.thumbnailVisible());
    m_previewOptions = keptPreview;
    m_iniFile = iniFile;
    m_preview = preview;
    m_oldStyleProgress = oldStyleProgress;
    m_showProgress = showProgress;
    m_storeInDFM = storeInDFM;
}

void Report::reportErrors()
{
    reportErrorList(m_errors, m_engineOptions.newSilentMode());
}

void reportErrorList(const SortedStringList& errors, SilentMode mode)
{
    if (errors.isEmpty())
        return;
    QString text = engineMessage(QStringLiteral("dsErrors")) + QStringLiteral("\r\n");
    for (const QString& line : errors.strings())
        text += line + QStringLiteral("\r\n");
    switch (mode) {
    case SilentMode::MessageBoxes:
        engineHost().showMessage(engineMessage(QStringLiteral("mbError")), text, EngineHost::Icon::Error);
        break;
    case SilentMode::Rethrow:
        throw Exception(text);
    case SilentMode::Silent:
        break;
    }
}

void Report::saveToFile(const QString& fileName)
{
    // A parent template with a drive letter is kept relative to the file being written.
    if (m_parentReport.size() > 1 && m_parentReport[1] == QLatin1Char(':'))
        m_parentReport = QDir(QFileInfo(fileName).absolutePath()).relativeFilePath(m_parentReport);
    writeFileSafely(fileName, [this](QIODevice& file) { saveToStream(file); });
}

void Report::saveToStream(QIODevice& stream) const
{
    XmlDocument document;
    document.setAutoIndent(true);
    TemplateSerializer serializer;
    serializer.writeRootComponent(*this, true, document.root());
    document.saveToStream(stream);
}

} // namespace quittung::report
