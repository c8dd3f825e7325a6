#pragma once
// A picture box: a back colour, an optional picture at its top left and a
// drawing layer over both, which Cls wipes so that the picture shows in full
// again. The meter draws its levels on this layer.

#include <QImage>
#include <QWidget>

namespace tambolin {

class PictureBox final : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);

    void setPicture(const QImage &picture);
    const QImage &picture() const { return m_picture; }
    void setBackColor(const QColor &colour);

    // Clears everything drawn on the box.
    void Cls();
    // A filled box from (x1, y1) to (x2, y2), both corners included, in pixels.
    void LineBF(int x1, int y1, int x2, int y2, const QColor &colour);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QImage m_picture;
    QImage m_drawing; // transparent where nothing has been drawn
    QColor m_backColor;
};

} // namespace tambolin
