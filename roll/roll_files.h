#pragma once
// A roll as the bytes of a picture file, ready to be written in one go.

#include <QByteArray>
#include <QSize>

namespace tambolin::roll {

class RollPainter;

// PNG, 8-bit RGB, size in pixels.
QByteArray rollPng(const RollPainter &painter, const QSize &size);

// SVG whose user units are the pixels of the same picture.
QByteArray rollSvg(const RollPainter &painter, const QSize &size);

} // namespace tambolin::roll
