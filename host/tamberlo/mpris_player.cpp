#include "host/tamberlo/mpris_player.h"

#include "host/tamberlo/locations.h"
#include "host/tamberlo/mpris_service.h"
#include "host/tamberlo/player_driver.h"
#include "melody/mod_tambolin.h"
#include "melody/player_store.h"

#include <QUrl>

namespace tambolin::tamberlo {

MprisPlayer::MprisPlayer(MprisService &service, PlayerDriver &driver)
    : QDBusAbstractAdaptor(&service), m_service(service), m_driver(driver) {
    m_lengthMs = driver.hasMelody() ? melodyLengthMs(mod()) : 0;
    if (driver.isPlaying())
        m_sincePlay.start();
    connect(&driver, &PlayerDriver::playingChanged, this, &MprisPlayer::onPlayingChanged);
    connect(&driver, &PlayerDriver::melodyChanged, this, &MprisPlayer::onMelodyChanged);
}

QString MprisPlayer::playbackStatus() const {
    return m_driver.isPlaying() ? QStringLiteral("Playing") : QStringLiteral("Stopped");
}

bool MprisPlayer::canPlay() const {
    return m_driver.hasMelody();
}

QDBusObjectPath MprisPlayer::trackId() const {
    if (!m_driver.hasMelody())
        return QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"));
    return QDBusObjectPath(QStringLiteral("/org/tamberlo/Player/track/") +
                           QString::number(m_driver.loadCount()));
}

QVariantMap MprisPlayer::metadata() const {
    QVariantMap map;
    map.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(trackId()));
    if (!m_driver.hasMelody())
        return map;
    map.insert(QStringLiteral("xesam:title"), m_driver.title());
    map.insert(QStringLiteral("mpris:length"), static_cast<qlonglong>(m_lengthMs) * 1000);
    map.insert(QStringLiteral("xesam:url"),
               QUrl::fromLocalFile(m_driver.fileName()).toString(QUrl::FullyEncoded));
    return map;
}

qlonglong MprisPlayer::position() const {
    if (!m_driver.isPlaying() || !m_sincePlay.isValid() || m_lengthMs <= 0)
        return 0;
    return (m_sincePlay.elapsed() % m_lengthMs) * 1000;
}

void MprisPlayer::Pause() {
    m_driver.stop();
}

void MprisPlayer::PlayPause() {
    m_driver.togglePlay();
}

void MprisPlayer::Stop() {
    m_driver.stop();
}

void MprisPlayer::Play() {
    m_driver.play();
}

void MprisPlayer::OpenUri(const QString &uri) {
    const auto location = locationFromUrl(QUrl(uri, QUrl::StrictMode));
    // An address the player does not open is ignored, as MPRIS allows.
    if (location)
        m_driver.open(*location);
}

void MprisPlayer::onPlayingChanged(bool playing) {
    if (playing)
        m_sincePlay.start();
    else
        m_sincePlay.invalidate();
    m_service.propertiesChanged("org.mpris.MediaPlayer2.Player",
                                {{QStringLiteral("PlaybackStatus"), playbackStatus()}});
}

void MprisPlayer::onMelodyChanged() {
    m_lengthMs = m_driver.hasMelody() ? melodyLengthMs(mod()) : 0;
    m_service.propertiesChanged("org.mpris.MediaPlayer2.Player",
                                {{QStringLiteral("Metadata"), metadata()},
                                 {QStringLiteral("CanPlay"), canPlay()},
                                 {QStringLiteral("CanPause"), canPlay()}});
}

} // namespace tambolin::tamberlo
