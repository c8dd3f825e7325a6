#include "binetx/binetx.h"

#include "binetx/command_text.h"
#include "binetx/fresh_file.h"
#include "binetx/transfer.h"

#include <atomic>
#include <mutex>

namespace tambolin {

namespace {

std::atomic<long long> g_connectMs{TransferTimeouts{}.connect.count()};
std::atomic<long> g_lowSpeedBytes{TransferTimeouts{}.lowSpeedBytes};
std::atomic<long long> g_lowSpeedSeconds{TransferTimeouts{}.lowSpeedTime.count()};
std::atomic<long long> g_totalSeconds{TransferTimeouts{}.total.count()};

std::mutex g_certificatesMutex;
std::string g_certificates;

std::string trustedCertificates() {
    std::lock_guard lock(g_certificatesMutex);
    return g_certificates;
}

BinetxStatus download(const char *command, std::int32_t *cancel) {
    const auto cmd = parseDownloadCommand(command ? command : "");
    if (!cmd)
        return BINETX_BAD_COMMAND;
    FreshFile file(cmd->folder);
    if (!file.folderOpen())
        return BINETX_BAD_FOLDER;
    if (!file.create(cmd->fileName))
        return BINETX_FILE_ERROR;
    TransferSettings settings;
    settings.timeouts = transferTimeouts();
    settings.trustedCertificates = trustedCertificates();
    settings.cancel = cancel;
    const BinetxStatus status = fetchInto(cmd->url, file, settings);
    if (status != BINETX_OK)
        return status; // the fresh file goes with `file`
    return file.commit() ? BINETX_OK : BINETX_FILE_ERROR;
}

} // namespace

void setTransferTimeouts(const TransferTimeouts &timeouts) {
    g_connectMs = timeouts.connect.count();
    g_lowSpeedBytes = timeouts.lowSpeedBytes;
    g_lowSpeedSeconds = timeouts.lowSpeedTime.count();
    g_totalSeconds = timeouts.total.count();
}

TransferTimeouts transferTimeouts() {
    TransferTimeouts t;
    t.connect = std::chrono::milliseconds(g_connectMs.load());
    t.lowSpeedBytes = g_lowSpeedBytes.load();
    t.lowSpeedTime = std::chrono::seconds(g_lowSpeedSeconds.load());
    t.total = std::chrono::seconds(g_totalSeconds.load());
    return t;
}

void setTrustedCertificates(const std::string &pemFile) {
    std::lock_guard lock(g_certificatesMutex);
    g_certificates = pemFile;
}

} // namespace tambolin

extern "C" std::int32_t W3getvCancellable(char *command, std::int32_t *status,
                                          std::int32_t *cancel) {
    BinetxStatus result = BINETX_FILE_ERROR;
    // Nothing may unwind into the caller, which is not C++-aware.
    try {
        result = tambolin::download(command, cancel);
    } catch (...) {
    }
    if (status)
        *status = result;
    return result == BINETX_OK ? 1 : 0;
}

extern "C" std::int32_t W3getv(char *command, std::int32_t *status) {
    return W3getvCancellable(command, status, nullptr);
}
