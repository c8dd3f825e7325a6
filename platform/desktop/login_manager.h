#pragma once
// The system's login manager (org.freedesktop.login1) on a given bus: asks
// it to power the machine off or restart it. Interactive requests let the
// desktop ask for the user's authorisation where the policy wants it.

#include <QDBusConnection>
#include <QString>

namespace tambolin {

class LoginManager final {
public:
    explicit LoginManager(QDBusConnection bus, int timeoutMs = 30000);

    // True when the manager accepted the request; otherwise error says why.
    bool powerOff(QString &error) const;
    bool reboot(QString &error) const;

private:
    bool request(const QString &can, const QString &action, QString &error) const;

    QDBusConnection m_bus;
    int m_timeoutMs;
};

} // namespace tambolin
