#pragma once
// Reading what an outside file, pipe or reply holds, up to a limit.

#include <QByteArray>
#include <QIODevice>

namespace tambolin {

// Reads device until it ends or more than limit bytes have come (so the
// caller can tell "too large" from "exactly the limit"). The buffer grows
// with the data: QIODevice::read(limit + 1) would reserve the whole limit
// for every small file.
QByteArray readAtMost(QIODevice &device, qint64 limit);

} // namespace tambolin
