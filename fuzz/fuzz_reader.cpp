// Feeds arbitrary bytes to the melody reader as a file on disk.

#include "melody/melody_reader.h"
#include "melody/mod_tambolin.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

using namespace tambolin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static QTemporaryDir dir;
    static const QString path = dir.path() + QStringLiteral("/input.tbn");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }
    MOD_TAMBOLIN &store = mod();
    store.initialiseStore();
    QString name = path;
    FileLoad(name);
    for (int part = 1; part <= 3; ++part) {
        const Integer count = store.onpcnt(part);
        if (count < 0 || count > store.onpmax)
            __builtin_trap();
    }
    return 0;
}
