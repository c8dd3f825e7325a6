// The control's own device list and stored choices: which device each entry
// of the list opens, and stored values that are not numbers.

#include "control_fixture.h"

#include "control/frm_tboset.h"
#include "control/module_utility.h"
#include "platform/registry/registry.h"
#include "util/cl_gl010c.h"

#include <QComboBox>

namespace tambolin::testing {
namespace {

class MidiDevices : public ControlTest {
protected:
    // Starts a control with the stored device entry; returns the list it
    // shows and the device its program change went to ("" for none).
    std::pair<QStringList, std::string> startWithEntry(int entry) {
        storeSetting("midiport", QString::number(entry));
        clearSent();
        resetModule();
        PLAYCTRL &ctrl = makeControl();
        QStringList list;
        const QComboBox *devices = ctrl.settingsForm()->cmbOutDevice();
        for (int i = 0; i < devices->count(); ++i)
            list << devices->itemText(i);
        EXPECT_EQ(devices->currentIndex(), entry);
        const auto messages = m_recorder->messages();
        std::string device;
        if (messages.size() == 1 && messages[0].word == 0x00C0)
            device = messages[0].device;
        else
            ADD_FAILURE() << "expected one program change, got " << messages.size();
        destroyControl(ctrl);
        return {list, device};
    }
};

TEST_F(MidiDevices, WithOneDeviceEntryOneOpensDeviceZero) {
    useDevices({"Solo"});
    const auto [list, device] = startWithEntry(1);
    ASSERT_EQ(list.size(), 2);
    EXPECT_TRUE(list[0].startsWith(QStringLiteral("0: "))); // the mapper
    EXPECT_EQ(list[1], QStringLiteral("1: Solo"));
    EXPECT_EQ(device, "Solo");
}

TEST_F(MidiDevices, WithThreeDevicesEachEntryOpensItsDevice) {
    useDevices({"Alpha", "Beta", "Gamma"});
    // Entry 0 is the mapper, which plays on the first device.
    const std::vector<std::string> expected{"Alpha", "Alpha", "Beta", "Gamma"};
    for (int entry = 0; entry < 4; ++entry) {
        SCOPED_TRACE(entry);
        const auto [list, device] = startWithEntry(entry);
        ASSERT_EQ(list.size(), 4);
        EXPECT_EQ(list.mid(1), (QStringList{QStringLiteral("1: Alpha"), QStringLiteral("2: Beta"),
                                            QStringLiteral("3: Gamma")}));
        EXPECT_EQ(device, expected[static_cast<std::size_t>(entry)]);
    }
}

TEST_F(MidiDevices, StoredTextsThatAreNoNumbersKeepTheCurrentChoices) {
    useDevices({"Alpha", "Beta"});
    storeSetting("midiport", QStringLiteral("abc"));
    storeSetting("midisource", QStringLiteral("4O"));
    // Choices already made in this process, not 0: kept, not reset.
    mod().midiport = 2;
    mod().midisource = 40;
    PLAYCTRL &ctrl = makeControl();
    EXPECT_EQ(mod().midiport, 2);
    EXPECT_EQ(mod().midisource, 40);
    const auto messages = m_recorder->messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].device, "Beta");
    EXPECT_EQ(messages[0].word, 40u * 256 + 0xC0);

    // Loading again keeps them; a number is taken.
    mod().midiport = 1;
    ctrl.IniLoad();
    EXPECT_EQ(mod().midiport, 1);
    EXPECT_EQ(mod().midisource, 40);
    storeSetting("midisource", QStringLiteral("7"));
    ctrl.IniLoad();
    EXPECT_EQ(mod().midisource, 7);
}

} // namespace
} // namespace tambolin::testing
