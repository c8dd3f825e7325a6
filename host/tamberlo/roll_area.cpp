#include "host/tamberlo/roll_area.h"

#include "control/playctrl.h"
#include "host/tamberlo/play_position.h"
#include "melody/mod_tambolin.h"
#include "platform/clock/clock.h"
#include "platform/clock/window_timer.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace tambolin::tamberlo {

namespace {

constexpr QRgb LineInk = 0xff202020;

} // namespace

RollArea::RollArea(PLAYCTRL &ctrl, QWidget *parent)
    : QWidget(parent), m_ctrl(&ctrl), m_painter(roll::rollFromStore(mod()), look()) {
    setObjectName(QStringLiteral("rollArea"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_timer = currentClock().createTimer(this);
    connect(m_timer, &WindowTimer::tick, this, &RollArea::moveLine);
}

roll::RollLook RollArea::look() {
    roll::RollLook look;
    look.title = false;
    look.legend = false;
    look.axes = false;
    look.margin = 2;
    return look;
}

QSize RollArea::sizeHint() const {
    return {160, kHeight};
}

QSize RollArea::pictureSize() const {
    const qreal ratio = devicePixelRatioF();
    return QSize(std::max(1, static_cast<int>(std::lround(width() * ratio))),
                 std::max(1, static_cast<int>(std::lround(height() * ratio))));
}

void RollArea::refresh() {
    roll::RollModel model = roll::rollFromStore(mod());
    if (model == m_painter.model())
        return;
    m_painter = roll::RollPainter(std::move(model), look());
    m_picture = QPixmap();
    updateTimer();
    moveLine();
    update();
}

void RollArea::setPlaying(bool playing) {
    m_playing = playing;
    if (playing)
        refresh();
    updateTimer();
    moveLine();
}

void RollArea::updateTimer() {
    const bool run = m_playing && isVisible();
    if (!run) {
        m_timer->setEnabled(false);
        return;
    }
    // One tick for about every pixel the line travels.
    const roll::RollGeometry geometry = m_painter.geometry(pictureSize());
    const std::int64_t perPixel = geometry.spanMs() / std::max(1, geometry.plot().width());
    const int interval =
        static_cast<int>(std::clamp<std::int64_t>(perPixel, kFastestTickMs, kSlowestTickMs));
    if (!m_timer->isEnabled() || m_timer->interval() != interval) {
        m_timer->setInterval(interval);
        m_timer->setEnabled(true);
    }
}

void RollArea::moveLine() {
    std::optional<int> x;
    const std::optional<std::int64_t> played = m_ctrl ? playedMs(*m_ctrl) : std::nullopt;
    if (played && m_playing && m_painter.model().sounds()) {
        const roll::RollGeometry geometry = m_painter.geometry(pictureSize());
        // Between the end of a pass and the repeat the line waits at the end.
        x = std::min(geometry.x(std::min(*played, geometry.spanMs())), geometry.plot().right());
    }
    if (x == m_lineX)
        return;
    if (m_lineX)
        update(lineRect(*m_lineX).toAlignedRect());
    m_lineX = x;
    if (m_lineX)
        update(lineRect(*m_lineX).toAlignedRect());
}

QRectF RollArea::lineRect(int x) const {
    const qreal ratio = devicePixelRatioF();
    const QRect plot = m_painter.geometry(pictureSize()).plot();
    const qreal thickness = std::max<qreal>(1.0, std::round(ratio));
    return QRectF(x / ratio, plot.top() / ratio, thickness / ratio, plot.height() / ratio);
}

void RollArea::paintEvent(QPaintEvent *) {
    // A new size or a screen of another pixel ratio needs a new picture.
    if (m_picture.isNull() || m_picture.size() != pictureSize()) {
        QImage image(pictureSize(), QImage::Format_RGB32);
        {
            QPainter p(&image);
            m_painter.paint(p, image.size());
        }
        m_picture = QPixmap::fromImage(image);
        m_picture.setDevicePixelRatio(devicePixelRatioF());
        ++m_drawings;
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
    if (m_lineX)
        painter.fillRect(lineRect(*m_lineX), QColor::fromRgb(LineInk));
}

void RollArea::resizeEvent(QResizeEvent *) {
    m_picture = QPixmap();
    updateTimer();
    moveLine();
}

void RollArea::showEvent(QShowEvent *) {
    updateTimer();
    moveLine();
}

void RollArea::hideEvent(QHideEvent *) {
    updateTimer();
}

} // namespace tambolin::tamberlo
