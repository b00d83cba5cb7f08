#include "report/document/class_registry.h"

#include "report/document/band.h"
#include "report/document/line_object.h"
#include "report/document/text_object.h"
#include "report/document/other_objects.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/document/shape_object.h"

#include <algorithm>
#include <array>

namespace quittung::report {

namespace {

struct ClassEntry {
    const char* name;
    std::unique_ptr<ReportObject> (*create)();
};

template <class T>
std::unique_ptr<ReportObject> make()
{
    return std::make_unique<T>();
}

constexpr std::array<ClassEntry, 39> classes{{
    {"TfrxReport", make<Report>},
    {"TfrxDataPage", make<DataPage>},
    {"TfrxReportPage", make<ReportPage>},
    {"TfrxMemoView", make<TextObject>},
    {"TfrxShapeView", make<ShapeObject>},
    {"TfrxLineView", make<LineObject>},
    {"TfrxDialogPage", make<DialogPage>},
    {"TfrxDMPPage", make<DotMatrixPage>},
    {"TfrxReportTitle", make<ReportTitleBand>},
    {"TfrxReportSummary", make<ReportSummaryBand>},
    {"TfrxPageHeader", make<PageHeaderBand>},
    {"TfrxPageFooter", make<PageFooterBand>},
    {"TfrxHeader", make<HeaderBand>},
    {"TfrxFooter", make<FooterBand>},
    {"TfrxMasterData", make<MasterDataBand>},
    {"TfrxDetailData", make<DetailDataBand>},
    {"TfrxSubdetailData", make<SubdetailDataBand>},
    {"TfrxDataBand4", make<DataBand4>},
    {"TfrxDataBand5", make<DataBand5>},
    {"TfrxDataBand6", make<DataBand6>},
    {"TfrxGroupHeader", make<GroupHeaderBand>},
    {"TfrxGroupFooter", make<GroupFooterBand>},
    {"TfrxChild", make<ChildBand>},
    {"TfrxColumnHeader", make<ColumnHeaderBand>},
    {"TfrxColumnFooter", make<ColumnFooterBand>},
    {"TfrxOverlay", make<OverlayBand>},
    {"TfrxNullBand", make<PageObjectsBand>},
    {"TfrxCustomMemoView", make<TextObjectBase>},
    {"TfrxSysMemoView", make<SystemTextObject>},
    {"TfrxCustomLineView", make<LineObjectBase>},
    {"TfrxPictureView", make<PictureObject>},
    {"TfrxSubreport", make<SubreportObject>},
    {"TfrxCheckBoxView", make<CheckBoxObject>},
    {"TfrxDMPMemoView", make<DotMatrixTextObject>},
    {"TfrxDMPLineView", make<DotMatrixLineObject>},
    {"TfrxDMPCommand", make<DotMatrixCommand>},
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

bool isKnownClass(const QString& className)
{
    return findClass(className) != nullptr;
}

std::unique_ptr<ReportObject> createObject(const QString& className)
{
    const ClassEntry* entry = findClass(className);
    return entry && entry->create ? entry->create() : nullptr;
}

QStringList templateClassNames()
{
    QStringList names;
    for (const ClassEntry& entry : classes)
        names.append(QLatin1String(entry.name));
    return names;
}

std::unique_ptr<ReportObject> copyObject(const ReportObject& source)
{
    std::unique_ptr<ReportObject> copy = createObject(source.className());
    if (copy) {
        copy->assignProperties(source);
        copy->setName(source.name());
    }
    return copy;
}

} // namespace quittung::report
