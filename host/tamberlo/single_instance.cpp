#include "host/tamberlo/single_instance.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace tambolin::tamberlo {

namespace {

// The object the name's owner shows: Open(as locations).
class InstanceObject final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.tamberlo.Player.Application")
public:
    explicit InstanceObject(SingleInstance &owner) : QObject(&owner), m_owner(owner) {}

public slots:
    Q_SCRIPTABLE void Open(const QStringList &locations) { emit m_owner.openRequested(locations); }

private:
    SingleInstance &m_owner;
};

} // namespace

SingleInstance::SingleInstance(QDBusConnection bus, QObject *parent)
    : QObject(parent), m_bus(std::move(bus)) {}

SingleInstance::~SingleInstance() {
    if (m_registered) {
        m_bus.unregisterObject(QString::fromLatin1(kInstancePath));
        m_bus.unregisterService(QString::fromLatin1(kInstanceService));
    }
}

SingleInstance::Role SingleInstance::claim(const QStringList &locations) {
    if (!m_bus.isConnected())
        return Role::Standalone;
    // Two starts at once: the one that loses the name hands over; when the
    // owner ended meanwhile, the name is free for the next try.
    for (int attempt = 0; attempt < 3; ++attempt) {
        auto *object = new InstanceObject(*this);
        if (m_bus.registerObject(QString::fromLatin1(kInstancePath), object,
                                 QDBusConnection::ExportScriptableSlots) &&
            m_bus.registerService(QString::fromLatin1(kInstanceService))) {
            m_registered = true;
            return Role::Primary;
        }
        m_bus.unregisterObject(QString::fromLatin1(kInstancePath));
        delete object;
        if (handOver(locations))
            return Role::HandedOver;
    }
    return Role::Standalone;
}

bool SingleInstance::handOver(const QStringList &locations) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(kInstanceService), QString::fromLatin1(kInstancePath),
        QString::fromLatin1(kInstanceInterface), QStringLiteral("Open"));
    call << locations;
    const QDBusMessage reply = m_bus.call(call, QDBus::BlockWithGui, kHandOverTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

} // namespace tambolin::tamberlo

#include "single_instance.moc"
