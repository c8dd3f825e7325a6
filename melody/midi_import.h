#pragma once
// A melody made from a Standard MIDI File: up to three voices of the song,
// on the melody's note lengths at one tempo code, pitches in its range, and
// a report of everything that had to change.

#include "melody/import_report.h"
#include "melody/midi_quantise.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace tambolin {

struct MOD_TAMBOLIN;

struct MidiImportOptions {
    // The sources of the parts, in order: tracks of a type 1 file, channels
    // of a type 0 file; a source named again gives its next voice. Empty:
    // the three busiest sources, in file order, their first voices first.
    std::vector<int> parts;
    std::optional<Integer> tempo; // 0..3; none: the one nearest the song's beat
    std::optional<QString> title; // none: the song's first track name, else fallbackTitle
    QString fallbackTitle;
};

struct ImportedMelody {
    QString title;
    Integer tempo = 1;
    std::array<std::vector<MelodyNote>, 3> parts;
};

// Null, with error set, for bytes that are no Standard MIDI File, a song
// without notes, or parts that name no source with notes.
std::optional<ImportedMelody> importMidi(const QByteArray &bytes, const MidiImportOptions &options,
                                         ImportReport &report, QString &error);

// The melody in the store, as the reader would leave it.
void putInStore(const ImportedMelody &melody, MOD_TAMBOLIN &store);

// A track name as text: UTF-8 when it is that and the title coding holds
// every character, else code page 932 when it is that, else Latin-1.
QString songText(const QByteArray &bytes);

} // namespace tambolin
