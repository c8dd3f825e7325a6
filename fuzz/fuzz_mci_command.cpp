// Feeds arbitrary bytes to the media command splitter and to the command
// interface itself (commands on files and devices that are not there).

#include "platform/mci/mci.h"
#include "platform/mci/mci_command.h"

#include <QFile>
#include <QStringList>
#include <cstddef>
#include <cstdint>

using namespace tambolin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QStringList words;
    if (splitMciCommand(QFile::decodeName(bytes), words) == 0)
        for (const QString &w : words)
            if (w.isNull())
                __builtin_trap();
    // Only commands that cannot open a file or wait: "open" and "play ... wait"
    // would reach the disk and the clock.
    const QByteArray lower = bytes.toLower();
    if (!lower.contains("open") && !lower.contains("wait") && !bytes.contains('\0')) {
        char reply[64];
        mciSendStringA(bytes.constData(), reply, sizeof reply, 0);
        mciSendStringA("close all", reply, sizeof reply, 0);
    }
    return 0;
}
