#include "host/tamberlo/mpris_service.h"

#include "host/tamberlo/mpris_player.h"
#include "host/tamberlo/mpris_root.h"

#include <QDBusMessage>

namespace tambolin::tamberlo {

MprisService::MprisService(PlayerDriver &driver, QDBusConnection bus, QObject *parent)
    : QObject(parent), m_bus(std::move(bus)) {
    new MprisRoot(*this);
    new MprisPlayer(*this, driver);
}

MprisService::~MprisService() {
    if (m_published) {
        m_bus.unregisterService(QString::fromLatin1(kMprisService));
        m_bus.unregisterObject(QString::fromLatin1(kMprisPath));
    }
}

bool MprisService::publish() {
    if (!m_bus.isConnected())
        return false;
    if (!m_bus.registerObject(QString::fromLatin1(kMprisPath), this,
                              QDBusConnection::ExportAdaptors))
        return false;
    if (!m_bus.registerService(QString::fromLatin1(kMprisService))) {
        m_bus.unregisterObject(QString::fromLatin1(kMprisPath));
        return false;
    }
    m_published = true;
    return true;
}

void MprisService::propertiesChanged(const char *interface, const QVariantMap &changed) {
    if (!m_published || changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        QString::fromLatin1(kMprisPath), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(interface) << changed << QStringList();
    m_bus.send(signal);
}

} // namespace tambolin::tamberlo
