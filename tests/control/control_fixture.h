#pragma once
// A player control under test: a virtual clock, the recording MIDI device,
// an empty settings store in a temporary configuration folder, message
// boxes answered OK and recorded, and a fresh module state.

#include "control/module_utility.h"
#include "control/playctrl.h"
#include "melody/mod_tambolin.h"
#include "platform/clock/clock.h"
#include "platform/clock/virtual_clock.h"
#include "platform/midi/midi_setup.h"
#include "platform/registry/registry.h"
#include "platform/runtime/message_box.h"
#include "support/config_home.h"
#include "util/cl_gl010c.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <utility>
#include <vector>

namespace tambolin::testing {

// One note of a part: length code and pitch.
struct Note {
    Integer code;
    Integer pitch;
};

// A short message and when it was sent, in milliseconds of the virtual clock.
struct Sent {
    std::int64_t ms;
    DWORD word;
    bool operator==(const Sent &) const = default;
};

inline std::ostream &operator<<(std::ostream &os, const Sent &s) {
    return os << s.ms << " " << std::hex << std::uppercase << s.word << std::dec;
}

// The player's stored settings, read and written as the control does.
inline QString storedSetting(const char *name) {
    Long root = HKEY_LOCAL_MACHINE;
    QString key = QStringLiteral("SOFTWARE\\Tamberlo Player");
    QString nm = QString::fromLatin1(name);
    return gl010c().RVN_RegGet(root, key, nm);
}

inline void storeSetting(const char *name, const QString &value) {
    Long root = HKEY_LOCAL_MACHINE;
    QString key = QStringLiteral("SOFTWARE\\Tamberlo Player");
    QString nm = QString::fromLatin1(name);
    QString data = value;
    gl010c().RVN_RegSet(root, key, nm, data);
}

inline void resetModule() {
    MOD_TAMBOLIN &m = mod();
    m.onpary.clear();
    m.kaiary.clear();
    m.onpcnt.fill(0);
    m.tmacc.fill(0);
    m.tempo = 0;
    m.kijyun = 0;
    m.mtitle.clear();
    m.maxprt = 0;
    m.onpmax = 0;
    m.hmidiout = 0;
    m.midiret = 0;
    m.midimsg = 0;
    m.keybase = 0;
    m.midiport = 0;
    m.midisource = 0;
}

// Puts a melody straight into the store.
inline void setMelody(Integer tempo, const std::vector<std::vector<Note>> &parts) {
    MOD_TAMBOLIN &m = mod();
    m.tempo = tempo;
    for (int p = 1; p <= 3; ++p) {
        const std::vector<Note> notes =
            p <= static_cast<int>(parts.size()) ? parts[p - 1] : std::vector<Note>{};
        m.onpcnt(p) = static_cast<Integer>(notes.size());
        for (std::size_t i = 0; i < notes.size(); ++i) {
            m.onpary(static_cast<long long>(i + 1), p) = notes[i].code;
            m.kaiary(static_cast<long long>(i + 1), p) = notes[i].pitch;
        }
    }
    m.maxprt = 1;
}

inline constexpr DWORD noteOn(int pitch) {
    return static_cast<DWORD>((pitch + 48) * 256 + 0x790090);
}
inline constexpr DWORD noteOff(int pitch) {
    return static_cast<DWORD>((pitch + 48) * 256 + 0x100080);
}

class ControlTest : public ::testing::Test {
protected:
    ControlTest() : ControlTest(QDateTime(QDate(2026, 1, 1), QTime(12, 0))) {}
    explicit ControlTest(const QDateTime &start)
        : m_start(start), m_clock(start), m_scopedClock(m_clock) {
        resetModule();
        m_recorder = useMidiRecorder();
    }
    ~ControlTest() override {
        m_controls.clear(); // they store their settings before the folder goes
    }

    // Uses these recording devices instead of the one default device.
    void useDevices(std::vector<std::string> names) {
        m_recorder = useMidiRecorder(std::move(names));
    }

    PLAYCTRL &makeControl() {
        m_controls.push_back(std::make_unique<PLAYCTRL>());
        return *m_controls.back();
    }
    void destroyControl(PLAYCTRL &ctrl) {
        std::erase_if(m_controls, [&](const auto &c) { return c.get() == &ctrl; });
    }

    // Messages since the last clearSent, with their virtual times.
    std::vector<Sent> sent() const {
        std::vector<Sent> out;
        for (const RecordedMidiMessage &r : m_recorder->messages()) {
            const QDateTime t(
                QDate(r.time.wYear, r.time.wMonth, r.time.wDay),
                QTime(r.time.wHour, r.time.wMinute, r.time.wSecond, r.time.wMilliseconds));
            out.push_back({m_start.msecsTo(t), r.word});
        }
        return out;
    }
    std::vector<DWORD> words() const { return m_recorder->words(); }
    void clearSent() { m_recorder->clear(); }

    // Runs virtual time up to ms after the start.
    void runTo(std::int64_t ms) { m_clock.advance(ms - m_clock.elapsed()); }
    std::int64_t now() const { return m_clock.elapsed(); }

    void setPlay(PLAYCTRL &ctrl, bool on) {
        Boolean v = on ? True : False;
        ctrl.setPlay(v);
    }

    QDateTime m_start;
    ConfigHome m_config;
    VirtualClock m_clock;
    ScopedClock m_scopedClock;
    MessageBoxRecorder m_boxes;
    std::shared_ptr<MidiRecorder> m_recorder;
    std::vector<std::unique_ptr<PLAYCTRL>> m_controls;
};

} // namespace tambolin::testing
