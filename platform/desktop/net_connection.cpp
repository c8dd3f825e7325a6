#include "platform/desktop/net_connection.h"

#include "platform/desktop/shell_execute.h"
#include "platform/runtime/last_error.h"

namespace tambolin {

namespace {

const QString kNetworkPlaces = QStringLiteral("network:///");
const QString kAddPrinter = QStringLiteral("http://localhost:631/admin");
const QString kPrinters = QStringLiteral("http://localhost:631/printers/");

std::uint32_t show(Long hwnd, std::uint32_t type, bool connect) {
    ShellLaunch launch;
    launch.owner = hwnd;
    if (type == RESOURCETYPE_PRINT) {
        launch.kind = ShellLaunch::Kind::Address;
        launch.target = connect ? kAddPrinter : kPrinters;
    } else {
        // Shares are mounted and unmounted in the same view.
        launch.kind = ShellLaunch::Kind::Folder;
        launch.target = kNetworkPlaces;
    }
    if (!currentShellLauncher()->launch(launch)) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return ERROR_NOT_SUPPORTED;
    }
    return NO_ERROR;
}

} // namespace

std::uint32_t WNetConnectionDialog(Long hwnd, std::uint32_t type) noexcept {
    try {
        return show(hwnd, type, true);
    } catch (...) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

std::uint32_t WNetDisconnectDialog(Long hwnd, std::uint32_t type) noexcept {
    try {
        return show(hwnd, type, false);
    } catch (...) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

} // namespace tambolin
