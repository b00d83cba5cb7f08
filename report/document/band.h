#pragma once

#include "report/document/view.h"

namespace quittung::report {

// A band of a report page; the objects inside it are positioned relative to it. Band layout is not
// built: bands keep the settings their table does not know, so templates holding them save again
// unchanged.
class Band : public OutputObject {
public:
    QString className() const override { return QStringLiteral("TfrxBand"); }
    const PropertyTable& properties() const override;
    bool keepsUnknownAttributes() const override { return true; }

    bool vertical() const { return m_vertical; }
    void setVertical(bool value) { m_vertical = value; }
    const QString& onAfterCalcHeight() const { return m_onAfterCalcHeight; }
    void setOnAfterCalcHeight(const QString& value) { m_onAfterCalcHeight = value; }

private:
    bool m_vertical = false;
    QString m_onAfterCalcHeight;
};

class ReportTitleBand : public Band {
public:
    QString className() const override { return QStringLiteral("TfrxReportTitle"); }
};

class ReportSummaryBand : public Band {
public:
    QString className() const override { return QStringLiteral("TfrxReportSummary"); }
};

class PageHeaderBand : public Band {
public:
    QString className() const override { return QStringLiteral("TfrxPageHeader"); }
};

class PageFooterBand : public Band {
public:
    QString className() const override { return QStringLiteral("TfrxPageFooter"); }
};

class HeaderBand : public Band {
public:
    QString className() const override { return QStringLiteral("TfrxHeader"); }
};

class FooterBand : public Band {
public:
    QString className() const override { return QStringLiteral("TfrxFooter"); }
};

class MasterDataBand : public Band {
public:
    QString className() const override { return QStringLiteral("TfrxMasterData"); }
};

class DetailDataBand : public Band {
public:
    QString className() const override { return QStringLiteral("TfrxDetailData"); }
};

class SubdetailDataBand : public Band {
public:
    QString className() const override { return QStringLiteral("TfrxSubdetailData"); }
};

class DataBand4 : public Band {
public:
    QString className() const override { return QStringLiteral("TfrxDataBand4"); }
};

class DataBand5 : public Band {
public:
    QString className() const override { return QStringLiteral("TfrxDataBand5"); }
};

class DataBand6 : public Band {
public:
    QString className() const override { return QStringLiteral("TfrxDataBand6"); }
};

class GroupHeaderBand : public Band {
public:
    QString className() const override { return QStringLiteral("TfrxGroupHeader"); }
};

class GroupFooterBand : public Band {
public:
    QString className() const override { return QStringLiteral("TfrxGroupFooter"); }
};

class ChildBand : public Band {
public:
    QString className() const override { return QStringLiteral("TfrxChild"); }
};

class ColumnHeaderBand : public Band {
public:
    QString className() const override { return QStringLiteral("TfrxColumnHeader"); }
};

class ColumnFooterBand : public Band {
public:
    QString className() const override { return QStringLiteral("TfrxColumnFooter"); }
};

class OverlayBand : public Band {
public:
    QString className() const override { return QStringLiteral("TfrxOverlay"); }
};

class PageObjectsBand : public Band {
public:
    QString className() const override { return QStringLiteral("TfrxNullBand"); }
};

} // namespace quittung::report
