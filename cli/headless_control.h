#pragma once
// The player control as the tool drives it: never shown, its settings kept
// in a throw-away folder (so the user's stored choices are neither read nor
// written) and its message boxes written to standard error.
//
// Install the clock and the MIDI devices before making one: the control
// opens its device and sends its program change as it starts.

#include "platform/runtime/basic_runtime.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <optional>

namespace tambolin {
class PLAYCTRL;
}

namespace tambolin::cli {

class MelodyEnds;

// The two choices of the settings window: device list entry (0 = mapper)
// and instrument list entry (General MIDI program - 1).
struct MidiChoices {
    Integer port = 0;
    Integer source = 0;
};

class HeadlessControl final {
public:
    // choices: what the control finds stored when it starts; none = nothing
    // stored, so it takes its defaults. Null, with a message, when there is
    // no private folder for the settings.
    static std::unique_ptr<HeadlessControl>
    create(const char *command, std::optional<MidiChoices> choices, QString &problem);
    ~HeadlessControl();
    HeadlessControl(const HeadlessControl &) = delete;
    HeadlessControl &operator=(const HeadlessControl &) = delete;

    PLAYCTRL &control() { return *m_control; }

    // The panel's open path once a file is chosen: parts emptied, FileLoad,
    // title shown, longest part found, play enabled.
    void load(const QString &path);
    void play(); // the play action
    void stop(); // the stop action
    // How often the melody has ended on its own so far.
    int melodyEnds() const;
    // Message boxes the control raised (each written to standard error).
    int messageBoxes() const { return *m_boxes; }

private:
    HeadlessControl() = default;
    void start(const char *command, std::optional<MidiChoices> choices);

    // Swaps XDG_CONFIG_HOME for a fresh folder for as long as it lives.
    class ScratchSettings final {
    public:
        ScratchSettings();
        ~ScratchSettings();
        ScratchSettings(const ScratchSettings &) = delete;
        ScratchSettings &operator=(const ScratchSettings &) = delete;
        bool isValid() const { return m_dir.isValid(); }
        QString errorString() const { return m_dir.errorString(); }

    private:
        QTemporaryDir m_dir;
        QByteArray m_old;
        bool m_hadOld = false;
    };
    class BoxesToStderr;

    ScratchSettings m_settings;
    std::shared_ptr<int> m_boxes = std::make_shared<int>(0);
    std::unique_ptr<BoxesToStderr> m_boxHook;
    std::unique_ptr<PLAYCTRL> m_control;
    std::unique_ptr<MelodyEnds> m_ends;
};

} // namespace tambolin::cli
