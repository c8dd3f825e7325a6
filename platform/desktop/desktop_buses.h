#pragma once
// The D-Bus connections our layers talk to the desktop and the system on.
// Tests point both at a private bus of their own, so that nothing they do
// can reach the machine's login manager.

#include <QDBusConnection>
#include <optional>

namespace tambolin {

struct DesktopBuses {
    QDBusConnection session;
    QDBusConnection system;
};

// The buses in use: the user's session bus and the system bus unless a
// test set others.
DesktopBuses desktopBuses();
// std::nullopt goes back to the real buses.
void setDesktopBuses(std::optional<DesktopBuses> buses);

} // namespace tambolin
