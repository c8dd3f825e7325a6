#include "binetx/transfer.h"

#include "binetx/fresh_file.h"

#include <atomic>
#include <curl/curl.h>
#include <memory>
#include <mutex>

namespace tambolin {

namespace {

struct CurlEasyDeleter {
    void operator()(CURL *h) const { curl_easy_cleanup(h); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;

// curl_global_init is not safe to race; the library stays initialised for
// the life of the process.
bool globalInit() {
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return ok;
}

struct Sink {
    FreshFile *file = nullptr;
    std::int32_t *cancel = nullptr;
    std::int64_t received = 0;
    bool tooLarge = false;
    bool writeFailed = false;
    bool cancelled = false;
};

bool cancelRequested(std::int32_t *cancel) {
    return cancel && std::atomic_ref<std::int32_t>(*cancel).load() != 0;
}

std::size_t onData(char *data, std::size_t size, std::size_t count, void *user) {
    auto *sink = static_cast<Sink *>(user);
    const std::size_t bytes = size * count;
    // Servers that send no length (or a false one) are stopped here, before
    // the cap is passed on disk.
    if (sink->received + static_cast<std::int64_t>(bytes) > binetxMaxBytes) {
        sink->tooLarge = true;
        return 0;
    }
    if (!sink->file->write(data, bytes)) {
        sink->writeFailed = true;
        return 0;
    }
    sink->received += static_cast<std::int64_t>(bytes);
    return bytes;
}

// Called often while the transfer runs, also while it waits for a server.
int onProgress(void *user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto *sink = static_cast<Sink *>(user);
    if (!cancelRequested(sink->cancel))
        return 0;
    sink->cancelled = true;
    return 1;
}

} // namespace

BinetxStatus fetchInto(const std::string &url, FreshFile &file, const TransferSettings &settings) {
    if (cancelRequested(settings.cancel))
        return BINETX_CANCELLED;
    const TransferTimeouts &timeouts = settings.timeouts;
    if (!globalInit())
        return BINETX_TRANSFER_FAILED;
    CurlEasy curl(curl_easy_init());
    if (!curl)
        return BINETX_TRANSFER_FAILED;
    CURL *h = curl.get();
    Sink sink;
    sink.file = &file;
    sink.cancel = settings.cancel;

    bool ok = true;
    auto set = [&](CURLoption option, auto value) {
        ok = ok && curl_easy_setopt(h, option, value) == CURLE_OK;
    };
    set(CURLOPT_URL, url.c_str());
    // Redirects are limited by both lists: a web server may move a melody,
    // also to its secure site, but never to a local file or another protocol.
    set(CURLOPT_PROTOCOLS_STR, "http,https,ftp");
    set(CURLOPT_FOLLOWLOCATION, 1L);
    set(CURLOPT_MAXREDIRS, 5L);
    set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp");
    if (!settings.trustedCertificates.empty())
        set(CURLOPT_CAINFO, settings.trustedCertificates.c_str());
    set(CURLOPT_FAILONERROR, 1L);
    // We run inside a GUI process: no signals for name-lookup time-outs.
    set(CURLOPT_NOSIGNAL, 1L);
    set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts.connect.count()));
    // A server that trickles holds the player as long as one that stalls.
    set(CURLOPT_LOW_SPEED_LIMIT, timeouts.lowSpeedBytes);
    set(CURLOPT_LOW_SPEED_TIME, static_cast<long>(timeouts.lowSpeedTime.count()));
    set(CURLOPT_TIMEOUT, static_cast<long>(timeouts.total.count()));
    set(CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(binetxMaxBytes));
    set(CURLOPT_USERAGENT, "binetx/1.0");
    set(CURLOPT_WRITEFUNCTION, &onData);
    set(CURLOPT_WRITEDATA, static_cast<void *>(&sink));
    set(CURLOPT_NOPROGRESS, 0L);
    set(CURLOPT_XFERINFOFUNCTION, &onProgress);
    set(CURLOPT_XFERINFODATA, static_cast<void *>(&sink));
    if (!ok)
        return BINETX_TRANSFER_FAILED;

    const CURLcode rc = curl_easy_perform(h);
    if (sink.cancelled)
        return BINETX_CANCELLED;
    if (sink.tooLarge || rc == CURLE_FILESIZE_EXCEEDED)
        return BINETX_TOO_LARGE;
    if (sink.writeFailed)
        return BINETX_FILE_ERROR;
    return rc == CURLE_OK ? BINETX_OK : BINETX_TRANSFER_FAILED;
}

} // namespace tambolin
