#include "report/export/image/image_export.h"

#include "report/document/view.h"
#include "report/engine/pages/prepared_pages.h"
#include "report/engine/pages/page_walk.h"
#include "report/engine/pages/view_drawing.h"
#include "runtime/rounding.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <algorithm>

namespace quittung::report {

namespace {

// No side of an image is longer: sizes come from a template's paper and object sizes.
constexpr int MaxImageSize = 30000;

int roundToPixel(double value)
{
    return static_cast<int>(roundHalfEven(value));
}

QImage whiteImage(int width, int height)
{
    QImage image(std::clamp(width, 0, MaxImageSize), std::clamp(height, 0, MaxImageSize), QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

ImageExport::ImageExport() = default;
ImageExport::~ImageExport() = default;

double ImageExport::screenPixelsPerInch()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return 96;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96;
}

void ImageExport::computeScale()
{
    m_screenDpi = screenPixelsPerInch();
    m_scale = resolution() / m_screenDpi;
}

void ImageExport::setCropBounds()
{
    m_maxX = 0;
    m_maxY = 0;
    m_minX = m_bitmap.width();
    m_minY = m_bitmap.height();
}

void ImageExport::endPainting()
{
    m_painter.reset();
}

bool ImageExport::start()
{
    m_pageNumber = 0;
    m_yOffset = 0;
    endPainting();
    m_bitmap = QImage();
    if (!separateFiles()) {
        // Sized on the first page, once all page sizes are known to be final.
        computeScale();
        m_firstPage = true;
    }
    // The export gives the file its whole name (ExportFilter::targetFileName).
    return !fileName().isEmpty() || stream();
}

void ImageExport::startPage(const ReportPage& page, int index)
{
    m_origin = pageOrigin(page, index);
    ++m_pageNumber;
    if (separateFiles()) {
        computeScale();
        m_bitmap = whiteImage(roundToPixel(page.width() * m_scale), roundToPixel(page.height() * m_scale));
        setCropBounds();
    } else if (m_firstPage) {
        m_firstPage = false;
        int width = 0;
        qint64 height = 0;
        const PreparedPages* pages = preparedPages();
        for (int i = 0; pages && i < pages->count(); ++i) {
            const QSizeF size = pages->pageSize(i);
            width = std::max(width, roundToPixel(size.width() * m_scale));
            height += roundToPixel(size.height() * m_scale);
        }
        m_bitmap = whiteImage(width, int(std::clamp<qint64>(height, 0, MaxImageSize)));
        setCropBounds();
    }
    // The same paper the preview draws on, so the image shows what the preview shows.
    m_pageClip = paperRect(page, m_scale, m_scale, 0, m_yOffset);
}

void ImageExport::exportObject(const ReportObject& Obj)
{
    const auto* view = dynamic_cast<const View*>(&Obj);
    if (!view || (!view->printable() && !exportNotPrintable()) || m_bitmap.isNull())
        return;
    const double left = view->absLeft() + m_origin.x();
    const double top = view->absTop() + m_origin.y();
    if (view->name() != QLatin1String("_pagebackground")) {
        m_minX = std::min(m_minX, roundToPixel(left * m_scale));
        m_minY = std::min(m_minY, roundToPixel(top * m_scale) + m_yOffset);
        m_maxX = std::max(m_maxX, roundToPixel((left + view->width()) * m_scale) + 1);
        m_maxY = std::max(m_maxY, roundToPixel((top + view->height()) * m_scale) + m_yOffset + 1);
    }
    if (!m_painter)
        m_painter = std::make_unique<QPainter>(&m_bitmap);
    m_painter->setClipRect(m_pageClip);
    drawView(*view, *m_painter, m_scale, m_scale, m_origin.x() * m_scale, m_yOffset + m_origin.y() * m_scale);
}

void ImageExport::finishPage(const ReportPage& page, int)
{
    m_paperWidth = page.paperWidth();
    m_paperHeight = page.paperHeight();
    if (separateFiles())
        finishImage();
    else
        m_yOffset += roundToPixel(page.height() * m_scale);
}

void ImageExport::finish()
{
    // Without pages there is no stacked image to save.
    if (!separateFiles() && !m_bitmap.isNull())
        finishImage();
}

void ImageExport::finishImage()
{
    endPainting();
    struct Release {
        ImageExport& self;
        ~Release() { self.m_bitmap = QImage(); }
    } release{*this};

    const QRect painted(QPoint(m_minX, m_minY), QPoint(m_maxX - 1, m_maxY - 1));
    // A page with nothing painted keeps its full size.
    if (cropImages() && painted.isValid()) {
        // What lies beyond the bitmap stays paper white.
        QImage cropped = whiteImage(painted.width(), painted.height());
        QPainter copier(&cropped);
        copier.drawImage(QPoint(0, 0), m_bitmap, painted);
        copier.end();
        m_bitmap = cropped;
    }
    if (monochrome()) {
        m_bitmap = m_bitmap.convertToFormat(QImage::Format_Mono, Qt::MonoOnly | Qt::ThresholdDither)
                      .convertToFormat(QImage::Format_RGB32);
    }
    saveImage();
}

void ImageExport::saveImage()
{
    m_fileSuffix = separateFiles() ? QLatin1Char('.') + QString::number(m_pageNumber) : QString();
}

} // namespace quittung::report
