#pragma once
// SIGINT, SIGTERM and SIGHUP (Ctrl-C, kill, a closed terminal or a desktop
// logout) as a Qt signal on the thread of the event loop, so that a program
// can end through its normal path (note-offs sent, device closed, settings
// stored) instead of dying with notes hanging. A hang-up ignored when the
// program started (nohup) stays ignored. The previous handlers come back when
// the object goes. One object at a time per process.

#include <QObject>
#include <array>
#include <csignal>

class QSocketNotifier;

namespace tambolin {

class StopSignals final : public QObject {
    Q_OBJECT
public:
    StopSignals();
    ~StopSignals() override;
    bool isValid() const { return m_notifier != nullptr; }
    // The last signal received, 0 before any.
    int caught() const { return m_caught; }

    // The signals handled.
    static constexpr std::array<int, 3> handled{SIGINT, SIGTERM, SIGHUP};

signals:
    void received(int signalNumber);

private:
    void drain();

    int m_fds[2] = {-1, -1}; // read end, write end of a self-pipe
    QSocketNotifier *m_notifier = nullptr;
    int m_caught = 0;
    std::array<struct sigaction, handled.size()> m_old{};
};

} // namespace tambolin
