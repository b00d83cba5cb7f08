#pragma once

#include <QByteArray>

class QImage;

namespace quittung::report {

// Compresses an image as a baseline JFIF JPEG: libjpeg's defaults, RGB input, the quality with
// baseline tables forced, no resolution. Throws an Exception with libjpeg's message on failure.
QByteArray encodeJpeg(const QImage& image, int quality);

} // namespace quittung::report
