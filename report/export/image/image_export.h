#pragma once

#include "report/export/export_filter.h"

#include <QImage>

#include <memory>

class QPainter;

namespace quittung {

// Paints each prepared page into a bitmap the way the preview draws it, optionally cropped to the
// painted area, one bitmap per page or all pages stacked in one; subclasses encode and write it.
class TfrxCustomImageExport : public TfrxCustomExportFilter {
public:
    TfrxCustomImageExport();
    ~TfrxCustomImageExport() override;

    bool Start() override;
    void ExportObject(TfrxComponent& Obj) override;
    void Finish() override;
    void FinishPage(TfrxReportPage& Page, int Index) override;
    void StartPage(TfrxReportPage& Page, int Index) override;
    // Writes FBitmap; the base only works out the file suffix.
    virtual void SaveImage();
    // Crops, saves and frees the bitmap.
    virtual void FinishImage();

    int JPEGQuality() const { return m_jpegQuality; }
    void SetJPEGQuality(int value) { m_jpegQuality = value; }
    int Resolution() const { return m_resolution; }
    void SetResolution(int value) { m_resolution = value; }
    bool SeparateFiles() const { return m_separateFiles; }
    void SetSeparateFiles(bool value) { m_separateFiles = value; }
    bool CropImages() const { return m_cropImages; }
    void SetCropImages(bool value) { m_cropImages = value; }
    // Black and white only.
    bool Monochrome() const { return m_monochrome; }
    void SetMonochrome(bool value) { m_monochrome = value; }

    // The screen's logical pixels per inch; 96 without a screen.
    static double ScreenPixelsPerInch();

protected:
    // Sets FCurrentRes and FDiv.
    void computeScale();
    void setCropBounds();
    void endPainting();

    QImage FBitmap;
    double FDiv = 1;
    double FCurrentRes = 96;
    int FCurrentPage = 0;
    int FYOffset = 0;
    int FMinX = 0;
    int FMinY = 0;
    int FMaxX = 0;
    int FMaxY = 0;
    bool FFirstPage = false;
    QString FFileSuffix;
    double FPaperWidth = 0;
    double FPaperHeight = 0;

private:
    int m_jpegQuality = 90;
    int m_resolution = 96;
    bool m_separateFiles = true;
    bool m_cropImages = false;
    bool m_monochrome = false;
    std::unique_ptr<QPainter> m_painter;
};

// Saves every page image as a JPEG file named after FileName with the page number.
class TfrxJPEGExport : public TfrxCustomImageExport {
public:
    TfrxJPEGExport();

    QString GetDescription() const override;
    void SaveImage() override;

    // The file a page image goes to: FileName's extension replaced by the suffix and ".jpg".
    static QString ImageFileName(const QString& fileName, const QString& suffix);
};

} // namespace quittung
