#pragma once
// The download library: fetches one HTTP, HTTPS or FTP URL into a file.
//
// The command text is "-d <folder> -o <file name> <url>", with single blanks.
// The folder may contain blanks (it is not quoted) but not " -o "; the file
// name is a plain name (no separator, no blank); the URL is one token, with
// blanks and control characters percent-encoded. Anything else is refused,
// since it could name another folder or file than the caller meant. The file
// is written under a fresh name in the folder and renamed into place only
// once the whole download arrived, so a failed download leaves no file
// behind and never writes through a link or a file someone else put at that
// name.

#include <chrono>
#include <cstdint>
#include <string>

#define BINETX_EXPORT __attribute__((visibility("default")))

// Why a download failed, stored in W3getv's second argument.
enum BinetxStatus : std::int32_t {
    BINETX_OK = 0,
    BINETX_BAD_COMMAND = 1,     // the command text does not have the form above
    BINETX_BAD_FOLDER = 2,      // the folder cannot be opened
    BINETX_TRANSFER_FAILED = 3, // refused, not found, too slow, timed out, server error
    BINETX_TOO_LARGE = 4,       // more than binetxMaxBytes
    BINETX_FILE_ERROR = 5,      // the file could not be written or renamed into place
    BINETX_CANCELLED = 6,       // the caller cancelled it (W3getvCancellable)
};

// Downloads are capped: melodies are tiny.
inline constexpr std::int64_t binetxMaxBytes = 1024 * 1024;

extern "C" {
// Downloads the URL of the command text. Returns 1 when the file holds the
// downloaded bytes, 0 otherwise. status may be null; otherwise it receives a
// BinetxStatus.
BINETX_EXPORT std::int32_t W3getv(char *command, std::int32_t *status);

// W3getv that another thread can cancel by setting *cancel to a non-zero
// value (read atomically; cancel may be null). A cancelled download returns
// 0 with BINETX_CANCELLED and leaves no file behind.
BINETX_EXPORT std::int32_t W3getvCancellable(char *command, std::int32_t *status,
                                             std::int32_t *cancel);
}

namespace tambolin {

// Limits of every later transfer: connecting, a transfer slower than
// lowSpeedBytes per second for lowSpeedTime (a server that trickles or stalls),
// and the whole transfer.
struct TransferTimeouts {
    std::chrono::milliseconds connect{15000};
    long lowSpeedBytes = 1024;
    std::chrono::seconds lowSpeedTime{15};
    std::chrono::seconds total{300};
};

BINETX_EXPORT void setTransferTimeouts(const TransferTimeouts &timeouts);
BINETX_EXPORT TransferTimeouts transferTimeouts();

// The certificates https servers are checked against: a PEM file, or empty
// for the system's own store.
BINETX_EXPORT void setTrustedCertificates(const std::string &pemFile);

} // namespace tambolin
