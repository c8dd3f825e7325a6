#include "control/automation/dbus_export.h"

#include "control/automation/dbus_adaptor.h"
#include "control/playctrl.h"

#include <QCoreApplication>

namespace tambolin::dbus {

QString serviceName() {
    return QStringLiteral("org.tamberlo.Player.instance%1").arg(QCoreApplication::applicationPid());
}

QString exportControl(PLAYCTRL &ctrl, QDBusConnection bus) {
    if (!bus.isConnected())
        return {};
    // Numbers are never reused, so a client's path never reaches a newer control.
    static int next = 1;
    QString path;
    do
        path = QString::fromLatin1(kPathPrefix) + QString::number(next++);
    while (bus.objectRegisteredAt(path));
    auto *object = new PlayctrlBusObject(ctrl, bus, path);
    if (!bus.registerObject(
            path, object, QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties)) {
        delete object;
        return {};
    }
    // A second control in the process shares the name it already holds.
    bus.registerService(serviceName());
    return path;
}

} // namespace tambolin::dbus

int tambolin_ExportControl(QWidget *control) {
    // Nothing may unwind into a container that knows only the C entry point.
    try {
        auto *ctrl = qobject_cast<tambolin::PLAYCTRL *>(control);
        return ctrl && !tambolin::dbus::exportControl(*ctrl).isEmpty() ? 1 : 0;
    } catch (...) {
        return 0;
    }
}
