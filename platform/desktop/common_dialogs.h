#pragma once
// The system's standard dialogs: choosing a file to open or a name to save
// under, choosing a folder, the open-with chooser and a file's properties.
// Everything goes through one CommonDialogs object: by default Qt's dialogs
// and the desktop's services; a test installs its own to answer them.

#include "platform/desktop/shell_results.h"
#include "platform/runtime/basic_runtime.h"

#include <QString>
#include <QStringList>

class QFileDialog;

namespace tambolin {

// File dialog flags (the bits the player uses).
inline constexpr Long OFN_OVERWRITEPROMPT = 0x2;
inline constexpr Long OFN_HIDEREADONLY = 0x4;
inline constexpr Long OFN_NOCHANGEDIR = 0x8;
inline constexpr Long OFN_PATHMUSTEXIST = 0x800;
inline constexpr Long OFN_FILEMUSTEXIST = 0x1000;
inline constexpr Long OFN_EXPLORER = 0x80000;

enum class FileDialogKind { Open, Save };

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    Long owner = 0;        // handle of the owning window (handles.h), 0 for none
    QString filter;        // display text and pattern pairs, each item ended by a NUL
    Long filterIndex = 1;  // the pair shown first, from 1
    QString initialDir;    // empty: the current folder
    QString suggestedFile; // a name or a full path; empty for none
    QString title;         // empty: the dialog's own title
    Long flags = 0;        // OFN_* bits
};

struct FolderDialogRequest {
    Long owner = 0;
    QString title;
    QString startDir; // where the browser starts
};

class CommonDialogs {
public:
    virtual ~CommonDialogs() = default;
    // The chosen full path, or "" when the user cancelled.
    virtual QString fileDialog(const FileDialogRequest &request) = 0;
    // The chosen folder, or "" when the user cancelled.
    virtual QString folderDialog(const FolderDialogRequest &request) = 0;
    // Offers the applications that can open path; false when nothing did.
    virtual bool openWith(Long owner, const QString &path) = 0;
    // Shows path's properties: SE_SHOWN, or SE_ERR_* when not shown.
    virtual Long showProperties(Long owner, const QString &path) = 0;
};

// The dialogs in use on this thread: the real ones unless a test installed
// others with ScopedDialogs.
CommonDialogs &currentDialogs();

// Installs dialogs for the life of the object, then restores the previous ones.
class ScopedDialogs final {
public:
    explicit ScopedDialogs(CommonDialogs &dialogs);
    ~ScopedDialogs();
    ScopedDialogs(const ScopedDialogs &) = delete;
    ScopedDialogs &operator=(const ScopedDialogs &) = delete;

private:
    CommonDialogs *m_previous;
};

// Qt name filters ("Text (*.a *.b)") for a filter of NUL-separated pairs.
// Patterns separated by ';' become blank-separated; "*.*" matches every
// file; letters match either case, as they would on the filter's home
// system, so "*.tbn" also lists "SONG.TBN".
QStringList qtNameFilters(const QString &filter);

// Sets up a Qt file dialog for request: modes, filters, folder, name, and
// the meaning of the flags. Used by the real dialogs.
void configureFileDialog(QFileDialog &dialog, const FileDialogRequest &request);

// The calls the utility class makes. Each asks currentDialogs(). After a
// file was chosen, the process's current folder is that file's folder
// (unless OFN_NOCHANGEDIR), which callers rely on to remember it.
QString GetOpenFileName(FileDialogRequest request);
QString GetSaveFileName(FileDialogRequest request);
QString BrowseForFolder(const FolderDialogRequest &request);
bool ShellOpenWith(Long owner, const QString &path);
Long ShellShowProperties(Long owner, const QString &path);

} // namespace tambolin
