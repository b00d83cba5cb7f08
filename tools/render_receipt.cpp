// Draws a receipt filled with the example values into PNG files, one per page, or writes it as a PDF
// file the way the receipt window does, for looking at a template without the program:
//
//   render_receipt [builtin|path/to/File.Dat] out_prefix [scale]
//   render_receipt --pdf [builtin|path/to/File.Dat] output.pdf
//   render_receipt --jpg [builtin|path/to/File.Dat] output.jpg
//
// writes out_prefix-1.png, out_prefix-2.png, ..., output.pdf, or output.1.jpg, output.2.jpg, .... A template shows its copy page as
// well, which the program shows only when the copy is asked for.

#include "report/document/builtin_design.h"
#include "report/document/page.h"
#include "report/document/report.h"
#include "report/engine/pages/report_preparer.h"
#include "report/engine/pages/view_drawing.h"
#include "report/export/image/image_export.h"
#include "report/export/pdf/pdf_export.h"
#include "runtime/rounding.h"
#include "tools/example_receipt.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

using namespace quittung;
using namespace quittung::report;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments();
    const bool pdf = args.size() > 1 && args[1] == QLatin1String("--pdf");
    const bool jpg = args.size() > 1 && args[1] == QLatin1String("--jpg");
    if (pdf || jpg)
        args.removeAt(1);
    if (args.size() < 3 || args.size() > (pdf || jpg ? 3 : 4)) {
        std::fprintf(stderr, "usage: render_receipt [builtin|path/to/File.Dat] out_prefix [scale]\n"
                             "       render_receipt --pdf [builtin|path/to/File.Dat] output.pdf\n"
                             "       render_receipt --jpg [builtin|path/to/File.Dat] output.jpg\n");
        return 2;
    }
    bool scaleOk = true;
    const double scale = args.size() == 4 ? args[3].toDouble(&scaleOk) : 1.0;
    if (!scaleOk || scale <= 0 || scale > 20) {
        std::fprintf(stderr, "render_receipt: the scale must be a number above 0 and up to 20\n");
        return 2;
    }

    // The example receipt's own day, so that the pictures do not change with the clock.
    const QDateTime day(QDate(2020, 7, 3), QTime(12, 0));
    Report report([day] { return day; });
    if (args[1] == QLatin1String("builtin")) {
        applyBuiltinDesign(report);
    } else {
        if (!report.loadFromFile(args[1])) {
            std::fprintf(stderr, "render_receipt: cannot read %s\n", qPrintable(args[1]));
            return 1;
        }
        for (int i = 0; i < report.pagesCount(); ++i)
            report.pages(i)->setVisible(true);
    }
    report.setLocaleSettings(FormatSettings::german());
    report.events().getValue = answerExampleReceipt;

    ReportPreparer engine(report, [day] { return day; });
    if (!engine.prepareReport()) {
        std::fprintf(stderr, "render_receipt: the report did not prepare:\n%s\n",
            qPrintable(report.errors().strings().join(QLatin1Char('\n'))));
        return 1;
    }

    if (pdf || jpg) {
        // The options the receipt window writes its files with.
        PdfExport pdfExport;
        pdfExport.setEmbeddedFonts(true);
        pdfExport.setAuthor(QStringLiteral("Varnel Quittungsprogramm"));
        pdfExport.setSubject(QStringLiteral("Varnel Quittungsprogramm PDF-Export"));
        pdfExport.setCreator(QStringLiteral("Varnel IT-Service"));
        JpegExport jpegExport;
        ExportFilter& exporter = pdf ? static_cast<ExportFilter&>(pdfExport) : jpegExport;
        exporter.setShowDialog(false);
        exporter.setShowProgress(false);
        exporter.setFileName(args[2]);
        if (!exportReport(engine, exporter) || !report.errors().strings().isEmpty()) {
            std::fprintf(stderr, "render_receipt: cannot write %s:\n%s\n", qPrintable(args[2]),
                qPrintable(report.errors().strings().join(QLatin1Char('\n'))));
            return 1;
        }
        std::printf("%s\n", qPrintable(args[2]));
        return 0;
    }

    const PreparedPages& pages = engine.preparedPages();
    for (int i = 0; i < pages.count(); ++i) {
        const ReportPage* page = pages.page(i);
        const QSize size(int(roundHalfEven(page->paperWidth() * PixelsPerMm * scale)),
            int(roundHalfEven(page->paperHeight() * PixelsPerMm * scale)));
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            drawPage(pages, i, painter, scale, scale, 0, 0);
        }
        const QString file = args[2] + QStringLiteral("-%1.png").arg(i + 1);
        if (!image.save(file)) {
            std::fprintf(stderr, "render_receipt: cannot write %s\n", qPrintable(file));
            return 1;
        }
        std::printf("%s\n", qPrintable(file));
    }
    return 0;
}
