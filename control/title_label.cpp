#include "control/title_label.h"

namespace tambolin {

TitleLabel::TitleLabel(const QString &caption, int designWidth, QWidget *parent)
    : QLabel(parent), m_designWidth(designWidth) {
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setAttribute(Qt::WA_TranslucentBackground);
    resize(designWidth, height());
    setCaption(caption);
}

void TitleLabel::setCaption(const QString &caption) {
    setText(caption);
    const int needed = fontMetrics().horizontalAdvance(caption);
    resize(std::max(m_designWidth, needed), height());
}

void marqueeStep(QWidget &label, int stripRight) {
    int x = label.x();
    const int w = label.width();
    if (w <= 0)
        return;
    x = x - 1;
    if (x < -w)
        x = stripRight;
    label.move(x, label.y());
}

} // namespace tambolin
