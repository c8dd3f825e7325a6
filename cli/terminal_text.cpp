#include "cli/terminal_text.h"

namespace tambolin::cli {

namespace {

constexpr char16_t Hex[] = u"0123456789ABCDEF";

bool reordersText(char16_t u) {
    return (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069) || u == 0x200E ||
           u == 0x200F || u == 0x061C;
}

} // namespace

QString terminalText(const QString &text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F)) {
            out += u"\\x";
            out += QChar(Hex[(u >> 4) & 0xF]);
            out += QChar(Hex[u & 0xF]);
        } else if (reordersText(u)) {
            out += u"\\u";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += QChar(Hex[(u >> shift) & 0xF]);
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace tambolin::cli
