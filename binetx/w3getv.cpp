#include "binetx/binetx.h"

#include "binetx/command_text.h"
#include "binetx/fresh_file.h"
#include "binetx/transfer.h"

#include <atomic>

namespace tambolin {

namespace {

std::atomic<long long> g_connectMs{TransferTimeouts{}.connect.count()};
std::atomic<long long> g_stallSeconds{TransferTimeouts{}.stall.count()};
std::atomic<long long> g_totalSeconds{TransferTimeouts{}.total.count()};

BinetxStatus download(const char *command) {
    const auto cmd = parseDownloadCommand(command ? command : "");
    if (!cmd)
        return BINETX_BAD_COMMAND;
    FreshFile file(cmd->folder);
    if (!file.folderOpen())
        return BINETX_BAD_FOLDER;
    if (!file.create(cmd->fileName))
        return BINETX_FILE_ERROR;
    const BinetxStatus status = fetchInto(cmd->url, file, transferTimeouts());
    if (status != BINETX_OK)
        return status; // the fresh file goes with `file`
    return file.commit() ? BINETX_OK : BINETX_FILE_ERROR;
}

} // namespace

void setTransferTimeouts(const TransferTimeouts &timeouts) {
    g_connectMs = timeouts.connect.count();
    g_stallSeconds = timeouts.stall.count();
    g_totalSeconds = timeouts.total.count();
}

TransferTimeouts transferTimeouts() {
    TransferTimeouts t;
    t.connect = std::chrono::milliseconds(g_connectMs.load());
    t.stall = std::chrono::seconds(g_stallSeconds.load());
    t.total = std::chrono::seconds(g_totalSeconds.load());
    return t;
}

} // namespace tambolin

extern "C" std::int32_t W3getv(char *command, std::int32_t *status) {
    BinetxStatus result = BINETX_FILE_ERROR;
    // Nothing may unwind into the caller, which is not C++-aware.
    try {
        result = tambolin::download(command);
    } catch (...) {
    }
    if (status)
        *status = result;
    return result == BINETX_OK ? 1 : 0;
}
