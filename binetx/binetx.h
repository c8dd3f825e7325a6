#pragma once
// The download library: fetches one HTTP or FTP URL into a file.
//
// The command text is "-d <folder> -o <file name> <url>", with single blanks.
// The folder may contain blanks (it is not quoted); the file name and the URL
// may not. The file is written under a fresh name in the folder and renamed
// into place only once the whole download arrived, so a failed download
// leaves no file behind and never writes through a link or a file someone
// else put at that name.

#include <chrono>
#include <cstdint>

#define BINETX_EXPORT __attribute__((visibility("default")))

// Why a download failed, stored in W3getv's second argument.
enum BinetxStatus : std::int32_t {
    BINETX_OK = 0,
    BINETX_BAD_COMMAND = 1,     // the command text does not have the form above
    BINETX_BAD_FOLDER = 2,      // the folder cannot be opened
    BINETX_TRANSFER_FAILED = 3, // refused, not found, timed out, server error
    BINETX_TOO_LARGE = 4,       // more than binetxMaxBytes
    BINETX_FILE_ERROR = 5,      // the file could not be written or renamed into place
};

// Downloads are capped: melodies are tiny, and the folder is shared.
inline constexpr std::int64_t binetxMaxBytes = 1024 * 1024;

extern "C" {
// Downloads the URL of the command text. Returns 1 when the file holds the
// downloaded bytes, 0 otherwise. status may be null; otherwise it receives a
// BinetxStatus.
BINETX_EXPORT std::int32_t W3getv(char *command, std::int32_t *status);
}

namespace tambolin {

// Time-outs of every later transfer: connecting, a transfer that moves no
// data at all, and the whole transfer.
struct TransferTimeouts {
    std::chrono::milliseconds connect{15000};
    std::chrono::seconds stall{30};
    std::chrono::seconds total{300};
};

BINETX_EXPORT void setTransferTimeouts(const TransferTimeouts &timeouts);
BINETX_EXPORT TransferTimeouts transferTimeouts();

} // namespace tambolin
