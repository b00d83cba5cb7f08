#include "report/document/engine_host.h"
#include "report/document/engine_messages.h"
#include "report/document/report.h"
#include "report/export/image/image_export.h"
#include "report/export/image/jpeg_encoder.h"
#include "runtime/exception.h"
#include "runtime/safe_file.h"

#include <QIODevice>

namespace quittung {

TfrxJPEGExport::TfrxJPEGExport()
{
    SetDefaultExt(QStringLiteral(".jpg"));
    SetFilterDesc(frxGet(QStringLiteral("expJPEGFilter")));
}

QString TfrxJPEGExport::GetDescription() const
{
    return frxGet(QStringLiteral("expJPEGDescription"));
}

QString TfrxJPEGExport::ImageFileName(const QString& fileName, const QString& suffix)
{
    const qsizetype folder = fileName.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > folder ? fileName.left(dot) : fileName;
    return base + suffix + QStringLiteral(".jpg");
}

void TfrxJPEGExport::SaveImage()
{
    TfrxCustomImageExport::SaveImage();
    // A failed image is reported on its own; the other pages are still written.
    try {
        const QByteArray jpeg = EncodeJpeg(FBitmap, JPEGQuality());
        if (Stream()) {
            Stream()->write(jpeg);
            return;
        }
        WriteFileSafely(ImageFileName(FileName(), FFileSuffix), [&](QIODevice& file) { file.write(jpeg); });
    } catch (const Exception& error) {
        TfrxReport* report = Report();
        const TfrxSilentMode mode = report ? report->EngineOptions().NewSilentMode() : TfrxSilentMode::simMessageBoxes;
        switch (mode) {
        case TfrxSilentMode::simMessageBoxes:
            engineHost().ShowMessage(frxGet(QStringLiteral("mbError")), error.message(), EngineHost::Icon::Error);
            break;
        case TfrxSilentMode::simSilent:
            if (report)
                report->Errors().Add(error.message());
            break;
        case TfrxSilentMode::simReThrow:
            throw;
        }
    }
}

} // namespace quittung
