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
#include <type_traits>
#include <typeinfo>

namespace quittung::report {

namespace {

using Copy = std::unique_ptr<ReportObject> (*)(const ReportObject&);

struct ClassEntry {
    const char* name;
    std::unique_ptr<ReportObject> (*create)();
    Copy copy = nullptr;
    const std::type_info* type = nullptr;
};

template <class T>
std::unique_ptr<ReportObject> make()
{
    return std::make_unique<T>();
}

// A copy by the class's copy constructor, which copies every value of the object at once instead of
// one property after the other through the property table.
template <class T>
std::unique_ptr<ReportObject> copyOf(const ReportObject& source)
{
    return std::unique_ptr<ReportObject>(new T(static_cast<const T&>(source)));
}

template <class T>
constexpr ClassEntry entry(const char* name)
{
    if constexpr (std::is_copy_constructible_v<T>)
        return {name, make<T>, copyOf<T>, &typeid(T)};
    else
        return {name, make<T>};
}

constexpr std::array<ClassEntry, 39> classes{{
    entry<Report>("TfrxReport"),
    entry<DataPage>("TfrxDataPage"),
    entry<ReportPage>("TfrxReportPage"),
    entry<TextObject>("TfrxMemoView"),
    entry<ShapeObject>("TfrxShapeView"),
    entry<LineObject>("TfrxLineView"),
    entry<DialogPage>("TfrxDialogPage"),
    entry<DotMatrixPage>("TfrxDMPPage"),
    entry<ReportTitleBand>("TfrxReportTitle"),
    entry<ReportSummaryBand>("TfrxReportSummary"),
    entry<PageHeaderBand>("TfrxPageHeader"),
    entry<PageFooterBand>("TfrxPageFooter"),
    entry<HeaderBand>("TfrxHeader"),
    entry<FooterBand>("TfrxFooter"),
    entry<MasterDataBand>("TfrxMasterData"),
    entry<DetailDataBand>("TfrxDetailData"),
    entry<SubdetailDataBand>("TfrxSubdetailData"),
    entry<DataBand4>("TfrxDataBand4"),
    entry<DataBand5>("TfrxDataBand5"),
    entry<DataBand6>("TfrxDataBand6"),
    entry<GroupHeaderBand>("TfrxGroupHeader"),
    entry<GroupFooterBand>("TfrxGroupFooter"),
    entry<ChildBand>("TfrxChild"),
    entry<ColumnHeaderBand>("TfrxColumnHeader"),
    entry<ColumnFooterBand>("TfrxColumnFooter"),
    entry<OverlayBand>("TfrxOverlay"),
    entry<PageObjectsBand>("TfrxNullBand"),
    entry<TextObjectBase>("TfrxCustomMemoView"),
    entry<SystemTextObject>("TfrxSysMemoView"),
    entry<LineObjectBase>("TfrxCustomLineView"),
    entry<PictureObject>("TfrxPictureView"),
    entry<SubreportObject>("TfrxSubreport"),
    entry<CheckBoxObject>("TfrxCheckBoxView"),
    entry<DotMatrixTextObject>("TfrxDMPMemoView"),
    entry<DotMatrixLineObject>("TfrxDMPLineView"),
    entry<DotMatrixCommand>("TfrxDMPCommand"),
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
    // Objects are copied many times per receipt: their own class is found by its type first.
    const std::type_info& type = typeid(source);
    const auto same = std::find_if(classes.begin(), classes.end(), [&](const ClassEntry& e) { return e.type && *e.type == type; });
    if (same != classes.end())
        return same->copy(source);
    std::unique_ptr<ReportObject> copy = createObject(source.className());
    if (copy) {
        copy->assignProperties(source);
        copy->setName(source.name());
    }
    return copy;
}

} // namespace quittung::report
