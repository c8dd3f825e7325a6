#pragma once
// The player control's members on the D-Bus session bus, for programs that
// drive a player from outside: one object per control at /PLAYCTRL/<n>,
// under the process's own bus name. The object ends with its control.

#include <QDBusConnection>
#include <QString>
#include <QtGlobal>

class QWidget;

namespace tambolin {

class PLAYCTRL;

namespace dbus {

inline constexpr const char *kInterface = "org.tamberlo.Player.PLAYCTRL";
inline constexpr const char *kPathPrefix = "/PLAYCTRL/";

// "org.tamberlo.Player.instance<process id>".
QString serviceName();

// Exports ctrl at the next free /PLAYCTRL/<n> (from 1) on bus and claims the
// process's bus name there. Returns the object path, or an empty text when
// the bus is not connected or refuses the object.
QString exportControl(PLAYCTRL &ctrl, QDBusConnection bus = QDBusConnection::sessionBus());

} // namespace dbus
} // namespace tambolin

extern "C" {
// For containers that load the library at run time and know the control only
// as a widget: exports it on the session bus; 1 on success, 0 otherwise
// (not one of this library's controls, or no bus).
Q_DECL_EXPORT int tambolin_ExportControl(QWidget *control);
}
