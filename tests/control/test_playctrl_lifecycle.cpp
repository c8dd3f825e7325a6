#include "control/module_utility.h"
#include "control_fixture.h"

#include "control/frm_tboset.h"
#include "control/title_label.h"
#include "platform/midi/midi_out.h"
#include "platform/registry/registry.h"
#include "timer/org_timer.h"
#include "util/cl_gl010c.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>

namespace tambolin::testing {
namespace {

// Sends a note through whatever handle the module holds now.
MMRESULT sendThroughModuleHandle() {
    return midiOutShortMsg(mod().hmidiout, 0x403C90);
}

using Lifecycle = ControlTest;

TEST_F(Lifecycle, FirstStartWithAnEmptyRegistry) {
    PLAYCTRL &ctrl = makeControl();
    MOD_TAMBOLIN &m = mod();

    // The mapper opened and program 0 sent to it, nothing else.
    EXPECT_NE(m.hmidiout, 0);
    EXPECT_EQ(words(), (std::vector<DWORD>{0x00C0}));
    EXPECT_EQ(m.keybase, 48);
    EXPECT_EQ(m.tempo, 1);
    EXPECT_EQ(m.onpmax, 200);
    EXPECT_EQ(m.mhead0(4), 0x28);
    EXPECT_EQ(m.mtail(0), 0x0F);

    FRM_TBOSET *form = ctrl.settingsForm();
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->isVisible());
    ASSERT_EQ(form->cmbOutDevice()->count(), 2);
    EXPECT_TRUE(form->cmbOutDevice()->itemText(0).startsWith(QStringLiteral("0: ")));
    EXPECT_EQ(form->cmbOutDevice()->itemText(1),
              QStringLiteral("1: ") + QString::fromLatin1(MidiRecorder::defaultName));
    EXPECT_EQ(form->cmbOutDevice()->currentIndex(), 0);
    ASSERT_EQ(form->lstMusicalInstruments()->count(), 128);
    EXPECT_EQ(form->lstMusicalInstruments()->itemText(0), QStringLiteral("001: GrandPiano"));
    EXPECT_EQ(form->lstMusicalInstruments()->itemText(127), QStringLiteral("128: Gunshot"));
    EXPECT_EQ(form->lstMusicalInstruments()->currentIndex(), 0);

    EXPECT_EQ(ctrl.MTitle(), QStringLiteral("Tamberlo Player"));
    EXPECT_EQ(ctrl.Label1()->text(), QStringLiteral("Tamberlo Player"));
    EXPECT_EQ(ctrl.FileName(), QString());
    EXPECT_EQ(ctrl.Play(), False);
    EXPECT_FALSE(ctrl.Command1(1)->isEnabled());
    EXPECT_FALSE(ctrl.Command1(2)->isEnabled());
    for (int i = 3; i <= 5; ++i)
        EXPECT_TRUE(ctrl.Command1(i)->isEnabled()) << i;
    for (int part = 1; part <= 3; ++part)
        EXPECT_NE(ctrl.OrgTimer1(part), nullptr);
    EXPECT_FALSE(ctrl.PlayTimer()->isEnabled());
    EXPECT_FALSE(ctrl.BaseTimer()->isEnabled());
    EXPECT_TRUE(ctrl.Timer1()->isEnabled());
    EXPECT_TRUE(m_boxes.calls().empty());
}

TEST_F(Lifecycle, EndClosesTheDeviceAndStoresTheChoicesUnplayed) {
    PLAYCTRL &ctrl = makeControl();
    EXPECT_EQ(storedSetting("midiport"), QString());
    const Long handle = mod().hmidiout;
    ASSERT_EQ(sendThroughModuleHandle(), MMSYSERR_NOERROR);
    destroyControl(ctrl);
    EXPECT_EQ(storedSetting("midiport"), QStringLiteral("0"));
    EXPECT_EQ(storedSetting("midisource"), QStringLiteral("0"));
    // The handle is left as it was, and it is closed.
    EXPECT_EQ(mod().hmidiout, handle);
    EXPECT_NE(sendThroughModuleHandle(), MMSYSERR_NOERROR);
}

TEST_F(Lifecycle, ChoicesComeBackInTheNextInstance) {
    useDevices({"Alpha", "Beta"});
    {
        PLAYCTRL &first = makeControl();
        FRM_TBOSET *form = first.settingsForm();
        form->cmbOutDevice()->setCurrentIndex(2);
        form->lstMusicalInstruments()->setCurrentIndex(40);
        destroyControl(first);
    }
    EXPECT_EQ(storedSetting("midiport"), QStringLiteral("2"));
    EXPECT_EQ(storedSetting("midisource"), QStringLiteral("40"));

    clearSent();
    resetModule();
    PLAYCTRL &second = makeControl();
    EXPECT_EQ(second.settingsForm()->cmbOutDevice()->currentIndex(), 2);
    EXPECT_EQ(second.settingsForm()->lstMusicalInstruments()->currentIndex(), 40);
    // Device entry 2 is device 1, "Beta"; it gets program 41.
    const auto messages = m_recorder->messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].device, "Beta");
    EXPECT_EQ(messages[0].word, 40u * 256 + 0xC0);
}

TEST_F(Lifecycle, UnreadableStoredChoicesKeepTheDefaults) {
    storeSetting("midiport", QStringLiteral("abc"));
    storeSetting("midisource", QString());
    PLAYCTRL &ctrl = makeControl();
    EXPECT_EQ(mod().midiport, 0);
    EXPECT_EQ(mod().midisource, 0);
    EXPECT_EQ(ctrl.settingsForm()->cmbOutDevice()->currentIndex(), 0);
    EXPECT_EQ(words(), (std::vector<DWORD>{0x00C0}));
}

