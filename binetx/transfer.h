#pragma once
// One HTTP, HTTPS or FTP transfer into a FreshFile, with the size cap, the
// time-outs and the speed floor applied.

#include "binetx/binetx.h"

#include <cstdint>
#include <string>

namespace tambolin {

class FreshFile;

struct TransferSettings {
    TransferTimeouts timeouts;
    std::string trustedCertificates; // empty: the system's store
    // Checked while the transfer runs; non-zero stops it. May be null.
    std::int32_t *cancel = nullptr;
};

// Fetches url into file; BINETX_OK when every byte arrived and was written.
BinetxStatus fetchInto(const std::string &url, FreshFile &file, const TransferSettings &settings);

} // namespace tambolin
