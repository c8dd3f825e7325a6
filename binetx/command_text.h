#pragma once
// Reading the download command text "-d <folder> -o <file name> <url>".

#include <optional>
#include <string>
#include <string_view>

namespace tambolin {

struct DownloadCommand {
    std::string folder;
    std::string fileName;
    std::string url; // scheme in lower case
};

// Parses the command text; nullopt when it does not have the form (exactly
// one " -o "), the file name is not a plain name (no separator, blank or
// control character), the folder holds a control character, or the URL is not
// one http://, https:// or ftp:// token.
std::optional<DownloadCommand> parseDownloadCommand(std::string_view text);

// The URL with its scheme in lower case: the transfer library only knows
// lower-case scheme names, while hosts write "HTTP://" as often as not.
std::string normaliseScheme(std::string_view url);

} // namespace tambolin
