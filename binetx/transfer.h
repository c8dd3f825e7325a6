#pragma once
// One HTTP or FTP transfer into a FreshFile, with the size cap and the
// time-outs applied.

#include "binetx/binetx.h"

#include <string>

namespace tambolin {

class FreshFile;

// Fetches url into file; BINETX_OK when every byte arrived and was written.
BinetxStatus fetchInto(const std::string &url, FreshFile &file, const TransferTimeouts &timeouts);

} // namespace tambolin
