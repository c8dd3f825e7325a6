#include "binetx/command_text.h"

#include <algorithm>

namespace tambolin {

namespace {

constexpr std::string_view folderKey = "-d ";
constexpr std::string_view nameKey = " -o ";

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isControlOrBlank(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u <= 0x20 || u == 0x7F;
}

bool hasControl(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
}

// A name inside the folder: no separator of either kind, so nothing can lead
// the file out of the folder.
bool isPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string_view::npos &&
           std::none_of(name.begin(), name.end(), isControlOrBlank);
}

bool isKnownScheme(std::string_view url) {
    return url.starts_with("http://") || url.starts_with("https://") || url.starts_with("ftp://");
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
    // The folder may hold blanks, so the text is only unambiguous with one
    // " -o " in it: a second one, in the folder or in a URL with blanks,
    // could move the write to another folder and name.
    const auto keyPos = text.find(nameKey);
    if (keyPos == std::string_view::npos || keyPos < folderKey.size() ||
        text.find(nameKey, keyPos + 1) != std::string_view::npos)
        return std::nullopt;
    const std::string_view rest = text.substr(keyPos + nameKey.size());
    const auto urlSep = rest.find(' ');
    if (urlSep == std::string_view::npos)
        return std::nullopt;

    DownloadCommand cmd;
    cmd.folder = std::string(text.substr(folderKey.size(), keyPos - folderKey.size()));
    cmd.fileName = std::string(rest.substr(0, urlSep));
    const std::string_view url = rest.substr(urlSep + 1);
    if (cmd.folder.empty() || hasControl(cmd.folder) || !isPlainFileName(cmd.fileName))
        return std::nullopt;
    // The URL is one token: blanks and control characters come percent-encoded.
    if (url.empty() || std::any_of(url.begin(), url.end(), isControlOrBlank))
        return std::nullopt;
    cmd.url = normaliseScheme(url);
    if (!isKnownScheme(cmd.url))
        return std::nullopt;
    return cmd;
}

} // namespace tambolin
