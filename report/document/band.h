#pragma once

#include "report/document/view.h"

namespace quittung {

// A band of a report page; the objects inside it are positioned relative to it. Band layout is not
// built: bands keep the settings their table does not know, so templates holding them save again
// unchanged.
class TfrxBand : public TfrxReportComponent {
public:
    QString ClassName() const override { return QStringLiteral("TfrxBand"); }
    const PropertyTable& Properties() const override;
    bool KeepsUnknownAttributes() const override { return true; }

    bool Vertical() const { return m_vertical; }
    void SetVertical(bool value) { m_vertical = value; }
    const QString& OnAfterCalcHeight() const { return m_onAfterCalcHeight; }
    void SetOnAfterCalcHeight(const QString& value) { m_onAfterCalcHeight = value; }

private:
    bool m_vertical = false;
    QString m_onAfterCalcHeight;
};

class TfrxReportTitle : public TfrxBand {
public:
    QString ClassName() const override { return QStringLiteral("TfrxReportTitle"); }
};

class TfrxReportSummary : public TfrxBand {
public:
    QString ClassName() const override { return QStringLiteral("TfrxReportSummary"); }
};

class TfrxPageHeader : public TfrxBand {
public:
    QString ClassName() const override { return QStringLiteral("TfrxPageHeader"); }
};

class TfrxPageFooter : public TfrxBand {
public:
    QString ClassName() const override { return QStringLiteral("TfrxPageFooter"); }
};

class TfrxHeader : public TfrxBand {
public:
    QString ClassName() const override { return QStringLiteral("TfrxHeader"); }
};

class TfrxFooter : public TfrxBand {
public:
    QString ClassName() const override { return QStringLiteral("TfrxFooter"); }
};

class TfrxMasterData : public TfrxBand {
public:
    QString ClassName() const override { return QStringLiteral("TfrxMasterData"); }
};

class TfrxDetailData : public TfrxBand {
public:
    QString ClassName() const override { return QStringLiteral("TfrxDetailData"); }
};

class TfrxSubdetailData : public TfrxBand {
public:
    QString ClassName() const override { return QStringLiteral("TfrxSubdetailData"); }
};

class TfrxDataBand4 : public TfrxBand {
public:
    QString ClassName() const override { return QStringLiteral("TfrxDataBand4"); }
};

class TfrxDataBand5 : public TfrxBand {
public:
    QString ClassName() const override { return QStringLiteral("TfrxDataBand5"); }
};

class TfrxDataBand6 : public TfrxBand {
public:
    QString ClassName() const override { return QStringLiteral("TfrxDataBand6"); }
};

class TfrxGroupHeader : public TfrxBand {
public:
    QString ClassName() const override { return QStringLiteral("TfrxGroupHeader"); }
};

class TfrxGroupFooter : public TfrxBand {
public:
    QString ClassName() const override { return QStringLiteral("TfrxGroupFooter"); }
};

class TfrxChild : public TfrxBand {
public:
    QString ClassName() const override { return QStringLiteral("TfrxChild"); }
};

class TfrxColumnHeader : public TfrxBand {
public:
    QString ClassName() const override { return QStringLiteral("TfrxColumnHeader"); }
};

class TfrxColumnFooter : public TfrxBand {
public:
    QString ClassName() const override { return QStringLiteral("TfrxColumnFooter"); }
};

class TfrxOverlay : public TfrxBand {
public:
    QString ClassName() const override { return QStringLiteral("TfrxOverlay"); }
};

class TfrxNullBand : public TfrxBand {
public:
    QString ClassName() const override { return QStringLiteral("TfrxNullBand"); }
};

} // namespace quittung
