#pragma once
// The player without its panel: one player control driven by calls rather
// than clicks. Loading, playing and stopping run the same actions as the
// panel's buttons; the MIDI device and instrument are chosen as in the
// settings form. Time comes from the clock layer, so it runs on a virtual
// clock as well as on the real one.
//
// Install the clock and the MIDI devices before making one: the control
// opens its device and sends its program change as it starts.

#include "control/playctrl.h"

#include <QObject>
#include <QString>
#include <memory>

namespace tambolin {

class Player final : public QObject {
    Q_OBJECT
public:
    // Starts a control with these choices (not the stored ones).
    explicit Player(const MidiChoices &choices = {}, QObject *parent = nullptr);
    // Ends the control: the device reset and closed, the choices stored.
    ~Player() override;
    Player(const Player &) = delete;
    Player &operator=(const Player &) = delete;

    // The panel's open action once a file is chosen: parts emptied, the file
    // read, title shown, longest part found, play enabled.
    void load(const QString &path);
    // The play button: from the start; the melody repeats until stopped.
    void play();
    // The stop button: the sounding notes end.
    void stop();
    bool isPlaying() const;

    // Entries of the settings form's lists (see MidiChoices); an entry the
    // list does not have changes nothing.
    void setMidiDevice(Integer entry);
    void setInstrument(Integer entry);
    // The chosen entries and their texts as the lists show them; -1 and an
    // empty text for none.
    Integer midiDevice() const;
    Integer instrument() const;
    QString midiDeviceText() const;
    QString instrumentText() const;

    // The title shown for the melody.
    QString title() const;
    // One pass of the melody in the store, in milliseconds as it is played.
    long long lengthMs() const;
    // How often the melody has ended on its own since this player started.
    int ends() const { return m_ends; }

    // The control itself, for what only its panel shows.
    PLAYCTRL &control() { return *m_control; }

signals:
    // The melody has played to its end on its own; a stop is no end.
    void melodyEnded();

private:
    std::unique_ptr<PLAYCTRL> m_control;
    int m_ends = 0;
};

} // namespace tambolin
