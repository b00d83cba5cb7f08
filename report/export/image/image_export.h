#pragma once

#include "report/export/export_filter.h"

#include <QImage>
#include <QPointF>
#include <QRect>

#include <memory>

class QPainter;

namespace quittung::report {

// Paints each prepared page into a bitmap the way the preview draws it, optionally cropped to the
// painted area, one bitmap per page or all pages stacked in one; subclasses encode and write it.
class ImageExport : public ExportFilter {
public:
    ImageExport();
    ~ImageExport() override;

    bool start() override;
    void exportObject(const ReportObject& Obj) override;
    void finish() override;
    void finishPage(const ReportPage& page, int Index) override;
    void startPage(const ReportPage& page, int Index) override;
    // Writes m_bitmap; the base only works out the file suffix.
    virtual void saveImage();
    // Crops, saves and frees the bitmap.
    virtual void finishImage();

    int jpegQuality() const { return m_jpegQuality; }
    void setJpegQuality(int value) { m_jpegQuality = value; }
    int resolution() const { return m_resolution; }
    void setResolution(int value) { m_resolution = value; }
    bool separateFiles() const { return m_separateFiles; }
    void setSeparateFiles(bool value) { m_separateFiles = value; }
    bool cropImages() const { return m_cropImages; }
    void setCropImages(bool value) { m_cropImages = value; }
    // Black and white only.
    bool monochrome() const { return m_monochrome; }
    void setMonochrome(bool value) { m_monochrome = value; }

    // The screen's logical pixels per inch; 96 without a screen.
    static double screenPixelsPerInch();

protected:
    // Sets m_screenDpi and m_scale.
    void computeScale();
    void setCropBounds();
    void endPainting();

    QImage m_bitmap;
    double m_scale = 1;
    double m_screenDpi = 96;
    int m_pageNumber = 0;
    int m_yOffset = 0;
    int m_minX = 0;
    int m_minY = 0;
    int m_maxX = 0;
    int m_maxY = 0;
    bool m_firstPage = false;
    QString m_fileSuffix;
    double m_paperWidth = 0;
    double m_paperHeight = 0;
    QRect m_pageClip;
    // Where the page walk's positions count from on the page (pageOrigin).
    QPointF m_origin;

private:
    int m_jpegQuality = 90;
    int m_resolution = 96;
    bool m_separateFiles = true;
    bool m_cropImages = false;
    bool m_monochrome = false;
    std::unique_ptr<QPainter> m_painter;
};

// Saves every page image as a JPEG file named after FileName with the page number.
class JpegExport : public ImageExport {
public:
    JpegExport();

    QString getDescription() const override;
    void saveImage() override;

    // The file a page image goes to: FileName's extension replaced by the suffix and ".jpg".
    static QString imageFileName(const QString& fileName, const QString& suffix);
};

} // namespace quittung::report
