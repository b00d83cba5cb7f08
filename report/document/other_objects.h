#pragma once

#include "report/document/line_view.h"
#include "report/document/memo_view.h"

namespace quittung {

// Object kinds a template may hold whose behaviour is not built. They read and write the properties
// they share with the built kinds, so their position and size are real, and keep all other settings
// as they were read.

class TfrxSysMemoView : public TfrxCustomMemoView {
public:
    QString ClassName() const override { return QStringLiteral("TfrxSysMemoView"); }
    bool KeepsUnknownAttributes() const override { return true; }
};

class TfrxDMPMemoView : public TfrxCustomMemoView {
public:
    QString ClassName() const override { return QStringLiteral("TfrxDMPMemoView"); }
    bool KeepsUnknownAttributes() const override { return true; }
};

class TfrxDMPLineView : public TfrxCustomLineView {
public:
    QString ClassName() const override { return QStringLiteral("TfrxDMPLineView"); }
    bool KeepsUnknownAttributes() const override { return true; }
};

class TfrxPictureView : public TfrxView {
public:
    QString ClassName() const override { return QStringLiteral("TfrxPictureView"); }
    bool KeepsUnknownAttributes() const override { return true; }
};

class TfrxSubreport : public TfrxView {
public:
    QString ClassName() const override { return QStringLiteral("TfrxSubreport"); }
    bool KeepsUnknownAttributes() const override { return true; }
};

class TfrxCheckBoxView : public TfrxView {
public:
    QString ClassName() const override { return QStringLiteral("TfrxCheckBoxView"); }
    bool KeepsUnknownAttributes() const override { return true; }
};

class TfrxDMPCommand : public TfrxView {
public:
    QString ClassName() const override { return QStringLiteral("TfrxDMPCommand"); }
    bool KeepsUnknownAttributes() const override { return true; }
};

} // namespace quittung
