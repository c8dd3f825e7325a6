#pragma once
// Window timers, as the clock layer hands them out.

#include <QObject>

namespace tambolin {

// A window timer: ticks every interval milliseconds while enabled.
class WindowTimer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~WindowTimer() override = default;
    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
    virtual void setEnabled(bool on) = 0;
    virtual bool isEnabled() const = 0;
signals:
    void tick();
};

} // namespace tambolin
