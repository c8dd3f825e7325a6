#pragma once
// The title display and its marquee. The label grows to the width of its
// caption (never narrower than its design width) so that a long title is not
// cut off but scrolls through whole.

#include <QLabel>

namespace tambolin {

class TitleLabel final : public QLabel {
    Q_OBJECT
public:
    TitleLabel(const QString &caption, int designWidth, QWidget *parent);

    void setCaption(const QString &caption);
    QString caption() const { return text(); }

private:
    int m_designWidth;
};

// One marquee step: the label moves one pixel to the left and, once it has
// left the strip completely, re-enters at the strip's right edge.
void marqueeStep(QWidget &label, int stripRight);
// As many marquee steps at once: where the label would be after steps
// single steps, without taking them one by one.
void marqueeSteps(QWidget &label, int stripRight, long long steps);

} // namespace tambolin
