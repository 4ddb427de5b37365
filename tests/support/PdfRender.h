// Turns part of a printed PDF page back into pixels with pdftoppm, without
// smoothing, so that a test can look where the frame and curves must be.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

namespace kavo::test {

// Page 1 of `pdf` at `dpi`, only `region` (in pixels of that resolution);
// a null image when pdftoppm is missing or fails.
QImage RenderPdfRegion(const QString& pdf, const QRect& region, int dpi = 600);

}  // namespace kavo::test
