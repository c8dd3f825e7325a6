#pragma once
// One player per desktop session: the first start owns the bus name
// org.tamberlo.Player and answers Open on /org/tamberlo/Player; a later start
// hands its locations to that window and ends.

#include <QDBusConnection>
#include <QObject>
#include <QStringList>

namespace tambolin::tamberlo {

inline constexpr char kInstanceService[] = "org.tamberlo.Player";
inline constexpr char kInstancePath[] = "/org/tamberlo/Player";
inline constexpr char kInstanceInterface[] = "org.tamberlo.Player.Application";

class SingleInstance final : public QObject {
    Q_OBJECT
public:
    enum class Role {
        Primary,    // this process holds the name and receives what others open
        HandedOver, // another player took the locations: this one ends
        Standalone, // no session bus: this process runs on its own
    };

    explicit SingleInstance(QDBusConnection bus, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Takes the name, or hands locations (none: just raise the window) to
    // the player that has it.
    Role claim(const QStringList &locations);

    static constexpr int kHandOverTimeoutMs = 5000;

signals:
    // Another start asked for locations; empty means "show yourself".
    void openRequested(const QStringList &locations);

private:
    bool handOver(const QStringList &locations);

    QDBusConnection m_bus;
    bool m_registered = false;
};

} // namespace tambolin::tamberlo
