// The texts of the MIDI settings lists: device entries from the devices
// present, the no-device entry, and the 128 instrument entries.

#include "control/midi_lists.h"
#include "platform/midi/midi_setup.h"

#include <QRegularExpression>
#include <QSet>
#include <cstring>
#include <gtest/gtest.h>

// Readable failures.
inline void PrintTo(const QString &s, std::ostream *os) {
    *os << '"' << s.toStdString() << '"';
}

namespace tambolin {
namespace {

class MidiDeviceListTest : public ::testing::Test {
protected:
    void SetUp() override { m_recorder = useMidiRecorder({}); }
    void TearDown() override { useDefaultMidiBackends(); }
    std::shared_ptr<MidiRecorder> m_recorder;
};

TEST_F(MidiDeviceListTest, NoDeviceGivesOneDisabledEntrySayingSo) {
    const MidiDeviceList list = midiDeviceList();
    // Spelled here by code point: full-width kanji and kana, half-width
    // katakana with separate voicing marks.
    const QString expected = QString::fromUtf16(
        u"MIDI\u51FA\u529B\uFF83\uFF9E\uFF8A\uFF9E\uFF72\uFF7D\u304C\u5B58\u5728\u3057\u307E"
        u"\u305B\u3093");
    EXPECT_EQ(list.entries, QStringList{expected});
    EXPECT_EQ(noMidiDeviceText(), expected);
    EXPECT_FALSE(list.enabled);
}

TEST_F(MidiDeviceListTest, MapperComesFirstThenEachDeviceInIdOrder) {
    m_recorder->setDeviceNames({"Only Device"});
    MidiDeviceList list = midiDeviceList();
    EXPECT_TRUE(list.enabled);
    EXPECT_EQ(list.entries, (QStringList{"0: MIDI Mapper", "1: Only Device"}));

    m_recorder->setDeviceNames({"First", "Second", "Third"});
    list = midiDeviceList();
    EXPECT_EQ(list.entries, (QStringList{"0: MIDI Mapper", "1: First", "2: Second", "3: Third"}));
}

TEST_F(MidiDeviceListTest, NamesAreTheRecordsThirtyTwoBytesCutAtTheFirstNul) {
    m_recorder->setDeviceNames({"A port whose name runs past the record's end",
                                "\u30DD\u30FC\u30C8\u30DD\u30FC\u30C8\u30DD\u30FC\u30C8\u30DD"
                                "\u30FC\u30C8"});
    const MidiDeviceList list = midiDeviceList();
    ASSERT_EQ(list.entries.size(), 3);
    EXPECT_EQ(list.entries[1], "1: A port whose name runs past the");
    // Twelve three-byte characters: ten fit, none is split.
    EXPECT_EQ(list.entries[2], QString::fromUtf16(u"2: \u30DD\u30FC\u30C8\u30DD\u30FC\u30C8\u30DD"
                                                  u"\u30FC\u30C8\u30DD"));

    MIDIOUTCAPSA caps{};
    std::memset(caps.szPname, 'Z', sizeof caps.szPname); // no NUL at all
    EXPECT_EQ(midiDeviceName(caps), QString(32, 'Z'));
    std::memcpy(caps.szPname, "ab\0cd", 5);
    EXPECT_EQ(midiDeviceName(caps), "ab");
    EXPECT_EQ(midiDeviceEntry(12, "x"), "12: x");
}

TEST(InstrumentList, HoldsTheHundredTwentyEightProgramsInOrder) {
    const QStringList list = instrumentList();
    ASSERT_EQ(list.size(), 128);
    EXPECT_EQ(list.first(), "001: GrandPiano");
    EXPECT_EQ(list.last(), "128: Gunshot");

    const QRegularExpression shape("^(\\d{3}): ([A-Za-z0-9_]+)$");
    QSet<QString> names;
    for (int i = 0; i < list.size(); ++i) {
        const QRegularExpressionMatch m = shape.match(list[i]);
        ASSERT_TRUE(m.hasMatch()) << list[i].toStdString();
        EXPECT_EQ(m.captured(1).toInt(), i + 1);
        EXPECT_EQ(list[i], instrumentEntry(i + 1));
        names.insert(m.captured(2));
    }
    EXPECT_EQ(names.size(), 128) << "a name appears twice";
    EXPECT_EQ(instrumentEntry(0), "");
    EXPECT_EQ(instrumentEntry(129), "");
}

TEST(InstrumentList, KeepsThePlayersOwnSpellings) {
    const QStringList list = instrumentList();
    const struct {
        int program;
        const char *entry;
    } kept[] = {
        {9, "009: CelestaStrings"}, {23, "023: Hamonica"},       {26, "026: SteelcGuitar"},
        {34, "034: FingerBase"},    {104, "104: Sci_Fi"},        {112, "112: Shanai"},
        {113, "113: TibkleBell"},   {98, "098: SoundTrack"},     {56, "056: OrchestraHit"},
        {17, "017: DrawbarOrgan"},  {65, "065: SopranoSax"},     {81, "081: SquareLead"},
        {41, "041: Violin"},        {125, "125: TelephoneRing"},
    };
    for (const auto &k : kept)
        EXPECT_EQ(list[k.program - 1], k.entry);
}

} // namespace
} // namespace tambolin
