#include "app/template_check.h"

#include "app/german_messages.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/document/text_object.h"
#include "report/export/pdf/pdf_page_content.h"
#include "runtime/exception.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace quittung::app {

QString unreadableFileReason(const QString& fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return QStringLiteral("Die Datei gibt es nicht.");
    if (info.isDir())
        return QStringLiteral("Das ist ein Ordner, keine Datei.");
    if (!info.isFile())
        return QStringLiteral("Das ist keine gewöhnliche Datei.");
    if (!info.isReadable())
        return QStringLiteral("Die Datei darf nicht gelesen werden.");
    return QString();
}


TemplateInfo checkTemplate(TemplateStore& templates, const ReceiptTemplate& chosen)
{
    TemplateInfo info;
    // No file: the built-in design.
    if (chosen.file.isEmpty())
        return info;
    const auto fault = [&](const QString& reason) { return QStringLiteral("Vorlage \"%1\": %2").arg(chosen.file, reason); };
    if (const QString reason = unreadableFileReason(chosen.file); !reason.isEmpty()) {
        info.fault = fault(reason);
        return info;
    }
    std::shared_ptr<const report::Report> report;
    try {
        report = templates.get(chosen);
    } catch (const ListIndexError& error) {
        // The formats show or hide the second receipt page, the copy.
        info.fault = fault(chosen.copy ? QStringLiteral("Die Vorlage hat keine zweite Quittungsseite (die Kopie), die "
                                                        "das Format zeigt oder verbirgt.")
                                       : errorLine(error));
        return info;
    } catch (const std::exception& error) {
        info.fault = fault(errorLine(error));
        return info;
    }
    bool hasPage = false;
    for (int i = 0; i < report->pagesCount(); ++i) {
        const auto* page = dynamic_cast<const report::ReportPage*>(report->pages(i));
        hasPage = hasPage || (page && page->visible());
    }
    if (!hasPage) {
        info.fault = fault(QStringLiteral("Die Vorlage hat keine Seite, die gedruckt wird."));
        return info;
    }
    const std::vector<report::ReportObject*> objects = report->allObjects();
    info.drawsPictures = std::any_of(objects.begin(), objects.end(), [](const report::ReportObject* object) {
        const auto* view = dynamic_cast<const report::View*>(object);
        const auto* text = dynamic_cast<const report::TextObjectBase*>(object);
        return view && report::drawnAsPicture(*view, text && text->allowHtmlTags());
    });
    return info;
}

const TemplateInfo& templateInfo(TemplateStore& templates, const ReceiptTemplate& chosen)
{
    static const TemplateInfo builtin;
    if (chosen.file.isEmpty())
        return builtin;
    static QHash<QString, TemplateInfo> read;
    const QString key = chosen.file + (chosen.copy ? (*chosen.copy ? QStringLiteral("|copy") : QStringLiteral("|no copy")) : QString());
    auto found = read.constFind(key);
    if (found == read.constEnd())
        found = read.insert(key, checkTemplate(templates, chosen));
    return *found;
}

QString receiptTemplateFault(TemplateStore& templates, const QString& programFolder, settings::IniSettings& settings,
    const Receipt& receipt)
{
    return templateInfo(templates, receiptTemplate(programFolder, settings, receipt)).fault;
}

} // namespace quittung::app
