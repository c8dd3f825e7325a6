#include "binetx/command_text.h"

#include <algorithm>

namespace tambolin {

namespace {

constexpr std::string_view folderKey = "-d ";
constexpr std::string_view nameKey = " -o ";

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/ ") == std::string_view::npos;
}

} // namespace

std::string normaliseScheme(std::string_view url) {
    std::string out(url);
    const auto end = out.find("://");
    if (end != std::string::npos)
        std::transform(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(end), out.begin(),
                       asciiLower);
    return out;
}

std::optional<DownloadCommand> parseDownloadCommand(std::string_view text) {
    if (!text.starts_with(folderKey))
        return std::nullopt;
    // Read from the right: the URL and the file name carry no blanks, while
    // the folder may hold blanks and even " -o ".
    const auto urlSep = text.rfind(' ');
    if (urlSep == std::string_view::npos || urlSep + 1 >= text.size())
        return std::nullopt;
    const auto nameSep = text.rfind(' ', urlSep - 1);
    if (nameSep == std::string_view::npos || nameSep < folderKey.size() + nameKey.size() - 1)
        return std::nullopt;
    const auto keyPos = nameSep + 1 - nameKey.size();
    if (text.substr(keyPos, nameKey.size()) != nameKey || keyPos < folderKey.size())
        return std::nullopt;

    DownloadCommand cmd;
    cmd.folder = std::string(text.substr(folderKey.size(), keyPos - folderKey.size()));
    cmd.fileName = std::string(text.substr(nameSep + 1, urlSep - nameSep - 1));
    cmd.url = normaliseScheme(text.substr(urlSep + 1));
    if (cmd.folder.empty() || !isPlainFileName(cmd.fileName))
        return std::nullopt;
    if (!cmd.url.starts_with("http://") && !cmd.url.starts_with("ftp://"))
        return std::nullopt;
    return cmd;
}

} // namespace tambolin
