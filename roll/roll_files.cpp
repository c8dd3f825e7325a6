#include "roll/roll_files.h"

#include "roll/roll_painter.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

namespace tambolin::roll {

namespace {

// 96 dots an inch whatever the screen, or the lack of one: the same melody
// gives the same file.
constexpr int DotsPerMetre = 3780;

// A roll has few colours: as a palette image the very same pixels take a
// third of the bytes and are written several times faster. A picture with
// more colours than a palette holds stays as it is.
QImage fewestBytes(const QImage &rgb) {
    QImage indexed = rgb.convertToFormat(
        QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither | Qt::NoOpaqueDetection);
    if (indexed.isNull() || indexed.convertToFormat(QImage::Format_RGB32) != rgb)
        return rgb;
    return indexed;
}

} // namespace

QByteArray pngBytes(const QImage &picture) {
    QImage image = fewestBytes(picture.convertToFormat(QImage::Format_RGB32));
    image.setDotsPerMeterX(DotsPerMetre);
    image.setDotsPerMeterY(DotsPerMetre);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return bytes;
}

QByteArray rollPng(const RollPainter &painter, const QSize &size) {
    QImage image(size, QImage::Format_RGB32);
    {
        QPainter p(&image);
        painter.paint(p, size);
    }
    return pngBytes(image);
}

} // namespace tambolin::roll
