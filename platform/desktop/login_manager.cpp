#include "platform/desktop/login_manager.h"

#include <QDBusMessage>

namespace tambolin {

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kInterface = QStringLiteral("org.freedesktop.login1.Manager");

} // namespace

LoginManager::LoginManager(QDBusConnection bus, int timeoutMs)
    : m_bus(std::move(bus)), m_timeoutMs(timeoutMs) {}

bool LoginManager::powerOff(QString &error) const {
    return request(QStringLiteral("CanPowerOff"), QStringLiteral("PowerOff"), error);
}

bool LoginManager::reboot(QString &error) const {
    return request(QStringLiteral("CanReboot"), QStringLiteral("Reboot"), error);
}

bool LoginManager::request(const QString &can, const QString &action, QString &error) const {
    if (!m_bus.isConnected()) {
        error = QStringLiteral("no connection to the system bus");
        return false;
    }
    // "yes" or "challenge" (the user will be asked); "no" and "na" refuse.
    const QDBusMessage answer =
        m_bus.call(QDBusMessage::createMethodCall(kService, kPath, kInterface, can), QDBus::Block,
                   m_timeoutMs);
    if (answer.type() != QDBusMessage::ReplyMessage) {
        error = answer.errorMessage();
        return false;
    }
    const QString allowed = answer.arguments().value(0).toString();
    if (allowed != QLatin1String("yes") && allowed != QLatin1String("challenge")) {
        error = QStringLiteral("%1 answered %2").arg(can, allowed);
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, action);
    call << true; // interactive
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, m_timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        error = reply.errorMessage();
        return false;
    }
    return true;
}

} // namespace tambolin
