#include "roll/roll_model.h"

#include "melody/mod_tambolin.h"
#include "melody/note_duration.h"

#include <algorithm>
#include <cmath>

namespace tambolin::roll {

namespace {

constexpr int MostNotes = 200;
constexpr int FirstSilentCode = 30;

} // namespace

RollModel rollFromStore(const MOD_TAMBOLIN &store) {
    RollModel model;
    model.title = store.mtitle;
    model.tempo = store.tempo;
    for (int part = 1; part <= PartCount; ++part) {
        RollPart &bars = model.parts[static_cast<std::size_t>(part - 1)];
        const int count = std::clamp<int>(store.onpcnt(part), 0, MostNotes);
        std::int64_t total = 0;
        for (int n = 1; n <= count; ++n) {
            const Integer code = store.onpary(n, part);
            const std::int64_t end =
                std::llrint(static_cast<double>(total) + playedDuration(store.tempo, code));
            if (code < FirstSilentCode) {
                const int pitch = store.kaiary(n, part);
                bars.notes.push_back({total, end - total, pitch});
                if (!model.sounds()) {
                    model.lowPitch = model.highPitch = pitch;
                } else {
                    model.lowPitch = std::min(model.lowPitch, pitch);
                    model.highPitch = std::max(model.highPitch, pitch);
                }
            }
            total = end;
        }
        bars.lengthMs = total;
        model.lengthMs = std::max(model.lengthMs, total);
    }
    return model;
}

} // namespace tambolin::roll
