#include "control/player.h"

#include "control/frm_tboset.h"
#include "melody/mod_tambolin.h"
#include "melody/player_store.h"

#include <QComboBox>

namespace tambolin {

namespace {

QComboBox *deviceList(const PLAYCTRL &control) {
    FRM_TBOSET *form = control.settingsForm();
    return form ? form->cmbOutDevice() : nullptr;
}

QComboBox *instrumentList(const PLAYCTRL &control) {
    FRM_TBOSET *form = control.settingsForm();
    return form ? form->lstMusicalInstruments() : nullptr;
}

} // namespace

Player::Player(const MidiChoices &choices, QObject *parent)
    : QObject(parent), m_control(std::make_unique<PLAYCTRL>(choices)) {
    // Never on a screen: the control's marquee has nothing to scroll, and
    // a stopped player wakes for nothing.
    m_control->setAttribute(Qt::WA_DontShowOnScreen);
    connect(m_control.get(), &PLAYCTRL::melodyEnded, this, [this] {
        ++m_ends;
        emit melodyEnded();
    });
}

Player::~Player() = default;

void Player::load(const QString &path) {
    m_control->loadMelody(path);
}

void Player::play() {
    m_control->playAction();
}

void Player::stop() {
    m_control->stopAction();
}

bool Player::isPlaying() const {
    return m_control->Play() != False;
}

void Player::setMidiDevice(Integer entry) {
    m_control->selectMidiDevice(entry);
}

void Player::setInstrument(Integer entry) {
    m_control->selectInstrument(entry);
}

Integer Player::midiDevice() const {
    const QComboBox *list = deviceList(*m_control);
    return list ? static_cast<Integer>(list->currentIndex()) : Integer{-1};
}

Integer Player::instrument() const {
    const QComboBox *list = instrumentList(*m_control);
    return list ? static_cast<Integer>(list->currentIndex()) : Integer{-1};
}

QString Player::midiDeviceText() const {
    const QComboBox *list = deviceList(*m_control);
    return list ? list->currentText() : QString();
}

QString Player::instrumentText() const {
    const QComboBox *list = instrumentList(*m_control);
    return list ? list->currentText() : QString();
}

QString Player::title() const {
    return m_control->MTitle();
}

long long Player::lengthMs() const {
    long long length = 0;
    step([&] { length = melodyLengthMs(mod()); });
    return length;
}

} // namespace tambolin
