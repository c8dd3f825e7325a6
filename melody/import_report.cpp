#include "melody/import_report.h"

#include <cmath>

namespace tambolin {

namespace {

QString number(long long n) {
    return QString::number(n);
}

QString ms(double value) {
    return QString::number(std::llround(value));
}

QString notes(long long n) {
    return number(n) + (n == 1 ? QStringLiteral(" note") : QStringLiteral(" notes"));
}

QString sourceText(const ImportedPartSource &s) {
    QString text =
        (s.channel ? QStringLiteral("channel ") : QStringLiteral("track ")) + number(s.number);
    if (!s.name.isEmpty())
        text += QStringLiteral(" \"") + s.name + u'"';
    if (s.voice > 1)
        text += QStringLiteral(" voice ") + number(s.voice);
    return text + QStringLiteral(", ") + notes(s.notes);
}

} // namespace

QStringList importReportLines(const ImportReport &report) {
    QStringList lines;
    lines << QStringLiteral("tempo code ") + number(report.tempo) +
                 (report.tempoGiven ? QStringLiteral(" (given)") : QString()) +
                 QStringLiteral(": a quarter note lasts ") + ms(report.melodyQuarterMs) +
                 QStringLiteral(" ms; the song's lasts ") + ms(report.songQuarterMs) +
                 QStringLiteral(" ms");
    for (std::size_t p = 0; p < report.parts.size(); ++p)
        lines << QStringLiteral("part ") + number(static_cast<long long>(p + 1)) +
                     QStringLiteral(": ") + sourceText(report.parts[p]);
    for (const ImportedPartSource &s : report.leftOut)
        lines << QStringLiteral("not taken: ") + sourceText(s);
    if (report.drumNotes > 0)
        lines << QStringLiteral("not taken: ") + notes(report.drumNotes) +
                     QStringLiteral(" on channel 10 (drums)");
    if (report.moved > 0)
        lines << notes(report.moved) + QStringLiteral(" moved by more than ") +
                     ms(kImportToleranceMs) + QStringLiteral(" ms (at most ") +
                     ms(report.largestMoveMs) + QStringLiteral(" ms)");
    if (report.folded > 0)
        lines << notes(report.folded) +
                     QStringLiteral(" moved by whole octaves into the melody's range (MIDI keys "
                                    "48 to 83)");
    if (report.droppedInChords > 0)
        lines << notes(report.droppedInChords) +
                     QStringLiteral(" of chords dropped: a part plays one note at a time");
    if (report.droppedPast200 > 0)
        lines << notes(report.droppedPast200) +
                     QStringLiteral(" dropped past the 200 a part holds");
    if (report.droppedSilent > 0)
        lines << notes(report.droppedSilent) + QStringLiteral(" of no length dropped");
    lines << QStringLiteral("title \"") + report.title + u'"' +
                 (report.titleChanged ? QStringLiteral(" (cut to what a melody file holds)")
                                      : QString());
    return lines;
}

} // namespace tambolin
