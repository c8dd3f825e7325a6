#include "control/picture_box.h"

#include <QPainter>

namespace tambolin {

PictureBox::PictureBox(QWidget *parent)
    : QWidget(parent), m_backColor(palette().color(QPalette::Window)) {}

void PictureBox::setPicture(const QImage &picture) {
    m_picture = picture;
    update();
}

void PictureBox::setBackColor(const QColor &colour) {
    m_backColor = colour;
    update();
}

void PictureBox::Cls() {
    if (!m_drawing.isNull())
        m_drawing.fill(Qt::transparent);
    update();
}

void PictureBox::LineBF(int x1, int y1, int x2, int y2, const QColor &colour) {
    if (m_drawing.size() != size()) {
        m_drawing = QImage(size(), QImage::Format_ARGB32_Premultiplied);
        m_drawing.fill(Qt::transparent);
    }
    // The corners may come in either order and lie outside the box.
    const QRect box = QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                            QPoint(std::max(x1, x2), std::max(y1, y2)))
                          .intersected(m_drawing.rect());
    if (!box.isEmpty()) {
        QPainter p(&m_drawing);
        p.fillRect(box, colour);
    }
    update();
}

void PictureBox::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), m_backColor);
    if (!m_picture.isNull())
        p.drawImage(0, 0, m_picture);
    if (!m_drawing.isNull())
        p.drawImage(0, 0, m_drawing);
}

void PictureBox::resizeEvent(QResizeEvent *) {
    // What was drawn stays where it was; the layer follows the box's size.
    if (m_drawing.isNull() || m_drawing.size() == size())
        return;
    QImage resized(size(), QImage::Format_ARGB32_Premultiplied);
    resized.fill(Qt::transparent);
    QPainter p(&resized);
    p.drawImage(0, 0, m_drawing);
    p.end();
    m_drawing = resized;
}

} // namespace tambolin
