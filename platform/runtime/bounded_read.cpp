#include "platform/runtime/bounded_read.h"

#include <algorithm>

namespace tambolin {

QByteArray readAtMost(QIODevice &device, qint64 limit) {
    constexpr qint64 chunk = 64 * 1024;
    QByteArray out;
    const qint64 wanted = std::max<qint64>(limit, 0) + 1;
    while (out.size() < wanted) {
        const qint64 step = std::min(chunk, wanted - out.size());
        const qsizetype before = out.size();
        out.resize(before + step);
        const qint64 got = device.read(out.data() + before, step);
        out.resize(before + std::max<qint64>(got, 0));
        if (got <= 0)
            break;
    }
    return out;
}

} // namespace tambolin
