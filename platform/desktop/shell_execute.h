#pragma once
// Starting documents, folders and addresses the way the shell does: the
// request is checked here (the file is there, something on the desktop opens
// it) and answered with a shell result: above 32 when started, otherwise the
// reason (SE_ERR_FNF, SE_ERR_PNF, SE_ERR_ACCESSDENIED, SE_ERR_NOASSOC). The
// start itself goes to a ShellLauncher: the desktop's by default, a recording
// one in tests, so that tests never start real programs.

#include "platform/desktop/shell_results.h"

#include <QDBusConnection>
#include <QString>
#include <memory>

namespace tambolin {

inline constexpr Long SE_ERR_PNF = 3;
inline constexpr Long SE_ERR_ACCESSDENIED = 5;
inline constexpr Long SE_ERR_OOM = 8;

inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOW = 5;

struct ShellLaunch {
    enum class Kind {
        Document, // a file, opened by handler
        Folder,   // shown in the file manager
        Search,   // the file manager on a folder, to search in it
        Address,  // a URL, opened by handler
    };
    Kind kind = Kind::Document;
    QString target;     // absolute path, or the URL
    QString handler;    // desktop file id of the application; may be empty for folders
    QString workingDir; // empty: ours
    Long owner = 0;
    int showCommand = SW_SHOWNORMAL;
};

class ShellLauncher {
public:
    virtual ~ShellLauncher() = default;
    // False when nothing could be started.
    virtual bool launch(const ShellLaunch &request) = 0;
};

// The desktop's: folders through the file manager's D-Bus interface where
// one answers on bus, everything else through xdg-open.
class DesktopLauncher final : public ShellLauncher {
public:
    explicit DesktopLauncher(QDBusConnection bus = QDBusConnection::sessionBus());
    bool launch(const ShellLaunch &request) override;

private:
    bool showFolder(const QString &path);
    QDBusConnection m_bus;
};

std::shared_ptr<ShellLauncher> currentShellLauncher();
// nullptr goes back to the desktop's.
void setShellLauncher(std::shared_ptr<ShellLauncher> launcher);

// operation: "open" (also null), "explore" or "find". Relative names are
// taken from directory when one is given. parameters are not passed on:
// documents and folders take none.
Long ShellExecuteA(Long hwnd, const char *operation, const char *file, const char *parameters,
                   const char *directory, int showCommand) noexcept;

} // namespace tambolin
