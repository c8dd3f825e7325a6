#include "cli/output_path.h"

#include <QFile>
#include <cerrno>
#include <sys/stat.h>

namespace tambolin::cli {

bool checkOutputPath(const QString &path, QString &problem) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return true; // nothing there yet (a missing folder fails at the write)
    if (S_ISREG(st.st_mode))
        return true;
    const QString what = S_ISLNK(st.st_mode)    ? QStringLiteral("a symbolic link")
                         : S_ISDIR(st.st_mode)  ? QStringLiteral("a folder")
                         : S_ISFIFO(st.st_mode) ? QStringLiteral("a FIFO")
                         : S_ISSOCK(st.st_mode) ? QStringLiteral("a socket")
                                                : QStringLiteral("a device");
    problem = path + QStringLiteral(" is ") + what +
              QStringLiteral("; the output must be a new or a regular file");
    return false;
}

} // namespace tambolin::cli
