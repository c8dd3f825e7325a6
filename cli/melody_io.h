#pragma once
// The melody store as the tool reads, prints and fills it.
//
// JSON form (what `dump` prints and `build` reads), on one line:
//   {"title": "AB", "tempo": 0, "parts": [[[4, 21], [3, 21]], [], []]}
// "parts" always holds three arrays; each note is [length code, pitch].

#include <QByteArray>
#include <QString>

namespace tambolin {
struct MOD_TAMBOLIN;
}

namespace tambolin::cli {

// The largest file read as a melody (a melody is a few KiB).
constexpr long long LargestMelodyFile = 1 << 20;

// False, with a message, when the file is one FileLoad ignores (missing, not
// a regular file, unreadable, shorter than 14 bytes).
bool checkMelodyFile(const QString &path, QString &problem);

// Reads the file into the store as the player loads it. False, with a
// message, when the file is one FileLoad ignores (missing, not a regular
// file, unreadable, shorter than 14 bytes).
bool loadMelodyFile(const QString &path, QString &problem);

// The store as JSON, without a trailing newline.
QString melodyJson(const MOD_TAMBOLIN &store);

// Fills the store from JSON text. False, with a message and the store left
// alone, when the text is not a melody.
bool fillFromJson(const QByteArray &json, MOD_TAMBOLIN &store, QString &problem);

} // namespace tambolin::cli
