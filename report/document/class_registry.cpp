#include "report/document/class_registry.h"

#include "report/document/band.h"
#include "report/document/line_view.h"
#include "report/document/memo_view.h"
#include "report/document/other_objects.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/document/shape_view.h"

#include <algorithm>
#include <array>

namespace quittung {

namespace {

struct ClassEntry {
    const char* name;
    std::unique_ptr<TfrxComponent> (*create)();
};

template <class T>
std::unique_ptr<TfrxComponent> make()
{
    return std::make_unique<T>();
}

constexpr std::array<ClassEntry, 39> classes{{
    {"TfrxReport", make<TfrxReport>},
    {"TfrxDataPage", make<TfrxDataPage>},
    {"TfrxReportPage", make<TfrxReportPage>},
    {"TfrxMemoView", make<TfrxMemoView>},
    {"TfrxShapeView", make<TfrxShapeView>},
    {"TfrxLineView", make<TfrxLineView>},
    {"TfrxDialogPage", make<TfrxDialogPage>},
    {"TfrxDMPPage", make<TfrxDMPPage>},
    {"TfrxReportTitle", make<TfrxReportTitle>},
    {"TfrxReportSummary", make<TfrxReportSummary>},
    {"TfrxPageHeader", make<TfrxPageHeader>},
    {"TfrxPageFooter", make<TfrxPageFooter>},
    {"TfrxHeader", make<TfrxHeader>},
    {"TfrxFooter", make<TfrxFooter>},
    {"TfrxMasterData", make<TfrxMasterData>},
    {"TfrxDetailData", make<TfrxDetailData>},
    {"TfrxSubdetailData", make<TfrxSubdetailData>},
    {"TfrxDataBand4", make<TfrxDataBand4>},
    {"TfrxDataBand5", make<TfrxDataBand5>},
    {"TfrxDataBand6", make<TfrxDataBand6>},
    {"TfrxGroupHeader", make<TfrxGroupHeader>},
    {"TfrxGroupFooter", make<TfrxGroupFooter>},
    {"TfrxChild", make<TfrxChild>},
    {"TfrxColumnHeader", make<TfrxColumnHeader>},
    {"TfrxColumnFooter", make<TfrxColumnFooter>},
    {"TfrxOverlay", make<TfrxOverlay>},
    {"TfrxNullBand", make<TfrxNullBand>},
    {"TfrxCustomMemoView", make<TfrxCustomMemoView>},
    {"TfrxSysMemoView", make<TfrxSysMemoView>},
    {"TfrxCustomLineView", make<TfrxCustomLineView>},
    {"TfrxPictureView", make<TfrxPictureView>},
    {"TfrxSubreport", make<TfrxSubreport>},
    {"TfrxCheckBoxView", make<TfrxCheckBoxView>},
    {"TfrxDMPMemoView", make<TfrxDMPMemoView>},
    {"TfrxDMPLineView", make<TfrxDMPLineView>},
    {"TfrxDMPCommand", make<TfrxDMPCommand>},
    // Settings: known, but they are parts of objects, not objects.
    {"TfrxFrame", nullptr},
    {"TfrxHighlight", nullptr},
    {"TfrxStyleItem", nullptr},
}};

const ClassEntry* findClass(const QString& className)
{
    const auto found = std::find_if(classes.begin(), classes.end(), [&](const ClassEntry& entry) {
        return className.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0;
    });
    return found == classes.end() ? nullptr : &*found;
}

} // namespace

bool IsKnownClass(const QString& className)
{
    return findClass(className) != nullptr;
}

std::unique_ptr<TfrxComponent> CreateComponent(const QString& className)
{
    const ClassEntry* entry = findClass(className);
    return entry && entry->create ? entry->create() : nullptr;
}

} // namespace quittung
