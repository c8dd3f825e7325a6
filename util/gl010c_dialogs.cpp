// The common dialogs of the utility class. None of them fails its caller: a
// dialog that cannot be shown counts as cancelled.

#include "util/cl_gl010c.h"

#include "platform/desktop/common_dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tambolin {

namespace {

constexpr Long openFlags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
// Saving must accept a new name, so no OFN_FILEMUSTEXIST here.
constexpr Long saveFlags =
    OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;

const QString folderTitle = QStringLiteral("ﾌｫﾙﾀﾞを選択してください");

FileDialogRequest fileRequest(Long owner, const QString &filter, const QString &defDir,
                              const QString *defFile, Long flags) {
    FileDialogRequest request;
    request.owner = owner;
    request.filter = filter;
    request.filterIndex = 1;
    request.initialDir = defDir;
    if (defFile)
        request.suggestedFile = *defFile;
    request.flags = flags;
    return request;
}

// The root of the folder browser: the desktop folder, or home without one.
QString desktopFolder() {
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return QFileInfo(desktop).isDir() ? desktop : QDir::homePath();
}

} // namespace

QString CL_GL010C::RVN_ShowOpenFileDlg(Long &lngHWnd, QString &strFilter, QString &strDefDir,
                                       QString *strDefFile) {
    QString chosen;
    step([&] {
        chosen = GetOpenFileName(fileRequest(lngHWnd, strFilter, strDefDir, strDefFile, openFlags));
    });
    return chosen;
}

QString CL_GL010C::RVN_ShowSaveFileDlg(Long &lngHWnd, QString &strFilter, QString &strDefDir,
                                       QString *strDefFile) {
    QString chosen;
    step([&] {
        chosen = GetSaveFileName(fileRequest(lngHWnd, strFilter, strDefDir, strDefFile, saveFlags));
    });
    return chosen;
}

QString CL_GL010C::RVN_FolderSelect(Long &formhwnd, Long *foldertype) {
    // foldertype names a shell item of the desktop tree; with no such tree
    // here every value starts at the desktop.
    (void)foldertype;
    QString chosen;
    step([&] {
        FolderDialogRequest request;
        request.owner = formhwnd;
        request.title = folderTitle;
        request.startDir = desktopFolder();
        chosen = BrowseForFolder(request);
    });
    return chosen;
}

void CL_GL010C::RVN_ShowOpenAsDialog(Long &formhwnd, QString &strFileName) {
    step([&] { ShellOpenWith(formhwnd, strFileName); });
}

Long CL_GL010C::RVN_ShowPropertiesDialog(Long &formhwnd, QString &FileName) {
    Long result = SE_ERR_NOASSOC;
    step([&] { result = ShellShowProperties(formhwnd, FileName); });
    return result;
}

} // namespace tambolin
