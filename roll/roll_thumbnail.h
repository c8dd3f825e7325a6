#pragma once
// A square thumbnail of a melody file for file managers, as `tambolin
// thumbnail` and the thumbnailer program both make it: the same arguments,
// the same picture, written whole or not at all.

#include "roll/roll_model.h"

#include <QString>
#include <QStringList>

namespace tambolin::roll {

inline constexpr int SmallestThumbnail = 16;
inline constexpr int LargestThumbnail = 2048;

struct ThumbnailRequest {
    QString file;
    QString output;
    int size = 0;
};

// FILE and OUT in this order, and -s SIZE (also --size SIZE, --size=SIZE)
// anywhere. False, with a message, for anything else.
bool parseThumbnailArgs(const QStringList &args, ThumbnailRequest &out, QString &problem);

// Reads a melody file into a roll; false, with a message, when it holds no
// melody.
using RollLoader = bool (*)(const QString &path, RollModel &out, QString &problem);

// Exit statuses of both programs.
enum ThumbnailStatus : int { ThumbnailMade = 0, ThumbnailNotWritten = 1, ThumbnailRefused = 2 };

// Draws the file's roll in a square of the request's size and replaces the
// output with it in one step. Refused (nothing written) when load finds no
// melody; not written, with the output left as it was, when writing fails.
ThumbnailStatus makeThumbnail(const ThumbnailRequest &request, RollLoader load, QString &problem);

} // namespace tambolin::roll
