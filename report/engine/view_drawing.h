#pragma once

class QPainter;

namespace quittung::report {

class TextObjectBase;
class TextLayout;
class PreparedPages;
class View;

// Draws one view at a scale and an offset (device pixels), as the object itself would: background,
// frame, shape, line or text. drawText is the layout object of the report. Page-count and
// copy-name macros are left to the caller (DrawPage and the export walk expand them).
void drawView(View& view, QPainter& canvas, double scaleX, double scaleY, double offsetX, double offsetY,
    TextLayout& drawText);

// Gives an auto-width text object the width it is drawn with: its widest text line and both gaps,
// keeping its right edge when right-aligned and its centre when centred. Others stay as they are.
void fitAutoWidth(TextObjectBase& memo, TextLayout& drawText);

// Draws a prepared page: offsetX/offsetY address the top-left corner of the paper. The preview,
// printing and the image export all draw through here, so they agree pixel for pixel.
void drawPage(const PreparedPages& pages, int index, QPainter& canvas, double scaleX, double scaleY,
    double offsetX, double offsetY, TextLayout& drawText, int copyNumber = 1);

} // namespace quittung::report
