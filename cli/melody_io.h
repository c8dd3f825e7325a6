#pragma once
// The melody store as the tool reads, prints and fills it.
//
// JSON form (what `dump` prints and `build` reads), on one line:
//   {"title": "AB", "tempo": 0, "parts": [[[4, 21], [3, 21]], [], []]}
// "parts" always holds three arrays; each note is [length code, pitch].

#include "melody/melody_file_check.h"

#include <QByteArray>
#include <QString>

namespace tambolin {
struct MOD_TAMBOLIN;
}

namespace tambolin::cli {

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
