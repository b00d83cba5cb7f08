#include "report/export/image/image_export.h"

#include "report/document/view.h"
#include "report/engine/draw_text.h"
#include "report/engine/preview_pages.h"
#include "report/engine/view_drawing.h"
#include "runtime/rounding.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <algorithm>

namespace quittung {

namespace {

constexpr int MaxImageSize = 30000;

int Round(double value)
{
    return static_cast<int>(RoundHalfEven(value));
}

QImage WhiteImage(int width, int height)
{
    QImage image(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

TfrxCustomImageExport::TfrxCustomImageExport() = default;
TfrxCustomImageExport::~TfrxCustomImageExport() = default;

double TfrxCustomImageExport::ScreenPixelsPerInch()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return 96;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96;
}

void TfrxCustomImageExport::computeScale()
{
    FCurrentRes = ScreenPixelsPerInch();
    FDiv = Resolution() / FCurrentRes;
}

void TfrxCustomImageExport::setCropBounds()
{
    FMaxX = 0;
    FMaxY = 0;
    FMinX = FBitmap.width();
    FMinY = FBitmap.height();
}

void TfrxCustomImageExport::endPainting()
{
    m_painter.reset();
}

bool TfrxCustomImageExport::Start()
{
    FCurrentPage = 0;
    FYOffset = 0;
    endPainting();
    FBitmap = QImage();
    if (!SeparateFiles()) {
        // Sized on the first page, once all page sizes are known to be final.
        computeScale();
        FFirstPage = true;
    }
    if (!DefaultPath().isEmpty() && !FileName().contains(QLatin1Char('/')))
        SetFileName(DefaultPath() + QLatin1Char('/') + FileName());
    return !FileName().isEmpty() || Stream();
}

void TfrxCustomImageExport::StartPage(TfrxReportPage& Page, int)
{
    ++FCurrentPage;
    if (SeparateFiles()) {
        computeScale();
        FBitmap = WhiteImage(Round(Page.Width() * FDiv), Round(Page.Height() * FDiv));
        setCropBounds();
    } else if (FFirstPage) {
        FFirstPage = false;
        int width = 0;
        int height = 0;
        const TfrxPreviewPages* pages = PreviewPages();
        for (int i = 0; pages && i < pages->Count(); ++i) {
            const QSizeF size = pages->PageSize(i);
            width = std::max(width, Round(size.width() * FDiv));
            height += Round(size.height() * FDiv);
        }
        FBitmap = WhiteImage(std::min(width, MaxImageSize), std::min(height, MaxImageSize));
        setCropBounds();
    }
}

void TfrxCustomImageExport::ExportObject(TfrxComponent& Obj)
{
    auto* view = dynamic_cast<TfrxView*>(&Obj);
    if (!view || (!view->Printable() && !ExportNotPrintable()) || FBitmap.isNull())
        return;
    if (view->Name() != QLatin1String("_pagebackground")) {
        FMinX = std::min(FMinX, Round(view->AbsLeft() * FDiv));
        FMinY = std::min(FMinY, Round(view->AbsTop() * FDiv) + FYOffset);
        FMaxX = std::max(FMaxX, Round((view->AbsLeft() + view->Width()) * FDiv) + 1);
        FMaxY = std::max(FMaxY, Round((view->AbsTop() + view->Height()) * FDiv) + FYOffset + 1);
    }
    if (!m_painter)
        m_painter = std::make_unique<QPainter>(&FBitmap);
    DrawView(*view, *m_painter, FDiv, FDiv, 0, FYOffset, TfrxDrawText::Shared());
}

void TfrxCustomImageExport::FinishPage(TfrxReportPage& Page, int)
{
    FPaperWidth = Page.PaperWidth();
    FPaperHeight = Page.PaperHeight();
    if (SeparateFiles())
        FinishImage();
    else
        FYOffset += Round(Page.Height() * FDiv);
}

void TfrxCustomImageExport::Finish()
{
    // Without pages there is no stacked image to save.
    if (!SeparateFiles() && !FBitmap.isNull())
        FinishImage();
}

void TfrxCustomImageExport::FinishImage()
{
    endPainting();
    struct Release {
        TfrxCustomImageExport& self;
        ~Release() { self.FBitmap = QImage(); }
    } release{*this};

    const QRect painted(QPoint(FMinX, FMinY), QPoint(FMaxX - 1, FMaxY - 1));
    // A page with nothing painted keeps its full size.
    if (CropImages() && painted.isValid()) {
        // What lies beyond the bitmap stays paper white.
        QImage cropped = WhiteImage(painted.width(), painted.height());
        QPainter copier(&cropped);
        copier.drawImage(QPoint(0, 0), FBitmap, painted);
        copier.end();
        FBitmap = cropped;
    }
    if (Monochrome()) {
        FBitmap = FBitmap.convertToFormat(QImage::Format_Mono, Qt::MonoOnly | Qt::ThresholdDither)
                      .convertToFormat(QImage::Format_RGB32);
    }
    SaveImage();
}

void TfrxCustomImageExport::SaveImage()
{
    FFileSuffix = SeparateFiles() ? QLatin1Char('.') + QString::number(FCurrentPage) : QString();
}

} // namespace quittung
