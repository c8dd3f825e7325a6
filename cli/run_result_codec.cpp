#include "cli/run_result_codec.h"

#include <QDataStream>
#include <QIODevice>

namespace tambolin::cli {

namespace {

// Each message takes at least this many bytes: time, word, whether due.
constexpr qsizetype messageBytes = 8 + 4 + 1;
// A problem is one message to the user, never more than this.
constexpr qint64 longestProblem = 1 << 20;

} // namespace

QByteArray encodeRunOutcome(const RunOutcome &outcome) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    const VirtualRunResult &r = outcome.result;
    out << outcome.ok << outcome.problem.left(longestProblem) << qint64(r.endMs)
        << qint32(r.melodyEnds) << r.stopped << quint64(r.messages.size());
    for (const TimedWord &m : r.messages) {
        out << qint64(m.ms) << quint32(m.word) << m.dueMs.has_value();
        if (m.dueMs)
            out << qint64(*m.dueMs);
    }
    return bytes;
}

bool decodeRunOutcome(const QByteArray &bytes, RunOutcome &outcome) {
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    RunOutcome read;
    qint64 endMs = 0;
    qint32 ends = 0;
    quint64 count = 0;
    in >> read.ok >> read.problem >> endMs >> ends >> read.result.stopped >> count;
    if (in.status() != QDataStream::Ok || endMs < 0 || ends < 0 ||
        count > quint64(bytes.size() / messageBytes))
        return false;
    read.result.endMs = endMs;
    read.result.melodyEnds = ends;
    read.result.messages.reserve(count);
    for (quint64 i = 0; i < count; ++i) {
        qint64 ms = 0;
        quint32 word = 0;
        bool due = false;
        in >> ms >> word >> due;
        std::optional<std::int64_t> dueMs;
        if (due) {
            qint64 at = 0;
            in >> at;
            dueMs = at;
        }
        if (in.status() != QDataStream::Ok)
            return false;
        read.result.messages.push_back({ms, DWORD{word}, dueMs});
    }
    if (!in.atEnd())
        return false;
    outcome = std::move(read);
    return true;
}

} // namespace tambolin::cli
