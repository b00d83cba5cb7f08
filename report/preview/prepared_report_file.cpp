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

// The translation context of the messages below.
struct PreparedReportFile {
    Q_DECLARE_TR_FUNCTIONS(PreparedReportFile)
};

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
        return PreparedReportFile::tr("The file is not a prepared report: %1").arg(error.message());
    }
    const XmlElement& root = document.root();
    if (root.name() != RootName)
        return PreparedReportFile::tr("The file is not a prepared report.");

    PreparedPages loaded;
    for (int i = 0; i < root.count(); ++i) {
        const XmlElement& element = root.item(i);
        if (element.name() != QLatin1String("TfrxReportPage"))
            return PreparedReportFile::tr("The prepared report holds an unknown element %1.").arg(element.name());
        ReportPage read;
        TemplateSerializer serializer;
        serializer.readRootComponent(read, element);
        if (!serializer.errors().isEmpty())
            return PreparedReportFile::tr("The prepared report is damaged: %1").arg(serializer.errors().join(QStringLiteral("; ")));
        ReportPage& page = loaded.addPage(read);
        while (!read.children().empty())
            read.children().front()->setParent(&page);
    }
    pages = std::move(loaded);
    return {};
}

} // namespace quittung::report
