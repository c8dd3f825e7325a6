#pragma once
// An OrgTimer on a virtual clock, ticked by a window timer as its owner
// would, with every event it raises written down with the clock's time.

#include "platform/clock/virtual_clock.h"
#include "timer/org_timer.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <functional>
#include <string>
#include <vector>

namespace tambolin::testing {

inline QDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

struct TimerRig {
    VirtualClock clock;
    ScopedClock scope{clock};
    QObject owner;
    OrgTimer *ot = new OrgTimer(&owner);
    WindowTimer *tick = clock.createTimer(&owner);
    // "hh:mm:ss.zzz change <no> <id>" and "hh:mm:ss.zzz date <datestr>".
    std::vector<std::string> events;
    // Runs inside TimerChange, after the event is written down.
    std::function<void(Integer no, const QString &id)> onChange;

    explicit TimerRig(const QDateTime &start, int tickMs = 10) : clock(start) {
        tick->setInterval(tickMs);
        tick->setEnabled(true);
        QObject::connect(tick, &WindowTimer::tick, ot, &OrgTimer::TimerProc);
        QObject::connect(ot, &OrgTimer::TimerChange, [this](Integer no, const QString &id) {
            events.push_back(now() + " change " + std::to_string(no) + " " + id.toStdString());
            if (onChange)
                onChange(no, id);
        });
        QObject::connect(ot, &OrgTimer::DateChange, [this](const QString &datestr) {
            events.push_back(now() + " date " + datestr.toStdString());
        });
    }

    std::string now() const {
        return clock.now().time().toString(QStringLiteral("hh:mm:ss.zzz")).toStdString();
    }
};

using Events = std::vector<std::string>;

} // namespace tambolin::testing
