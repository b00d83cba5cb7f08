#include "report/engine/pages/page_walk.h"

#include "report/document/band.h"
#include "report/document/other_objects.h"
#include "report/document/page.h"
#include "report/document/text_object.h"
#include "report/engine/pages/prepared_pages.h"
#include "report/engine/pages/report_preparer.h"
#include "report/engine/pages/view_drawing.h"

#include <vector>

namespace quittung::report {

namespace {

// Places a prepared page at its margins for the time of a walk and puts back what the walk
// completed in its text objects.
class PagePlacement {
public:
    PagePlacement(ReportPage& page, int index)
    {
        const double margin = page.mirrorMargins() && index % 2 == 1 ? page.rightMargin() : page.leftMargin();
        m_dx = margin * PixelsPerMm;
        m_dy = page.topMargin() * PixelsPerMm;
        // Pages do not count for absolute positions, so the bands carry the margins.
        for (const auto& child : page.children()) {
            if (auto* band = dynamic_cast<Band*>(child.get())) {
                band->setLeft(band->left() + m_dx);
                band->setTop(band->top() + m_dy);
                m_bands.push_back(band);
            }
        }
    }
    ~PagePlacement()
    {
        for (auto memo = m_memos.rbegin(); memo != m_memos.rend(); ++memo) {
            memo->memo->setLines(memo->lines);
            memo->memo->setFont(memo->font);
            memo->memo->setParentFont(memo->parentFont);
            memo->memo->setColor(memo->color);
            memo->memo->setLeft(memo->left);
            memo->memo->setWidth(memo->width);
        }
        for (Band* band : m_bands) {
            band->setLeft(band->left() - m_dx);
            band->setTop(band->top() - m_dy);
        }
    }
    PagePlacement(const PagePlacement&) = delete;
    PagePlacement& operator=(const PagePlacement&) = delete;

    double left() const { return m_dx; }
    double top() const { return m_dy; }

    // Completes a text object for output; the destructor puts it back.
    void complete(TextObjectBase& memo, const PageWalkOptions& options)
    {
        m_memos.push_back(
            {&memo, memo.lines(), memo.font(), memo.parentFont(), memo.color(), memo.left(), memo.width()});
        if (memo.highlight().active()) {
            memo.setFont(memo.highlight().font());
            // A highlight without a colour of its own leaves the fill as it is.
            if (memo.highlight().color() != colors::None)
                memo.setColor(memo.highlight().color());
        }
        extractMacros(memo, options.totalPages);
        fitAutoWidth(memo);
    }

private:
    struct Completed {
        TextObjectBase* memo;
        QStringList lines;
        Font font;
        bool parentFont;
        Color color;
        double left;
        double width;
    };
    double m_dx = 0;
    double m_dy = 0;
    std::vector<Band*> m_bands;
    std::vector<Completed> m_memos;
};

bool takes(const ReportObject& object, const PageWalkOptions& options)
{
    if (!object.visible())
        return false;
    const auto* view = dynamic_cast<const View*>(&object);
    return !view || view->printable() || options.includeNotPrintable;
}

} // namespace

void walkPage(const PreparedPages& pages, int index, const PageWalkOptions& options, const PageVisitor& visit)
{
    ReportPage* page = pages.page(index);
    if (!page)
        return;
    PagePlacement placement(*page, index);

    // The printable area's colour and frame, under everything else.
    PictureObject background;
    background.setName(QStringLiteral("_pagebackground"));
    background.setColor(page->color());
    background.frame() = page->frame();
    background.setBounds(placement.left(), placement.top(), page->pageWidth(), page->pageHeight());
    visit(background);

    for (const auto& child : page->children()) {
        auto* band = dynamic_cast<Band*>(child.get());
        if (!band || !takes(*band, options) || !visit(*band))
            continue;
        for (const auto& object : band->children()) {
            if (!takes(*object, options))
                continue;
            if (auto* memo = dynamic_cast<TextObjectBase*>(object.get()))
                placement.complete(*memo, options);
            visit(*object);
        }
    }
}

} // namespace quittung::report
