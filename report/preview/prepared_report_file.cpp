#include "report/preview/prepared_report_file.h"

#include "report/document/page.h"
#include "report/document/template_serializer.h"
#include "report/document/xml_document.h"
#include "report/engine/pages/prepared_pages.h"
#include "runtime/exception.h"

#include <QCoreApplication>

namespace quittung::report {

namespace {

const QString RootName = QStringLiteral("preparedreport");

QString tr(const char* text)
{
    return QCoreApplication::translate("PreparedReportFile", text);
}

} // namespace

void savePreparedPages(const PreparedPages& pages, QIODevice& stream)
{
    XmlDocument document;
    document.setAutoIndent(true);
    document.root().setName(RootName);
    TemplateSerializer serializer;
    for (int i = 0; i < pages.count(); ++i)
        serializer.writeRootComponent(*pages.page(i), true, document.root().add());
    document.saveToStream(stream);
}

QString loadPreparedPages(QIODevice& stream, PreparedPages& pages)
{
    XmlDocument document;
    try {
        document.loadFromStream(stream);
    } catch (const Exception& error) {
        return tr("The file is not a prepared report: %1").arg(error.message());
    }
    const XmlElement& root = document.root();
    if (root.name() != RootName)
        return tr("The file is not a prepared report.");

    PreparedPages loaded;
    for (int i = 0; i < root.count(); ++i) {
        const XmlElement& element = root.item(i);
        if (element.name() != QLatin1String("TfrxReportPage"))
            return tr("The prepared report holds an unknown element %1.").arg(element.name());
        ReportPage read;
        TemplateSerializer serializer;
        serializer.readRootComponent(read, element);
        if (!serializer.errors().isEmpty())
            return tr("The prepared report is damaged: %1").arg(serializer.errors().join(QStringLiteral("; ")));
        ReportPage& page = loaded.addPage(read);
        while (!read.children().empty())
            read.children().front()->setParent(&page);
    }
    pages = std::move(loaded);
    return {};
}

} // namespace quittung::report
