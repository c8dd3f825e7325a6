#include "platform/desktop/desktop_buses.h"

#include <mutex>

namespace tambolin {

namespace {

struct BusChoice {
    std::mutex mutex;
    std::optional<DesktopBuses> chosen;
};

BusChoice &choice() {
    static BusChoice c;
    return c;
}

} // namespace

DesktopBuses desktopBuses() {
    BusChoice &c = choice();
    std::lock_guard lock(c.mutex);
    if (c.chosen)
        return *c.chosen;
    return {QDBusConnection::sessionBus(), QDBusConnection::systemBus()};
}

void setDesktopBuses(std::optional<DesktopBuses> buses) {
    BusChoice &c = choice();
    std::lock_guard lock(c.mutex);
    c.chosen = std::move(buses);
}

} // namespace tambolin
