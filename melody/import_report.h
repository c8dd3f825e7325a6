#pragma once
// What a MIDI import changed, for the person who asked for it.

#include "platform/runtime/basic_runtime.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace tambolin {

struct ImportedPartSource {
    int number = 0; // track, or channel when channel is set
    bool channel = false;
    QString name;        // the track's name, if any
    int voice = 1;       // 1: the highest notes of the source's chords
    long long notes = 0; // the song's notes in that voice
};

struct ImportReport {
    Integer tempo = 1;
    bool tempoGiven = false;
    double songQuarterMs = 0;   // the song's quarter note where it starts
    double melodyQuarterMs = 0; // the melody's, as the player plays it
    std::vector<ImportedPartSource> parts;
    std::vector<ImportedPartSource> leftOut; // sources with notes that give no part
    long long drumNotes = 0;                 // on channel 10, left out
    long long moved = 0;
    double largestMoveMs = 0;
    long long folded = 0;
    long long droppedInChords = 0; // chord notes beyond the voices taken
    long long droppedPast200 = 0;
    long long droppedSilent = 0; // notes that end where they start
    QString title;
    bool titleChanged = false; // cut, or characters the title coding cannot hold left out

    bool lossy() const {
        return moved > 0 || folded > 0 || droppedInChords > 0 || droppedPast200 > 0 ||
               droppedSilent > 0 || titleChanged;
    }
};

// Notes move by more than this (in the melody's time) before they count.
inline constexpr double kImportToleranceMs = 5;

// The report as lines for standard error, without newlines.
QStringList importReportLines(const ImportReport &report);

} // namespace tambolin
