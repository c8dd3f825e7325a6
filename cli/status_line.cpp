#include "cli/status_line.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace tambolin::cli {

namespace {

// The line shown on standard error now, if any.
StatusLine *errorLine = nullptr;

constexpr int FallbackWidth = 80;

int terminalWidth(int fd) {
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return FallbackWidth;
}

bool isWide(char32_t u) {
    return (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) ||
           (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0xF900 && u <= 0xFAFF) ||
           (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60) ||
           (u >= 0xFFE0 && u <= 0xFFE6) || (u >= 0x1F300 && u <= 0x1FAFF) ||
           (u >= 0x20000 && u <= 0x3FFFD);
}

void write(std::FILE *stream, const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

QString fitColumns(const QString &text, int columns) {
    int used = 0;
    qsizetype at = 0;
    while (at < text.size()) {
        const bool pair = text[at].isHighSurrogate() && at + 1 < text.size();
        const char32_t u =
            pair ? QChar::surrogateToUcs4(text[at], text[at + 1]) : text[at].unicode();
        const int w = isWide(u) ? 2 : 1;
        if (used + w > columns)
            break;
        used += w;
        at += pair ? 2 : 1;
    }
    return text.left(at);
}

StatusLine::StatusLine(std::FILE *stream)
    : StatusLine(stream, ::isatty(::fileno(stream)) == 1, terminalWidth(::fileno(stream))) {}

StatusLine::StatusLine(std::FILE *stream, bool enabled, int width)
    : m_stream(stream), m_enabled(enabled), m_width(width) {}

StatusLine::~StatusLine() {
    if (errorLine == this)
        errorLine = nullptr;
    if (m_shown)
        write(m_stream, QStringLiteral("\n"));
}

void StatusLine::show(const QString &text) {
    if (!m_enabled)
        return;
    // One column spare: a full line would wrap on some terminals and the
    // next carriage return would then rewrite only the second row.
    write(m_stream, u'\r' + fitColumns(text, m_width - 1) + QStringLiteral("\x1b[K"));
    m_shown = true;
    if (m_stream == stderr)
        errorLine = this;
}

void StatusLine::clear() {
    if (!m_shown)
        return;
    write(m_stream, QStringLiteral("\r\x1b[K"));
    m_shown = false;
    if (errorLine == this)
        errorLine = nullptr;
}

void clearErrorStatusLine() {
    if (errorLine)
        errorLine->clear();
}

} // namespace tambolin::cli
