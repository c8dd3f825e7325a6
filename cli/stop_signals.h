#pragma once
// SIGINT and SIGTERM as a Qt signal on the thread of the event loop, so the
// player can stop cleanly (note-offs sent, device closed) instead of dying
// with notes hanging. The previous handlers come back when it goes.

#include <QObject>
#include <csignal>

class QSocketNotifier;

namespace tambolin::cli {

class StopSignals final : public QObject {
    Q_OBJECT
public:
    StopSignals();
    ~StopSignals() override;
    bool isValid() const { return m_notifier != nullptr; }

signals:
    void received(int signalNumber);

private:
    void drain();

    int m_fds[2] = {-1, -1}; // read end, write end of a self-pipe
    QSocketNotifier *m_notifier = nullptr;
    struct sigaction m_oldInt {};
    struct sigaction m_oldTerm {};
};

} // namespace tambolin::cli
