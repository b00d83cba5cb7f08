#pragma once

#include "app/receipt/receipt.h"
#include "app/receipt_job.h"

#include <QString>

namespace quittung::settings {
class IniSettings;
}

namespace quittung::app {

// What reading a template told, once per file and run.
struct TemplateInfo {
    // Why no receipt can be made from it (it cannot be read, or has no page); empty when it can.
    QString fault;
    // An object the PDF export draws as a picture rather than writing it as text and paths:
    // drawing takes Qt's fonts, which need a GUI application. A text whose tags may take effect
    // counts, since what it shows is known only once it is prepared.
    bool drawsPictures = false;
};

// Why a file cannot be read, in German ("Die Datei gibt es nicht."); empty when it can.
QString unreadableFileReason(const QString& fileName);

// Reads the template from the store and tells what it found.
TemplateInfo checkTemplate(TemplateStore& templates, const ReceiptTemplate& chosen);

// Reads the template from the store the first time a run asks for it (a format's template without
// the copy page it shows or hides is a fault too); later calls give the same answer. Not for use
// from more than one thread.
const TemplateInfo& templateInfo(TemplateStore& templates, const ReceiptTemplate& chosen);

// Why the receipt cannot be made from the template it takes; empty when it can, and for a receipt
// without a template file (the built-in design).
QString receiptTemplateFault(TemplateStore& templates, const QString& programFolder, settings::IniSettings& settings,
    const Receipt& receipt);

} // namespace quittung::app
