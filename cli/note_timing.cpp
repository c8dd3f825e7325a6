#include "cli/note_timing.h"

#include <algorithm>

namespace tambolin::cli {

bool timingOption(const Options &options, NoteTiming &out, QString &problem) {
    const std::optional<QString> value = options.value(QStringLiteral("--timing"));
    out = NoteTiming::Due;
    if (!value || *value == QLatin1String("due"))
        return true;
    if (*value == QLatin1String("tick")) {
        out = NoteTiming::Tick;
        return true;
    }
    problem = QStringLiteral("--timing takes due or tick");
    return false;
}

std::vector<TimedWord> placed(const std::vector<TimedWord> &messages, NoteTiming timing) {
    std::vector<TimedWord> out = messages;
    if (timing == NoteTiming::Tick)
        return out;
    std::int64_t previous = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i].dueMs)
            out[i].ms = std::min(out[i].ms, *out[i].dueMs);
        out[i].ms = std::max(out[i].ms, previous);
        previous = out[i].ms;
    }
    return out;
}

} // namespace tambolin::cli
