#include "report/engine/pages/page_walk.h"

#include "report/document/band.h"
#include "report/document/class_registry.h"
#include "report/document/other_objects.h"
#include "report/document/page.h"
#include "report/document/text_object.h"
#include "report/engine/pages/prepared_pages.h"
#include "report/engine/pages/report_preparer.h"
#include "report/engine/pages/view_drawing.h"

#include <memory>

namespace quittung::report {

namespace {

bool takes(const ReportObject& object, const PageWalkOptions& options)
{
    if (!object.visible())
        return false;
    const auto* view = dynamic_cast<const View*>(&object);
    return !view || view->printable() || options.includeNotPrintable;
}

// The text object as it is output, or nothing when that is the prepared object itself.
std::unique_ptr<TextObjectBase> completed(const TextObjectBase& memo, const PageWalkOptions& options)
{
    if (!memo.highlight().active() && !memo.autoWidth() && !holdsOutputMacros(memo))
        return nullptr;
    std::unique_ptr<TextObjectBase> copy = standaloneCopy(memo);
    if (!copy)
        return nullptr;
    if (memo.highlight().active()) {
        copy->setFont(memo.highlight().font());
        // A highlight without a colour of its own leaves the fill as it is.
        if (memo.highlight().color() != colors::None)
            copy->setColor(memo.highlight().color());
    }
    extractMacros(*copy, options.totalPages);
    fitAutoWidth(*copy);
    return copy;
}

} // namespace

QPointF pageOrigin(const ReportPage& page, int index)
{
    const double margin = page.mirrorMargins() && index % 2 == 1 ? page.rightMargin() : page.leftMargin();
    return {margin * PixelsPerMm, page.topMargin() * PixelsPerMm};
}

void walkPage(const PreparedPages& pages, int index, const PageWalkOptions& options, const PageVisitor& visit)
{
    const ReportPage* page = pages.page(index);
    if (!page)
        return;

    // The printable area's colour and frame, under everything else.
    PictureObject background;
    background.setName(QStringLiteral("_pagebackground"));
    background.setColor(page->color());
    background.frame() = page->frame();
    background.setBounds(0, 0, page->pageWidth(), page->pageHeight());
    visit(background);

    for (const auto& child : page->children()) {
        const auto* band = dynamic_cast<const Band*>(child.get());
        if (!band || !takes(*band, options) || !visit(*band))
            continue;
        for (const auto& object : band->children()) {
            if (!takes(*object, options))
                continue;
            const auto* memo = dynamic_cast<const TextObjectBase*>(object.get());
            const std::unique_ptr<TextObjectBase> copy = memo ? completed(*memo, options) : nullptr;
            visit(copy ? *copy : *object);
        }
    }
}

} // namespace quittung::report