TEST_F(Lifecycle, StoredEntriesBeyondTheListsOpenNothing) {
    storeSetting("midiport", QStringLiteral("9"));
    storeSetting("midisource", QStringLiteral("-1"));
    PLAYCTRL &ctrl = makeControl();
    EXPECT_EQ(mod().hmidiout, 0);
    EXPECT_EQ(ctrl.settingsForm()->cmbOutDevice()->currentIndex(), -1);
    EXPECT_EQ(ctrl.settingsForm()->lstMusicalInstruments()->currentIndex(), -1);
    EXPECT_TRUE(words().empty());
    EXPECT_TRUE(m_boxes.calls().empty());
    destroyControl(ctrl);
    EXPECT_EQ(storedSetting("midiport"), QStringLiteral("-1"));
    EXPECT_EQ(storedSetting("midisource"), QStringLiteral("-1"));
}

TEST_F(Lifecycle, NoOutputDeviceShowsTheMapperFailureOnce) {
    useDevices({});
    PLAYCTRL &ctrl = makeControl();
    QComboBox *devices = ctrl.settingsForm()->cmbOutDevice();
    ASSERT_EQ(devices->count(), 1);
    EXPECT_EQ(devices->itemText(0), QStringLiteral("MIDI出力ﾃﾞﾊﾞｲｽが存在しません"));
    EXPECT_FALSE(devices->isEnabled());
    ASSERT_EQ(m_boxes.calls().size(), 1u);
    EXPECT_FALSE(m_boxes.calls()[0].prompt.isEmpty());
    EXPECT_EQ(m_boxes.calls()[0].style, vbOKOnly);
    // The box shows the layer's own text for the failure.
    HMIDIOUT handle = 0;
    const MMRESULT failure = midiOutOpen(&handle, MIDI_MAPPER, 0, 0, CALLBACK_NULL);
    ASSERT_NE(failure, MMSYSERR_NOERROR);
    char text[256] = {};
    midiOutGetErrorTextA(failure, text, sizeof text);
    EXPECT_EQ(m_boxes.calls()[0].prompt.toStdString(), text);
}

TEST_F(Lifecycle, TwoInstancesShareTheMelodyAndTheDevice) {
    useDevices({"Alpha", "Beta"});
    PLAYCTRL &a = makeControl();
    PLAYCTRL &b = makeControl();
    // b's selection closed the shared handle and opened its own: a sends there too.
    b.settingsForm()->cmbOutDevice()->setCurrentIndex(2);
    clearSent();
    Integer pitch = 7;
    a.MidiOn(pitch);
    ASSERT_EQ(m_recorder->messages().size(), 1u);
    EXPECT_EQ(m_recorder->messages()[0].device, "Beta");

    // A melody put in the store through one plays in the other.
    setMelody(0, {{{2, 5}}});
    clearSent();
    Boolean on = True;
    b.setPlay(on);
    runTo(now() + 20);
    EXPECT_EQ(words(), (std::vector<DWORD>{noteOn(5)}));
    EXPECT_EQ(a.Play(), False);
}

TEST_F(Lifecycle, SettingsFormHidesOnItsCloseBoxAndKeepsItsLists) {
    PLAYCTRL &ctrl = makeControl();
    FRM_TBOSET *form = ctrl.settingsForm();
    int shown = 0;
    FRM_TBOSET::setModalHook([&](FRM_TBOSET &f) {
        ++shown;
        EXPECT_EQ(&f, form);
        EXPECT_TRUE(f.isVisible());
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Tamberlo Player Setting"));
        if (shown == 1) {
            f.lstMusicalInstruments()->setCurrentIndex(127);
            f.close(); // the close box
        } else {
            EXPECT_EQ(f.lstMusicalInstruments()->currentIndex(), 127);
            EXPECT_EQ(f.cmbOutDevice()->currentIndex(), 0);
            EXPECT_EQ(f.lstMusicalInstruments()->count(), 128);
            f.Command1()->click(); // "閉じる"
        }
    });
    clearSent();
    ctrl.Command1(5)->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(ctrl.settingsForm(), form);
    ctrl.Command1(5)->click();
    FRM_TBOSET::setModalHook({});
    EXPECT_EQ(shown, 2);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->Command1()->text(), QStringLiteral("閉じる"));
    // Choosing "128: Gunshot" sent its program change.
    EXPECT_EQ(words(), (std::vector<DWORD>{0x7FC0}));
}

TEST_F(Lifecycle, BusyPointerOnlyWhileLoading) {
    PLAYCTRL &ctrl = makeControl();
    ctrl.setMousePointer(11);
    EXPECT_EQ(ctrl.cursor().shape(), Qt::WaitCursor);
    ctrl.setMousePointer(0);
    EXPECT_EQ(ctrl.cursor().shape(), Qt::ArrowCursor);
    // A load ends with the default pointer, even for a file that cannot be read.
    ctrl.loadMelody(m_config.filePath(QStringLiteral("missing.tbn")));
    EXPECT_EQ(ctrl.MousePointer(), 0);
    EXPECT_EQ(ctrl.cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(ctrl.Command1(1)->isEnabled());
    EXPECT_EQ(ctrl.FileName(), m_config.filePath(QStringLiteral("missing.tbn")));
    EXPECT_EQ(ctrl.Label2(1)->text(), QStringLiteral("0"));
}

} // namespace
} // namespace tambolin::testing
