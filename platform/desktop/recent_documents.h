#pragma once
// The desktop's list of recently used documents: the freedesktop
// recently-used.xbel file in the user's data folder ($XDG_DATA_HOME, by
// default ~/.local/share), shared with every other application. Changes
// are written to a new file that then replaces the old one, so a crash
// never leaves the list half written; a list we cannot read is left alone.

#include "platform/runtime/basic_runtime.h"

#include <QString>

namespace tambolin {

inline constexpr unsigned SHARD_PATHA = 2;

// Where the list lives.
QString recentDocumentsFile();

// Adds path (made absolute) or, when path is empty, empties the list. False
// when the file is missing or the list could not be read or written.
bool addRecentDocument(const QString &path);
bool clearRecentDocuments();

// With flags SHARD_PATHA, pv is the ANSI path; a null pv empties the list.
void SHAddToRecentDocs(unsigned flags, const void *pv) noexcept;

} // namespace tambolin
