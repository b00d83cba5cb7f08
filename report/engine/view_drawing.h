#pragma once

class QPainter;

namespace quittung {

class TfrxCustomMemoView;
class TfrxDrawText;
class TfrxPreviewPages;
class TfrxView;

// Draws one view at a scale and an offset (device pixels), as the object itself would: background,
// frame, shape, line or text. drawText is the layout object of the report. Page-count and
// copy-name macros are left to the caller (DrawPage and the export walk expand them).
void DrawView(TfrxView& view, QPainter& canvas, double scaleX, double scaleY, double offsetX, double offsetY,
    TfrxDrawText& drawText);

// Gives an auto-width text object the width it is drawn with: its widest text line and both gaps,
// keeping its right edge when right-aligned and its centre when centred. Others stay as they are.
void FitAutoWidth(TfrxCustomMemoView& memo, TfrxDrawText& drawText);

// Draws a prepared page: offsetX/offsetY address the top-left corner of the paper. The preview,
// printing and the image export all draw through here, so they agree pixel for pixel.
void DrawPage(const TfrxPreviewPages& pages, int index, QPainter& canvas, double scaleX, double scaleY,
    double offsetX, double offsetY, TfrxDrawText& drawText, int copyNumber = 1);

} // namespace quittung
