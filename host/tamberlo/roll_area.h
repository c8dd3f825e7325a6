#pragma once
// The piano roll of the loaded melody, under the panel: the picture the
// tool draws for `tambolin show`, kept as a pixmap and drawn again only when
// the melody (or the area's size) changes, and a line where playback stands,
// moved by a timer that runs only while a melody plays and the area shows.

#include "roll/roll_painter.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <optional>

namespace tambolin {

class PLAYCTRL;
class WindowTimer;

namespace tamberlo {

class RollArea final : public QWidget {
    Q_OBJECT
public:
    explicit RollArea(PLAYCTRL &ctrl, QWidget *parent = nullptr);

    // Takes the melody from the store again; the picture is redrawn only
    // when it differs from the one shown.
    void refresh();
    // Playback started (the melody is taken again first) or stopped.
    void setPlaying(bool playing);

    // The roll here: bars and grid only, the window's title names the melody.
    static roll::RollLook look();
    // The roll as drawn now; its geometry() gives where each moment lands.
    const roll::RollPainter &painter() const { return m_painter; }
    // The size of the picture in device pixels.
    QSize pictureSize() const;
    // The picture's column the line stands at; none while nothing plays.
    std::optional<int> lineX() const { return m_lineX; }
    WindowTimer *lineTimer() const { return m_timer; }
    // How many times the picture was drawn.
    int drawings() const { return m_drawings; }

    QSize sizeHint() const override;

    static constexpr int kHeight = 72;
    // The line moves about a pixel a tick, at most this often and at least
    // this often (a repeat shows within a quarter of a second).
    static constexpr int kFastestTickMs = 40;
    static constexpr int kSlowestTickMs = 250;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void moveLine();
    void updateTimer();
    // The device pixels of the picture's column x, in the widget's own units.
    QRectF lineRect(int x) const;

    QPointer<PLAYCTRL> m_ctrl;
    roll::RollPainter m_painter;
    QPixmap m_picture; // null until drawn, and again after a change
    WindowTimer *m_timer = nullptr;
    bool m_playing = false;
    std::optional<int> m_lineX;
    int m_drawings = 0;
};

} // namespace tamberlo
} // namespace tambolin
