#include "control/title_label.h"

#include <algorithm>

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

void marqueeSteps(QWidget &label, int stripRight, long long steps) {
    const long long w = label.width();
    if (w <= 0 || steps <= 0)
        return;
    long long x = label.x();
    // Right of the strip it only moves left until it reaches the edge.
    if (x > stripRight) {
        const long long d = std::min(steps, x - stripRight);
        x -= d;
        steps -= d;
    }
    // Left of where it would re-enter: the next step puts it at the edge.
    if (steps > 0 && x < -w) {
        x = stripRight;
        --steps;
    }
    // From the edge to fully gone and back is one cycle of stripRight + w + 1.
    if (steps > 0) {
        const long long period = stripRight + w + 1;
        x = stripRight - (stripRight - x + steps) % period;
    }
    label.move(static_cast<int>(x), label.y());
}

} // namespace tambolin
