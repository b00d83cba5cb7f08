#pragma once

#include "report/document/line_object.h"
#include "report/document/text_object.h"

namespace quittung::report {

// Object kinds a template may hold whose behaviour is not built. They read and write the properties
// they share with the built kinds, so their position and size are real, and keep all other settings
// as they were read.

class SystemTextObject : public TextObjectBase {
public:
    QString className() const override { return QStringLiteral("TfrxSysMemoView"); }
    bool keepsUnknownAttributes() const override { return true; }
};

class DotMatrixTextObject : public TextObjectBase {
public:
    QString className() const override { return QStringLiteral("TfrxDMPMemoView"); }
    bool keepsUnknownAttributes() const override { return true; }
};

class DotMatrixLineObject : public LineObjectBase {
public:
    QString className() const override { return QStringLiteral("TfrxDMPLineView"); }
    bool keepsUnknownAttributes() const override { return true; }
};

class PictureObject : public View {
public:
    QString className() const override { return QStringLiteral("TfrxPictureView"); }
    bool keepsUnknownAttributes() const override { return true; }
};

class SubreportObject : public View {
public:
    QString className() const override { return QStringLiteral("TfrxSubreport"); }
    bool keepsUnknownAttributes() const override { return true; }
};

class CheckBoxObject : public View {
public:
    QString className() const override { return QStringLiteral("TfrxCheckBoxView"); }
    bool keepsUnknownAttributes() const override { return true; }
};

class DotMatrixCommand : public View {
public:
    QString className() const override { return QStringLiteral("TfrxDMPCommand"); }
    bool keepsUnknownAttributes() const override { return true; }
};

} // namespace quittung::report
