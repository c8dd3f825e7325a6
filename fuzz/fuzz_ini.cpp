// Feeds arbitrary bytes to the profile (INI) reader, writes one entry and
// reads the result again: the entry reads back and every other entry keeps
// its value.

#include "platform/registry/codepage932.h"
#include "platform/registry/private_profile_document.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace tambolin;

namespace {

bool sameName(const QByteArray &a, const QByteArray &b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// What the writer accepts for a name or value: one line, no blanks around.
QByteArray oneLine(QByteArray text, const char *forbidden) {
    QByteArray out;
    for (char c : text)
        if (c != '\r' && c != '\n' && c != '\0' && !std::strchr(forbidden, c))
            out += c;
    return out.trimmed();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    // The file, then (after a NUL) the section, key and value to write.
    const QList<QByteArray> fields = input.split('\0');
    const ProfileDocument before(fields.value(0));
    QByteArray section = oneLine(fields.value(1, "s"), "]");
    // As the writer accepts it: the closing "]" must not become a second byte.
    if (cp932::indexOfChar(section + ']', ']') != section.size())
        section = "s";
    QByteArray key = oneLine(fields.value(2, "k"), "=");
    const QByteArray value = oneLine(fields.value(3, "v"), "");
    if (key.isEmpty() || key.startsWith('[') || key.startsWith(';'))
        key = "k";

    ProfileDocument after(before.bytes());
    after.setValue(section, key, value);
    const ProfileDocument reread(after.bytes());
    if (reread.value(section, key) != value)
        __builtin_trap();
    for (const QByteArray &s : before.sectionNames()) {
        for (const QByteArray &k : before.keyNames(s)) {
            if (sameName(s, section) && sameName(k, key))
                continue;
            if (reread.value(s, k) != before.value(s, k))
                __builtin_trap();
        }
    }
    return 0;
}
