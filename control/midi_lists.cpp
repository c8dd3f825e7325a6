#include "control/midi_lists.h"

#include "melody/mod_tambolin.h"
#include "platform/midi/midi_out.h"
#include "platform/registry/codepage932.h"
#include "platform/runtime/message_box.h"

#include <QByteArray>
#include <QCoreApplication>

#include <cstring>

namespace tambolin {

namespace {

const std::array<const char *, 128> names = {
    "GrandPiano",
    "BrightPiano",
    "ElectricGrandPiano",
    "HonkyTonkPiano",
    "ElectricPiano1",
    "ElectricPiano2",
    "Harpsichord",
    "Clavi",
    "CelestaStrings",
    "Glockenspiel",
    "MusicBox",
    "Vibraphone",
    "Marimba",
    "Xylophone",
    "TubularBells",
    "Dulcimer",
    "DrawbarOrgan",
    "PercussiveOrgan",
    "RockOrgan",
    "ChurchOrgan",
    "ReedOrgan",
    "Accordion",
    "Hamonica",
    "TangoAccordion",
    "NylonGuitar",
    "SteelcGuitar",
    "JazzGuitar",
    "CleanGuitar",
    "MutedGuitar",
    "OverdrivenGuitar",
    "DistortionGuitar",
    "GuitarHarmonics",
    "AcousticBass",
    "FingerBase",
    "PickBass",
    "FretlessBass",
    "SlapBass1",
    "SlapBass2",
    "SynthBass1",
    "SynthBass2",
    "Violin",
    "Viola",
    "Cello",
    "Contrabass",
    "TremoloStrings",
    "PizzicatoStrings",
    "OrchestralHarp",
    "Timpani",
    "Strings1",
    "Strings2",
    "SynthStrings1",
    "SynthStrings2",
    "ChoirAahs",
    "VoiceOohs",
    "SynthVoice",
    "OrchestraHit",
    "Trumpet",
    "Trombone",
    "Tuba",
    "MutedTrumpet",
    "FrenchHorn",
    "BrassSection",
    "SynthBrass1",
    "SynthBrass2",
    "SopranoSax",
    "AltoSax",
    "TenorSax",
    "BaritoneSax",
    "Oboe",
    "EnglishHorn",
    "Bassoon",
    "Clarinet",
    "Piccolo",
    "Flute",
    "Recorder",
    "PanFlute",
    "BlownBottle",
    "Shakuhachi",
    "Whistle",
    "Ocarina",
    "SquareLead",
    "SawtoothLead",
    "CalliopeLead",
    "ChiffLead",
    "CharangLead",
    "VoiceLead",
    "FifthsLead",
    "BassLead",
    "NewAgePad",
    "WarmPad",
    "PolySynthPad",
    "ChoirPad",
    "BowedPad",
    "MetallicPad",
    "HaloPad",
    "SweepPad",
    "Rain",
    "SoundTrack",
    "Crystal",
    "Atmosphere",
    "Brightness",
    "Goblins",
    "Echoes",
    "Sci_Fi",
    "Sitar",
    "Banjo",
    "Shamisen",
    "Koto",
    "Kalimba",
    "Bagpipe",
    "Fiddle",
    "Shanai",
    "TibkleBell",
    "Agogo",
    "SteelDrums",
    "Woodblock",
    "TaikoDrum",
    "MelodicTom",
    "SynthDrum",
    "ReverseCymbal",
    "FretNoise",
    "BreathNoise",
    "Seashore",
    "BirdTweet",
    "TelephoneRing",
    "Helicopter",
    "Applause",
    "Gunshot",
};

} // namespace

QString noMidiDeviceText() {
    return QStringLiteral("MIDI出力ﾃﾞﾊﾞｲｽが存在しません");
}

QString midiDeviceName(const MIDIOUTCAPSA &caps) {
    const char *end = static_cast<const char *>(std::memchr(caps.szPname, 0, MAXPNAMELEN));
    const auto length = end ? end - caps.szPname : static_cast<std::ptrdiff_t>(MAXPNAMELEN);
    // Port names come from the system as UTF-8.
    return QString::fromUtf8(caps.szPname, length);
}

QString midiDeviceEntry(int k, const QString &name) {
    return QString::number(k) + QStringLiteral(": ") + name;
}

MidiDeviceList midiDeviceList() {
    MidiDeviceList list;
    const UINT count = midiOutGetNumDevs();
    if (count == 0) {
        list.entries << noMidiDeviceText();
        list.enabled = false;
        return list;
    }
    int k = 0;
    for (long long id = -1; id < static_cast<long long>(count); ++id, ++k) {
        MIDIOUTCAPSA caps{};
        // A record that cannot be filled still takes its place, with no
        // name, so that entry k stays device k-1.
        midiOutGetDevCapsA(static_cast<UINT_PTR>(static_cast<UINT>(id)), &caps, sizeof caps);
        list.entries << midiDeviceEntry(k, midiDeviceName(caps));
    }
    return list;
}

const std::array<const char *, 128> &instrumentNames() {
    return names;
}

QString instrumentEntry(int program) {
    if (program < 1 || program > 128)
        return {};
    return QStringLiteral("%1: %2")
        .arg(program, 3, 10, QLatin1Char('0'))
        .arg(QLatin1String(names[static_cast<std::size_t>(program - 1)]));
}

QStringList instrumentList() {
    QStringList list;
    for (int program = 1; program <= 128; ++program)
        list << instrumentEntry(program);
    return list;
}

void openMidiDevice(Integer entry, DWORD_PTR window) {
    MOD_TAMBOLIN &m = mod();
    // The first choice closes handle 0, which fails harmlessly.
    step([&] { m.midiret = static_cast<Long>(midiOutClose(m.hmidiout)); });
    Long d = 0;
    step([&] { d = toLong(entry - 1LL); });
    step([&] {
        m.midiret = static_cast<Long>(
            midiOutOpen(&m.hmidiout, static_cast<UINT>(d), window, 0, CALLBACK_WINDOW));
    });
    step([&] {
        if (m.midiret == 0)
            return;
        QByteArray buffer(256, '\0');
        m.midiret = static_cast<Long>(
            midiOutGetErrorTextA(static_cast<MMRESULT>(m.midiret), buffer.data(), 256));
        const qsizetype end = buffer.indexOf('\0');
        const QString text = cp932::toUnicode(buffer.left(end < 0 ? buffer.size() : end));
        // The system's text in the user's language: the text is its own key.
        MsgBox(QCoreApplication::translate("midiOutGetErrorText", text.toUtf8().constData()),
               vbOKOnly, QString());
    });
}

void sendProgramChange(Integer entry) {
    MOD_TAMBOLIN &m = mod();
    step([&] {
        const Integer message = toInteger(toInteger(entry * 256LL) + 0xC0);
        // Sign-extended, as a 16-bit value passed for a 32-bit word is.
        midiOutShortMsg(m.hmidiout, static_cast<DWORD>(static_cast<Long>(message)));
    });
}

} // namespace tambolin
