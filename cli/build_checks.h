#pragma once
// What `tambolin build` refuses before it hands a store to the writer.

#include <QByteArray>
#include <QString>

namespace tambolin {
struct MOD_TAMBOLIN;
}

namespace tambolin::cli {

// The most JSON the tool reads (a full melody is about 10 KiB).
inline constexpr qsizetype LargestJson = 1 << 20;

// False, with a message, when an object in the JSON text names a key twice
// (the JSON reader would silently keep the last one). The text must already
// be valid JSON.
bool checkUniqueKeys(const QByteArray &json, QString &problem);

// False, with a message naming the part and note, when the writer would not
// store the melody as given: a tempo outside 0..3, a length code it has no
// bytes for, a pitch it cannot encode, or a title holding the escape
// sequence that starts a part.
bool checkWritable(const MOD_TAMBOLIN &store, QString &problem);

} // namespace tambolin::cli
