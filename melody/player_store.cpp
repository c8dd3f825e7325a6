#include "melody/player_store.h"

#include "melody/melody_reader.h"
#include "melody/mod_tambolin.h"
#include "melody/note_duration.h"

#include <algorithm>

namespace tambolin {

namespace {
constexpr int kPartCount = 3;
constexpr int kMostNotes = 200;
} // namespace

Integer loadIntoStore(const QString &path) {
    MOD_TAMBOLIN &m = mod();
    for (Integer part = 1; part <= kPartCount; ++part)
        step([&] { m.onpcnt(part) = 0; });
    QString fname = path;
    step([&] { FileLoad(fname); });

    Integer longest = 0;
    step([&] { m.maxprt = 1; });
    for (Integer part = 1; part <= kPartCount; ++part)
        step([&] {
            if (m.onpcnt(part) > longest) {
                longest = m.onpcnt(part);
                m.maxprt = part;
            }
        });
    return longest;
}

Long nextNoteDue(Long soFar, Integer tempo, Integer code) {
    return clng(static_cast<double>(soFar) + playedDuration(tempo, code));
}

long long melodyLengthMs(const MOD_TAMBOLIN &store) {
    long long longest = 0;
    for (int part = 1; part <= kPartCount; ++part) {
        Long total = 0;
        const int count = std::min<int>(store.onpcnt(part), kMostNotes);
        for (int n = 1; n <= count; ++n)
            total = nextNoteDue(total, store.tempo, store.onpary(n, part));
        longest = std::max<long long>(longest, total);
    }
    return longest;
}

} // namespace tambolin
