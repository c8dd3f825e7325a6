#include "melody/smf_reader.h"

#include "melody/smf_chunks.h"

#include <algorithm>

namespace tambolin {

std::optional<SmfSequence> parseSmf(const QByteArray &input, QString &error) {
    const std::optional<SmfChunks> file = readSmfChunks(input, error);
    if (!file)
        return std::nullopt;
    SmfSequence seq;
    seq.format = file->format;
    seq.trackCount = static_cast<int>(file->tracks.size());
    seq.division = file->division;

    // Every track's items, in track order; a stable sort by tick then
    // keeps file order among events at the same tick.
    std::vector<SmfItem> items;
    for (const SmfTrackChunk &track : file->tracks)
        items.insert(items.end(), track.items.begin(), track.items.end());
    std::stable_sort(items.begin(), items.end(),
                     [](const SmfItem &a, const SmfItem &b) { return a.tick < b.tick; });

    const SmfClock clock(*file);
    for (const SmfItem &item : items) {
        const std::int64_t us = clock.toUs(item.tick);
        if (item.kind == SmfItemKind::Message)
            seq.events.push_back({us, item.value});
        else if (item.kind == SmfItemKind::End)
            seq.lengthUs = std::max(seq.lengthUs, us);
    }
    return seq;
}

} // namespace tambolin
