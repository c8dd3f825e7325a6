// tambolin trace FILE: every short message the player sends for a melody,
// with its virtual time.

#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/console.h"
#include "cli/melody_input.h"
#include "cli/options.h"
#include "cli/virtual_run.h"

#include <QTimeZone>

namespace tambolin::cli {

namespace {

// "YYYY-MM-DD HH:MM:SS.mmm", the milliseconds optional. A wall-clock
// reading: no time zone, so no daylight-saving gap moves it.
std::optional<QDateTime> parseStart(const QString &text) {
    const QStringList halves = text.split(u' ');
    if (halves.size() != 2)
        return std::nullopt;
    const QDate date = QDate::fromString(halves[0], QStringLiteral("yyyy-MM-dd"));
    QTime time = QTime::fromString(halves[1], QStringLiteral("HH:mm:ss.zzz"));
    if (!time.isValid())
        time = QTime::fromString(halves[1], QStringLiteral("HH:mm:ss"));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, QTimeZone::utc());
}

QString hexWord(DWORD word) {
    return QStringLiteral("%1").arg(word, 8, 16, QLatin1Char('0')).toUpper();
}

int runTrace(const QStringList &args) {
    Options options;
    QString problem;
    long long ms = 0;
    long long stopAt = 0;
    if (!options.parse(args, {{"--start"}, {"--ms"}, {"--stop-at"}}, problem) ||
        !integerOption(options, "--ms", 0, 0x7FFFFFFF, 20000, ms, problem) ||
        !integerOption(options, "--stop-at", 0, 0x7FFFFFFF, -1, stopAt, problem))
        return refuseArguments("trace", options, problem);
    VirtualRun run;
    if (const std::optional<QString> text = options.value("--start")) {
        const std::optional<QDateTime> start = parseStart(*text);
        if (!start) {
            complain(
                "trace",
                QStringLiteral("--start takes \"YYYY-MM-DD HH:MM:SS.mmm\", not '%1'").arg(*text));
            return 2;
        }
        run.start = *start;
    }
    run.lastTick = ms;
    if (options.value("--stop-at"))
        run.stopAt = stopAt;

    MelodyInput input;
    VirtualRunResult result;
    if (!input.open(options.file(), problem) || !runVirtual(input.path(), run, result, problem)) {
        complain("trace", input.named(problem));
        return 2;
    }
    QString text;
    text.reserve(static_cast<qsizetype>(result.messages.size()) * 16);
    for (const TimedWord &m : result.messages)
        text += QString::number(m.ms) + u' ' + hexWord(m.word) + u'\n';
    printOut(text);
    return 0;
}

const RegisterCommand registration({
    "trace",
    "print the MIDI messages the player sends for a melody, with their times",
    "Usage: tambolin trace FILE [--start \"YYYY-MM-DD HH:MM:SS.mmm\"] [--ms N] [--stop-at MS]\n"
    "Starts the player on a virtual clock, with a recording MIDI device and nothing\n"
    "stored, loads FILE, plays it at virtual time 0 and prints every short message,\n"
    "one a line: the milliseconds since play, a space, and the message word as\n"
    "8 upper-case hexadecimal digits (status in the low byte):\n"
    "  0 000000C0\n"
    "  10 00793090\n"
    "The start-up's messages (the program change) come first, at 0.\n"
    "  --start   the wall-clock time of the play action (default 2026-01-01 12:00:00.000)\n"
    "  --ms      run every 10 ms tick at or before N (default 20000); the player's\n"
    "            own end prints nothing\n"
    "  --stop-at press stop at MS, after every tick at or before MS; never when MS > N\n"
    "FILE '-' reads standard input.\n"
    "A FILE that is missing, unreadable or shorter than 14 bytes: exit status 2.\n",
    runTrace,
    alwaysWidgets,
    true,
});

} // namespace

} // namespace tambolin::cli
