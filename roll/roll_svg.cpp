// SVG apart from PNG: a program that writes only PNG needs no SVG library.

#include "roll/roll_files.h"

#include "roll/roll_painter.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

namespace tambolin::roll {

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
