// Feeds arbitrary bytes to what `tambolin build` reads: the JSON form of a
// melody, its duplicate-key and writability checks, and back to JSON.

#include "cli/build_checks.h"
#include "cli/melody_io.h"
#include "melody/mod_tambolin.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

using namespace tambolin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray json(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    MOD_TAMBOLIN &store = mod();
    store.initialiseStore();
    QString problem;
    if (!cli::fillFromJson(json, store, problem))
        return 0;
    cli::checkUniqueKeys(json, problem);
    cli::checkWritable(store, problem);
    // What was read prints as JSON that reads back to the same store.
    const QString printed = cli::melodyJson(store);
    MOD_TAMBOLIN again;
    again.initialiseStore();
    if (!cli::fillFromJson(printed.toUtf8(), again, problem) ||
        !cli::checkUniqueKeys(printed.toUtf8(), problem) || cli::melodyJson(again) != printed)
        __builtin_trap();
    return 0;
}
