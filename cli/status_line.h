#pragma once
// One line on a terminal kept up to date in place: a carriage return, the
// text cut to the terminal's width, the rest of the line erased. Nothing at
// all when the stream is not a terminal, so pipes and files see none of it.

#include <QString>
#include <cstdio>

namespace tambolin::cli {

class StatusLine final {
public:
    // Shows on stream only when its descriptor is a terminal.
    explicit StatusLine(std::FILE *stream);
    // For tests: on stream whether or not it is a terminal, width columns.
    StatusLine(std::FILE *stream, bool enabled, int width);
    // Ends the line (a newline), so what follows starts on its own line.
    ~StatusLine();
    StatusLine(const StatusLine &) = delete;
    StatusLine &operator=(const StatusLine &) = delete;

    bool enabled() const { return m_enabled; }
    // text must be safe for a terminal already (see terminal_text.h).
    void show(const QString &text);
    // Erases the line; the next show() writes it again.
    void clear();

private:
    std::FILE *m_stream;
    bool m_enabled;
    int m_width;
    bool m_shown = false;
};

// Text cut to at most columns terminal columns (wide East Asian characters
// take two).
QString fitColumns(const QString &text, int columns);

// Erases a status line shown on standard error, so that a message written
// there starts at the left edge and the line is not left half-overwritten.
void clearErrorStatusLine();

} // namespace tambolin::cli
