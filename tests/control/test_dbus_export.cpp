#include "control_fixture.h"

#include "control/automation/automation.h"
#include "control/automation/dbus_export.h"
#include "support/private_bus.h"

#include <QDBusConnectionInterface>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

namespace tambolin::testing {
namespace {

// The test's own message bus (no service activation, nothing real reached),
// a connection to it, and gdbus pointed at it.
class BusClient {
public:
    BusClient() {
        if (m_daemon.address().isEmpty())
            return;
        m_bus = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(m_daemon.address(), QStringLiteral("tambolin-test-bus")));
    }
    ~BusClient() {
        m_bus.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("tambolin-test-bus"));
    }
    bool ready() const { return m_bus && m_bus->isConnected(); }
    QDBusConnection &bus() { return *m_bus; }

    // Runs gdbus against this bus, serving the control's calls meanwhile.
    QString gdbus(const QStringList &args, int *exitCode = nullptr) {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_daemon.address());
        tool.setProcessEnvironment(env);
        QEventLoop loop;
        QObject::connect(&tool, &QProcess::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        tool.start(QStringLiteral("gdbus"), args);
        loop.exec();
        if (exitCode)
            *exitCode = tool.exitCode();
        return QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError());
    }

private:
    PrivateBus m_daemon;
    std::unique_ptr<QDBusConnection> m_bus;
};

class BusExport : public ControlTest {
protected:
    QStringList call(const QString &path, const QString &method, const QStringList &args) {
        return QStringList{QStringLiteral("call"),          QStringLiteral("--session"),
                           QStringLiteral("--dest"),        dbus::serviceName(),
                           QStringLiteral("--object-path"), path,
                           QStringLiteral("--method"),      method} +
               args;
    }
    BusClient m_bus;
};

TEST_F(BusExport, EachControlHasItsOwnObject) {
    ASSERT_TRUE(m_bus.ready());
    PLAYCTRL &a = makeControl();
    PLAYCTRL &b = makeControl();
    const QString pa = dbus::exportControl(a, m_bus.bus());
    const QString pb = dbus::exportControl(b, m_bus.bus());
    EXPECT_TRUE(pa.startsWith(QStringLiteral("/PLAYCTRL/")));
    EXPECT_TRUE(pb.startsWith(QStringLiteral("/PLAYCTRL/")));
    EXPECT_NE(pa, pb);
    EXPECT_TRUE(m_bus.bus().interface()->isServiceRegistered(dbus::serviceName()));
    EXPECT_TRUE(dbus::serviceName().startsWith(QStringLiteral("org.tamberlo.Player.instance")));

    destroyControl(a);
    EXPECT_EQ(m_bus.bus().objectRegisteredAt(pa), nullptr);
    EXPECT_NE(m_bus.bus().objectRegisteredAt(pb), nullptr);
}

TEST_F(BusExport, IntrospectionListsEveryMember) {
    ASSERT_TRUE(m_bus.ready());
    PLAYCTRL &ctrl = makeControl();
    const QString path = dbus::exportControl(ctrl, m_bus.bus());
    const QString xml = m_bus.gdbus({QStringLiteral("introspect"), QStringLiteral("--session"),
                                     QStringLiteral("--dest"), dbus::serviceName(),
                                     QStringLiteral("--object-path"), path});
    ASSERT_TRUE(xml.contains(QLatin1String(dbus::kInterface))) << xml.toStdString();
    for (const automation::Member &m : automation::interfaceMembers()) {
        const QString &name = m.name;
        if (m.kind == automation::Method)
            EXPECT_TRUE(xml.contains(name + QStringLiteral("("))) << name.toStdString() << "\n"
                                                                  << xml.toStdString();
        else
            EXPECT_TRUE(xml.contains(QStringLiteral(" ") + name + QStringLiteral(" = ")))
                << name.toStdString() << "\n"
                << xml.toStdString();
    }
    EXPECT_TRUE(xml.contains(QStringLiteral("readwrite b Play"))) << xml.toStdString();
    EXPECT_TRUE(xml.contains(QStringLiteral("readonly s MTitle"))) << xml.toStdString();
    EXPECT_TRUE(xml.contains(QStringLiteral("readwrite s FileName"))) << xml.toStdString();
}

TEST_F(BusExport, CallsReachTheControl) {
    ASSERT_TRUE(m_bus.ready());
    PLAYCTRL &ctrl = makeControl();
    const QString path = dbus::exportControl(ctrl, m_bus.bus());
    clearSent();

    int status = -1;
    const QString on = m_bus.gdbus(
        call(path, QStringLiteral("org.tamberlo.Player.PLAYCTRL.MidiOn"), {QStringLiteral("0")}),
        &status);
    EXPECT_EQ(status, 0) << on.toStdString();
    EXPECT_EQ(words(), (std::vector<DWORD>{0x793090}));

    const QString title =
        m_bus.gdbus(call(path, QStringLiteral("org.freedesktop.DBus.Properties.Get"),
                         {QLatin1String(dbus::kInterface), QStringLiteral("MTitle")}));
    EXPECT_TRUE(title.contains(QStringLiteral("'Tamberlo Player'"))) << title.toStdString();

    m_bus.gdbus(
        call(path, QStringLiteral("org.freedesktop.DBus.Properties.Set"),
             {QLatin1String(dbus::kInterface), QStringLiteral("Play"), QStringLiteral("<true>")}),
        &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ctrl.Play(), True);

    // By-reference arguments come back as the member left them.
    Integer dat = 0x45, onpdat = 0, kaidat = 0;
    ctrl.onpdatget(dat, onpdat, kaidat);
    const QString got =
        m_bus.gdbus(call(path, QStringLiteral("org.tamberlo.Player.PLAYCTRL.onpdatget"),
                         {QStringLiteral("0x45"), QStringLiteral("0"), QStringLiteral("0")}));
    EXPECT_TRUE(got.contains(
        QStringLiteral("(int16 %1, int16 %2, int16 %3)").arg(dat).arg(onpdat).arg(kaidat)))
        << got.toStdString();
}

} // namespace
} // namespace tambolin::testing
