#pragma once
// A roll as the bytes of a picture file, ready to be written in one go.

#include <QByteArray>
#include <QSize>

class QImage;

namespace tambolin::roll {

class RollPainter;

// A picture as the bytes of a PNG file at 96 dots an inch: a palette image
// when its colours fit one (the same pixels in fewer bytes, written faster),
// 8-bit RGB otherwise. Empty when it cannot be encoded.
QByteArray pngBytes(const QImage &picture);

// The roll as a PNG picture (see pngBytes), size in pixels.
QByteArray rollPng(const RollPainter &painter, const QSize &size);

// SVG whose user units are the pixels of the same picture.
QByteArray rollSvg(const RollPainter &painter, const QSize &size);

} // namespace tambolin::roll
