#include "platform/services/services.h"

#include "platform/audio/audio_device.h"
#include "platform/audio/audio_fake.h"
#include "platform/clock/virtual_clock.h"
#include "platform/midi/midi_mmsystem.h"
#include "platform/midi/midi_out.h"
#include "platform/midi/midi_recorder.h"
#include "platform/midi/midi_setup.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace tambolin {
namespace {

const QDateTime noon(QDate(2026, 3, 4), QTime(12, 0));

TEST(ScopedServices, PutsInWhatItNamesAndPutsBackWhatWasThere) {
    // What the test had before the scope: a clock and a box hook of its own.
    VirtualClock outerClock(noon);
    const ScopedClock outer(outerClock);
    int outerBoxes = 0;
    const MessageBoxHook before = setMessageBoxHook([&](const MessageBoxCall &) {
        ++outerBoxes;
        return vbOK;
    });

    VirtualClock innerClock(noon.addDays(1));
    auto recorder = std::make_shared<MidiRecorder>(std::vector<std::string>{"Alpha", "Beta"});
    auto audio = std::make_shared<FakeAudioOutput>();
    int innerBoxes = 0;
    {
        Services chosen;
        chosen.clock = &innerClock;
        chosen.messageBoxes = [&](const MessageBoxCall &) {
            ++innerBoxes;
            return vbNo;
        };
        chosen.audio = audio;
        chosen.midiDevices = {{recorder}};
        const ScopedServices services(std::move(chosen));
        EXPECT_EQ(&currentClock(), &innerClock);
        EXPECT_EQ(MsgBox(QStringLiteral("?"), vbYesNo, QString()), vbNo);
        EXPECT_EQ(currentAudioOutput(), audio);
        ASSERT_EQ(midiOutGetNumDevs(), 2u);
        HMIDIOUT handle = 0;
        ASSERT_EQ(midiOutOpen(&handle, 1, 0, 0, 0), MMSYSERR_NOERROR);
        EXPECT_EQ(midiOutShortMsg(handle, 0x7F3C90), MMSYSERR_NOERROR);
        midiOutClose(handle);
        EXPECT_FALSE(recorder->words().empty());
    }
    // Thread services come back as they were; the others go back to the real ones.
    EXPECT_EQ(&currentClock(), &outerClock);
    EXPECT_EQ(MsgBox(QStringLiteral("?"), vbOKOnly, QString()), vbOK);
    EXPECT_EQ(outerBoxes, 1);
    EXPECT_EQ(innerBoxes, 1);
    EXPECT_NE(currentAudioOutput(), audio);
    setAudioOutput(nullptr);
    setMessageBoxHook(before);
}

TEST(ScopedServices, LeavesAloneWhatItDoesNotName) {
    VirtualClock clock(noon);
    const ScopedClock outer(clock);
    auto recorder = useMidiRecorder({"Gamma"});
    {
        const ScopedServices services{Services()};
        EXPECT_EQ(&currentClock(), &clock);
    }
    EXPECT_EQ(&currentClock(), &clock);
    EXPECT_EQ(midiOutGetNumDevs(), 1u);
    useDefaultMidiBackends();
}

} // namespace
} // namespace tambolin
