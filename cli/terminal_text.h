#pragma once
// Untrusted text (titles, file names, device names) made safe to print: a
// melody must not be able to move the cursor, recolour the terminal, set its
// window title or fake a line of our output.

#include <QString>

namespace tambolin::cli {

// The text with every control character (C0, DEL, C1) and every bidirectional
// override written as a visible escape: "\x1B", "\x7F", "\u202E". Printable
// text, backslashes included, is kept as it is.
QString terminalText(const QString &text);

} // namespace tambolin::cli
