#pragma once
// The desktop's default applications: which installed application opens a
// MIME type (or a URL scheme, as x-scheme-handler/<scheme>), read from the
// mimeapps.list files and the applications' mimeinfo.cache as the desktop
// does, falling back to the type's parents (text/x-csv to text/plain).

#include <QString>

namespace tambolin {

// The desktop file id ("org.example.Viewer.desktop"), or "" when nothing opens it.
QString defaultApplicationFor(const QString &mimeType);

// The MIME type of a local file or folder, by name and content.
QString mimeTypeOfPath(const QString &path);

} // namespace tambolin
