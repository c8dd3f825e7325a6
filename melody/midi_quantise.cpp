#include "melody/midi_quantise.h"

#include "melody/note_duration.h"

#include <array>
#include <cmath>
#include <limits>

namespace tambolin {

namespace {

// In the order that wins a tie: plain before dotted, common before rare.
constexpr std::array<Integer, 8> kNoteCodes = {2, 3, 1, 4, 0, 12, 13, 11};
constexpr std::array<Integer, 4> kTripletCodes = {22, 23, 21, 24};
// Longest first, so that of equal fills the longer rest comes first.
constexpr std::array<Integer, 8> kRestCodes = {30, 41, 31, 42, 32, 43, 33, 34};
constexpr std::size_t kMostRestsInFill = 3;

class PartWriter final {
public:
    PartWriter(Integer tempo, double tolerance) : m_tempo(tempo), m_tolerance(tolerance) {}

    std::int64_t length(Integer code) const {
        return static_cast<std::int64_t>(nominalDuration(m_tempo, code));
    }
    std::int64_t position() const { return m_pos; }
    int room() const { return kMostNotesInPart - static_cast<int>(m_part.notes.size()); }

    // The note code that ends closest to end, starting at from.
    Integer bestNote(std::int64_t from, double end) const {
        Integer best = kNoteCodes[0];
        double bestError = std::numeric_limits<double>::infinity();
        for (Integer code : kNoteCodes) {
            const double error = std::abs(double(from + length(code)) - end);
            if (error < bestError) {
                bestError = error;
                best = code;
            }
        }
        return best;
    }

    void note(Integer code, Integer pitch, const TimedNote &song, double targetEnd,
              bool endCounts) {
        const double startMove = std::abs(song.start - double(m_pos));
        m_pos += length(code);
        const double endMove = endCounts ? std::abs(targetEnd - double(m_pos)) : 0;
        const double move = std::max(startMove, endMove);
        if (move > m_tolerance)
            ++m_part.moved;
        m_part.largestMove = std::max(m_part.largestMove, move);
        m_part.notes.push_back({code, pitch});
    }

    // Rests that fill the silence up to until as well as the fewest can.
    void rests(double until) {
        const double gap = until - double(m_pos);
        const std::int64_t whole = length(30);
        if (whole <= 0 || gap <= 0)
            return;
        const auto wholes =
            static_cast<long long>(std::max(0.0, std::floor(gap / double(whole)) - 1));
        for (long long i = 0; i < wholes && room() > 0; ++i)
            rest(30);
        std::vector<Integer> best;
        double bestError = until - double(m_pos);
        std::vector<Integer> trial;
        for (std::size_t most = 1; most <= kMostRestsInFill; ++most)
            search(until - double(m_pos), 0, most, trial, best, bestError);
        for (Integer code : best)
            if (room() > 0)
                rest(code);
    }

    QuantisedPart take() { return std::move(m_part); }
    void dropped(long long n) { m_part.dropped += n; }

private:
    void rest(Integer code) {
        m_pos += length(code);
        m_part.notes.push_back({code, 0});
    }
    // Rests in the table's order, at most `most` of them. Called with one,
    // then two, then three: only a better fill replaces one found with fewer.
    void search(double remaining, std::size_t from, std::size_t most, std::vector<Integer> &trial,
                std::vector<Integer> &best, double &bestError) const {
        if (trial.size() >= most)
            return;
        for (std::size_t i = from; i < kRestCodes.size(); ++i) {
            trial.push_back(kRestCodes[i]);
            const double left = remaining - double(length(kRestCodes[i]));
            if (std::abs(left) < bestError) {
                bestError = std::abs(left);
                best = trial;
            }
            search(left, i, most, trial, best, bestError);
            trial.pop_back();
        }
    }

    Integer m_tempo;
    double m_tolerance;
    std::int64_t m_pos = 0;
    QuantisedPart m_part;
};

} // namespace

QuantisedPart quantisePart(const std::vector<TimedNote> &notes, double partEnd, Integer tempo,
                           double tolerance) {
    PartWriter w(tempo, tolerance);
    const double halfSixteenth = double(w.length(4)) / 2;
    const std::size_t n = notes.size();
    // Where each note is meant to end: at the next start when the silence
    // before it is too short for a rest.
    std::vector<double> targetEnd(n);
    std::vector<bool> held(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double next = i + 1 < n ? notes[i + 1].start : partEnd;
        held[i] = next - notes[i].end < halfSixteenth;
        targetEnd[i] = held[i] ? std::max(next, notes[i].start) : notes[i].end;
    }

    std::size_t i = 0;
    for (; i < n && w.room() > 0; ++i) {
        if (notes[i].start - double(w.position()) >= halfSixteenth)
            w.rests(notes[i].start);
        if (w.room() <= 0)
            break;

        // A triplet group: three notes held one into the next.
        if (i + 2 < n && w.room() >= 3 && held[i] && held[i + 1]) {
            const std::int64_t from = w.position();
            Integer bestCode = 0;
            double bestError = std::numeric_limits<double>::infinity();
            for (Integer code : kTripletCodes) {
                const double L = double(w.length(code));
                const double error = std::abs(notes[i + 1].start - (from + L)) +
                                     std::abs(notes[i + 2].start - (from + 2 * L)) +
                                     std::abs(targetEnd[i + 2] - (from + 3 * L));
                if (error < bestError) {
                    bestError = error;
                    bestCode = code;
                }
            }
            double plainError = 0;
            std::int64_t p = from;
            for (std::size_t j = i; j < i + 3; ++j) {
                p += w.length(w.bestNote(p, targetEnd[j]));
                plainError += std::abs((j + 1 < i + 3 ? notes[j + 1].start : targetEnd[j]) - p);
            }
            if (bestError < plainError) {
                for (std::size_t j = i; j < i + 3; ++j)
                    w.note(bestCode, notes[j].pitch, notes[j], targetEnd[j], !held[j]);
                i += 2;
                continue;
            }
        }
        const Integer code = w.bestNote(w.position(), targetEnd[i]);
        w.note(code, notes[i].pitch, notes[i], targetEnd[i], !held[i]);
    }
    w.dropped(static_cast<long long>(n - i));
    if (i == n && partEnd - double(w.position()) >= halfSixteenth)
        w.rests(partEnd);
    return w.take();
}

} // namespace tambolin
