#pragma once
// Window timers, as the clock layer hands them out.

#include <QObject>
#include <cstdint>

namespace tambolin {

// A window timer: ticks every interval milliseconds while enabled.
class WindowTimer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~WindowTimer() override = default;
    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
    // Enabling a running timer leaves its period alone, and ends a rest.
    virtual void setEnabled(bool on) = 0;
    virtual bool isEnabled() const = 0;
    // The owner knows that no tick before the clock time clockMs (in
    // clockMilliseconds() terms) has anything to do: the timer may leave
    // those ticks out, and ticks next on the first period at or after it,
    // keeping its phase. The rest ends with that tick, or with a new rest,
    // a new interval or an enabling; a rest that ends sooner than the next
    // period changes nothing.
    virtual void restUntil(std::int64_t clockMs) = 0;
signals:
    void tick();
};

} // namespace tambolin
