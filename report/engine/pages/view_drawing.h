#pragma once

class QPainter;
class QRect;

namespace quittung::report {

class TextLayout;
class TextObjectBase;
class PreparedPages;
class ReportPage;
class View;

// Draws one view at a scale and an offset (device pixels), as the object itself would: background,
// frame, shape, line or text. Completing text objects for output (macros, highlights) is the page
// walk's work.
void drawView(const View& view, QPainter& canvas, double scaleX, double scaleY, double offsetX, double offsetY);

// A text object's text laid out as it is drawn: in its text rectangle at scale 1 (inside the frame
// and the gaps, whole pixels), at its own width when it is an auto-width object.
TextLayout layOutText(const TextObjectBase& memo);

// Gives an auto-width text object the width it is drawn with: its widest text line and both gaps,
// keeping its right edge when right-aligned and its centre when centred. Others stay as they are.
void fitAutoWidth(TextObjectBase& memo);

// The paper of a page on a canvas, as drawing clips to it: from the rounded offset to the rounded
// far edge, that edge itself excluded.
QRect paperRect(const ReportPage& page, double scaleX, double scaleY, double offsetX, double offsetY);

// Draws a prepared page through the page walk: offsetX/offsetY address the top-left corner of the
// paper. On a printer canvas objects that are not printable are left out; elsewhere the drawing is
// clipped to the paper and objects far outside the visible area are passed over.
void drawPage(const PreparedPages& pages, int index, QPainter& canvas, double scaleX, double scaleY, double offsetX,
    double offsetY);

} // namespace quittung::report
