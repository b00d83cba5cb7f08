#include "report/document/engine_host.h"
#include "report/document/engine_messages.h"
#include "report/document/report.h"
#include "report/engine/pages/report_preparer.h"
#include "report/export/export_files.h"
#include "report/export/image/image_export.h"
#include "report/export/image/jpeg_encoder.h"
#include "runtime/exception.h"

#include <QIODevice>

namespace quittung::report {

JpegExport::JpegExport()
{
    setDefaultExt(QStringLiteral(".jpg"));
}

QString JpegExport::getDescription() const
{
    return engineMessage(QStringLiteral("expJPEGDescription"));
}

QString JpegExport::imageFileName(const QString& fileName, const QString& suffix)
{
    const qsizetype folder = fileName.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > folder ? fileName.left(dot) : fileName;
    return base + suffix + QStringLiteral(".jpg");
}

void JpegExport::saveImage()
{
    ImageExport::saveImage();
    // A failed image is reported on its own; the other pages are still written.
    try {
        const QByteArray jpeg = encodeJpeg(m_bitmap, jpegQuality());
        if (stream()) {
            stream()->write(jpeg);
            return;
        }
        // Each page a file of its own, named after the export's file with the page number.
        if (files())
            files()->open(imageFileName(fileName(), m_fileSuffix)).write(jpeg);
    } catch (const Exception& error) {
        const Report* owner = report();
        const SilentMode mode = owner ? owner->engineOptions().newSilentMode() : SilentMode::MessageBoxes;
        switch (mode) {
        case SilentMode::MessageBoxes:
            host().showMessage(
                engineMessage(QStringLiteral("mbError")), error.message(), EngineHost::Icon::Error);
            break;
        case SilentMode::Silent:
            if (ReportPreparer* run = engine())
                run->errors().add(error.message());
            break;
        case SilentMode::Rethrow:
            throw;
        }
    }
}

} // namespace quittung::report
