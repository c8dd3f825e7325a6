#pragma once
// The status line of `tambolin play`: the title, the elapsed and total time
// of the loop now playing, and the loop count. A timer of the clock layer
// refreshes it a few times a second, so it runs on a virtual clock too.

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>

namespace tambolin {
class WindowTimer;
}

namespace tambolin::cli {

// "Title  0:03 / 0:12  loop 2" ("loop 2 of 3" when loops > 0); title must
// be safe for a terminal already. The elapsed time never passes the total.
QString playStatusText(const QString &title, std::int64_t elapsedMs, std::int64_t totalMs, int loop,
                       int loops);

class PlayStatus final : public QObject {
public:
    static constexpr int RefreshMs = 250;

    // show receives each new line; loops as for playStatusText.
    PlayStatus(QString title, std::int64_t totalMs, int loops,
               std::function<void(const QString &)> show, QObject *parent = nullptr);

    // Playing starts: loop 1 from now; the line is shown and kept up to date.
    void start();
    // The melody has ended on its own: the next loop starts now.
    void loopEnded();
    // No more updates.
    void stop();

private:
    void refresh();
    std::int64_t nowMs() const;

    QString m_title;
    std::int64_t m_totalMs;
    int m_loops;
    std::function<void(const QString &)> m_show;
    WindowTimer *m_timer;
    std::int64_t m_loopStartMs = 0;
    int m_loop = 0;
    QString m_last;
};

} // namespace tambolin::cli
