#pragma once
// org.mpris.MediaPlayer2.Player: playback state and control. The player
// control can only start a melody from its beginning and stop it, so Pause
// stops (PlayPause works as the media key's toggle) and nothing seeks; the
// melody repeats until stopped.

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QVariantMap>

namespace tambolin::tamberlo {

class MprisService;
class PlayerDriver;

class MprisPlayer final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(double Rate READ rate)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ volume)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(double MinimumRate READ rate)
    Q_PROPERTY(double MaximumRate READ rate)
    Q_PROPERTY(bool CanGoNext READ no)
    Q_PROPERTY(bool CanGoPrevious READ no)
    Q_PROPERTY(bool CanPlay READ canPlay)
    Q_PROPERTY(bool CanPause READ canPlay)
    Q_PROPERTY(bool CanSeek READ no)
    Q_PROPERTY(bool CanControl READ canControl)
public:
    MprisPlayer(MprisService &service, PlayerDriver &driver);

    // "Playing" or "Stopped": the control has no paused state.
    QString playbackStatus() const;
    double rate() const { return 1.0; }
    QVariantMap metadata() const;
    double volume() const { return 1.0; }
    // Microseconds into the current pass of the melody.
    qlonglong position() const;
    bool no() const { return false; }
    bool canPlay() const;
    bool canControl() const { return true; }

    // The track id of the melody loaded now.
    QDBusObjectPath trackId() const;

public slots:
    void Next() {}
    void Previous() {}
    void Pause();
    void PlayPause();
    void Stop();
    void Play();
    void Seek(qlonglong) {}
    void SetPosition(const QDBusObjectPath &, qlonglong) {}
    void OpenUri(const QString &uri);

signals:
    void Seeked(qlonglong position);

private:
    void onPlayingChanged(bool playing);
    void onMelodyChanged();

    MprisService &m_service;
    PlayerDriver &m_driver;
    QElapsedTimer m_sincePlay;
    long long m_lengthMs = 0;
};

} // namespace tambolin::tamberlo
