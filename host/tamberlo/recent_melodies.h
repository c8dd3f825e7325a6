#pragma once
// The melodies among the desktop's recently used documents, newest first,
// for the Recent Files menu. The list is everyone's and may hold anything:
// it is read once, bounded, and never written here.

#include <QString>
#include <QStringList>

namespace tambolin::tamberlo {

inline constexpr int kRecentMenuSize = 10;
inline constexpr qint64 kRecentListMaxBytes = 16 * 1024 * 1024;

// Local .tbn files that still exist in the list at xbelPath, newest first,
// at most limit of them.
QStringList recentMelodies(const QString &xbelPath, int limit = kRecentMenuSize);

} // namespace tambolin::tamberlo
