#include "host/tamberlo/player_driver.h"

#include "control/automation/automation.h"
#include "control/playctrl.h"

namespace tambolin::tamberlo {

PlayerDriver::PlayerDriver(PLAYCTRL &ctrl, QObject *parent) : QObject(parent), m_ctrl(&ctrl) {
    m_playing = get("Play").toBool();
    m_title = get("MTitle").toString();
    m_fileName = get("FileName").toString();
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &PlayerDriver::refresh);
    m_poll.start();
}

QVariant PlayerDriver::get(const char *member) const {
    if (!m_ctrl)
        return {};
    QVariantList none;
    return automation::Invoke(*m_ctrl, QString::fromLatin1(member), automation::PropertyGet, none)
        .result;
}

void PlayerDriver::put(const char *member, const QVariant &value) {
    if (!m_ctrl)
        return;
    QVariantList args{value};
    automation::Invoke(*m_ctrl, QString::fromLatin1(member), automation::PropertyPut, args);
}

void PlayerDriver::open(const QString &location) {
    // Writing FileName reloads even the same file, so a repeated open counts.
    const int before = m_loadCount;
    put("FileName", location);
    refresh();
    // A failed download leaves the melody as it was and says so in the
    // title display: nothing new to announce or to play.
    if (m_title == location + QStringLiteral("のﾀﾞｳﾝﾛｰﾄﾞに失敗"))
        return;
    if (m_loadCount == before) {
        ++m_loadCount;
        emit melodyChanged();
    }
    play();
}

void PlayerDriver::play() {
    if (!get("Play").toBool())
        put("Play", true);
    refresh();
}

void PlayerDriver::stop() {
    if (get("Play").toBool())
        put("Play", false);
    refresh();
}

void PlayerDriver::togglePlay() {
    if (get("Play").toBool())
        stop();
    else
        play();
}

void PlayerDriver::refresh() {
    const bool playing = get("Play").toBool();
    const QString title = get("MTitle").toString();
    const QString fileName = get("FileName").toString();
    const bool newMelody = fileName != m_fileName;
    const bool newTitle = title != m_title;
    m_title = title;
    m_fileName = fileName;
    if (newMelody) {
        ++m_loadCount;
        emit melodyChanged();
    } else if (newTitle) {
        emit titleChanged(m_title);
    }
    if (playing != m_playing) {
        m_playing = playing;
        emit playingChanged(m_playing);
    }
}

} // namespace tambolin::tamberlo
