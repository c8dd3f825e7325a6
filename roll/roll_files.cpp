#include "roll/roll_files.h"

#include "roll/roll_painter.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

namespace tambolin::roll {

QByteArray rollPng(const RollPainter &painter, const QSize &size) {
    QImage image(size, QImage::Format_RGB32);
    {
        QPainter p(&image);
        painter.paint(p, size);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return bytes;
}

QByteArray rollSvg(const RollPainter &painter, const QSize &size) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setResolution(96);
    {
        QPainter p(&svg);
        if (!p.isActive())
            return {};
        painter.paint(p, size);
    }
    return bytes;
}

} // namespace tambolin::roll
