// TBO puts its control on the session bus through the library's own entry
// point, knowing the control only as a widget.

#include "control/automation/class_registration.h"
#include "control/automation/dbus_export.h"
#include "host/bus_publication.h"
#include "host/control_loader.h"
#include "host/frm_tbo.h"
#include "platform/runtime/message_box.h"
#include "platform/midi/midi_setup.h"
#include "support/config_home.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QLibraryInfo>
#include <gtest/gtest.h>

using namespace tambolin;

namespace {

TEST(TboBus, TheFormsControlIsPublishedByItsLibrary) {
    if (!QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "no session bus";
    tambolin::testing::ConfigHome registry;
    MessageBoxRecorder boxes;
    useMidiRecorder();
    ASSERT_EQ(DllRegisterServer(), S_OK);
    {
        ControlLoader loader;
        FRM_TBO form(loader);
        ASSERT_NE(form.playctrl1(), nullptr) << form.loadError().toStdString();
        EXPECT_EQ(loader.loadedLibrary(), thisLibraryPath());

        QString error;
        ASSERT_TRUE(publishControl(loader.loadedLibrary(), form.playctrl1(), error))
            << error.toStdString();
        EXPECT_TRUE(
            QDBusConnection::sessionBus().interface()->isServiceRegistered(dbus::serviceName()));

        // Only the library's own controls, and only from a library that has the entry point.
        QWidget stranger;
        EXPECT_FALSE(publishControl(loader.loadedLibrary(), &stranger, error));
        const QString qtCore =
            QLibraryInfo::path(QLibraryInfo::LibrariesPath) + QStringLiteral("/libQt6Core.so.6");
        EXPECT_FALSE(publishControl(qtCore, form.playctrl1(), error));
        EXPECT_TRUE(error.contains(qtCore));
        EXPECT_FALSE(publishControl(QString(), form.playctrl1(), error));
    }
    useDefaultMidiBackends();
}

} // namespace
