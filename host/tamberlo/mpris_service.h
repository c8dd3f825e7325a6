#pragma once
// The player on the session bus for media keys and desktop media controls
// (MPRIS 2): org.mpris.MediaPlayer2.tamberlo at /org/mpris/MediaPlayer2,
// with the root interface (MprisRoot) and the player interface (MprisPlayer).

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

namespace tambolin::tamberlo {

class PlayerDriver;

inline constexpr char kMprisService[] = "org.mpris.MediaPlayer2.tamberlo";
inline constexpr char kMprisPath[] = "/org/mpris/MediaPlayer2";
inline constexpr char kMprisRootInterface[] = "org.mpris.MediaPlayer2";
inline constexpr char kMprisPlayerInterface[] = "org.mpris.MediaPlayer2.Player";

class MprisService final : public QObject {
    Q_OBJECT
public:
    MprisService(PlayerDriver &driver, QDBusConnection bus, QObject *parent = nullptr);
    ~MprisService() override;

    // Puts the object and the name on the bus; false when either is refused.
    bool publish();

    // Sends org.freedesktop.DBus.Properties.PropertiesChanged for interface.
    void propertiesChanged(const char *interface, const QVariantMap &changed);

signals:
    void raiseRequested();
    void quitRequested();

private:
    QDBusConnection m_bus;
    bool m_published = false;
};

} // namespace tambolin::tamberlo
