#pragma once
// Drives one player control through its automation members, by name, as
// any host would: FileName to open, Play to start and stop, MTitle for the
// title. The control can be played and stopped from its own panel too, so
// its state is looked at again every few tenths of a second and changes are
// announced.

#include "control/playctrl.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QVariant>

namespace tambolin {

namespace tamberlo {

class PlayerDriver final : public QObject {
    Q_OBJECT
public:
    explicit PlayerDriver(PLAYCTRL &ctrl, QObject *parent = nullptr);

    // Loads a local path or an http:// or ftp:// address and plays it; a
    // download that fails leaves everything as it was.
    void open(const QString &location);
    void play();
    void stop();
    void togglePlay();

    bool isPlaying() const { return m_playing; }
    // The title display's text; the control's own name before any melody.
    QString title() const { return m_title; }
    // The file last loaded or saved; empty before any.
    QString fileName() const { return m_fileName; }
    bool hasMelody() const { return !m_fileName.isEmpty(); }
    // How many melodies were loaded so far: tells one load of a file from
    // the next load of the same file.
    int loadCount() const { return m_loadCount; }

    // Reads the control's state now and announces what changed.
    void refresh();

    static constexpr int kPollMs = 200;

signals:
    void playingChanged(bool playing);
    // A melody was loaded (or saved under a new name): title and file.
    void melodyChanged();
    // The title display changed without a new file (a failed download).
    void titleChanged(const QString &title);

private:
    QVariant get(const char *member) const;
    void put(const char *member, const QVariant &value);

    QPointer<PLAYCTRL> m_ctrl;
    QTimer m_poll;
    bool m_playing = false;
    QString m_title;
    QString m_fileName;
    int m_loadCount = 0;
};

} // namespace tamberlo
} // namespace tambolin
