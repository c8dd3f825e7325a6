#pragma once
// The process's current folder, which file dialogs move to the folder of the
// chosen file and the player puts back afterwards. Folders are separated by
// "/"; there are no drives, so only the folder itself is ever changed.

#include <QString>

namespace tambolin {

// The current folder as an absolute path.
QString CurDir();

// Makes path (absolute, or relative to the current folder) current. A path
// that is empty or cannot be entered fails the statement and changes nothing.
void ChDir(const QString &path);

} // namespace tambolin
