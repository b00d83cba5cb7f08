#include "report/engine/pages/clipped_texts.h"

#include "report/document/text_object.h"
#include "report/engine/pages/page_walk.h"
#include "report/engine/pages/prepared_pages.h"
#include "report/engine/pages/view_drawing.h"
#include "report/engine/text/text_layout.h"

#include <cmath>

namespace quittung::report {

std::vector<ClippedText> clippedTexts(const PreparedPages& pages)
{
    std::vector<ClippedText> clipped;
    PageWalkOptions options;
    options.totalPages = pages.count();
    for (int page = 0; page < pages.count(); ++page) {
        walkPage(pages, page, options, [&](const ReportObject& object) {
            const auto* memo = dynamic_cast<const TextObjectBase*>(&object);
            if (!memo || memo->rotation() != 0 || memo->text().trimmed().isEmpty())
                return true;
            const TextLayout layout = layOutText(*memo);
            if (!layout.layoutSpec().clipped || layout.lines().isEmpty())
                return true;
            // A line is shown when its character cell fits; the spacing after the last line may
            // fall outside. Half a pixel absorbs the rounding of the rectangle to whole pixels.
            const double available = layout.layoutSpec().rect.height() + 0.5;
            const double step = layout.lineHeight();
            const int count = int(layout.lines().size());
            const int shown = step > 0
                ? std::max(0, int(std::floor((available - layout.textHeight()) / step)) + 1)
                : count;
            if (shown < count)
                clipped.push_back({page, memo->name(), count, shown});
            return true;
        });
    }
    return clipped;
}

} // namespace quittung::report
