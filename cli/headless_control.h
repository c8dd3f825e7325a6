#pragma once
// The player as the tool runs it: never shown, its settings kept in a
// throw-away folder (so the user's stored choices are neither read nor
// written) and its message boxes written to standard error.
//
// Install the clock and the MIDI devices before making one: the player
// opens its device and sends its program change as it starts.

#include "control/player.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace tambolin::cli {

class HeadlessControl final {
public:
    // Null, with a message, when there is no private folder for the settings.
    static std::unique_ptr<HeadlessControl> create(const char *command, const MidiChoices &choices,
                                                   QString &problem);
    ~HeadlessControl();
    HeadlessControl(const HeadlessControl &) = delete;
    HeadlessControl &operator=(const HeadlessControl &) = delete;

    Player &player() { return *m_player; }
    // Message boxes the control raised (each written to standard error).
    int messageBoxes() const { return *m_boxes; }

private:
    HeadlessControl() = default;
    void start(const char *command, const MidiChoices &choices);

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
    std::unique_ptr<Player> m_player;
};

} // namespace tambolin::cli
