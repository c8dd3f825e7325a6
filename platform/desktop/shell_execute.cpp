#include "platform/desktop/shell_execute.h"

#include "platform/desktop/mime_apps.h"
#include "platform/runtime/last_error.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

#include <mutex>

namespace tambolin {

namespace {

const QString kFileManager = QStringLiteral("org.freedesktop.FileManager1");
const QString kDirectoryType = QStringLiteral("inode/directory");

struct LauncherChoice {
    std::mutex mutex;
    std::shared_ptr<ShellLauncher> chosen;
};

LauncherChoice &choice() {
    static LauncherChoice c;
    return c;
}

Long fail(Long result, DWORD error) {
    SetLastError(error);
    return result;
}

// "https://…", "mailto:…": a scheme of two or more characters, then a colon.
bool isAddress(const QString &text) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(text).hasMatch();
}

Long startAddress(const QString &address, ShellLaunch launch) {
    const QUrl url(address);
    if (url.isLocalFile())
        return -1; // a file: URL names a path; the caller opens it as one
    const QString handler =
        defaultApplicationFor(QStringLiteral("x-scheme-handler/") + url.scheme().toLower());
    if (!url.isValid() || handler.isEmpty())
        return fail(SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION);
    launch.kind = ShellLaunch::Kind::Address;
    launch.target = address;
    launch.handler = handler;
    return currentShellLauncher()->launch(launch) ? SE_SHOWN
                                                  : fail(SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION);
}

} // namespace

DesktopLauncher::DesktopLauncher(QDBusConnection bus) : m_bus(std::move(bus)) {}

bool DesktopLauncher::showFolder(const QString &path) {
    if (!m_bus.isConnected() || !m_bus.interface() ||
        !m_bus.interface()->isServiceRegistered(kFileManager))
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        kFileManager, QStringLiteral("/org/freedesktop/FileManager1"), kFileManager,
        QStringLiteral("ShowFolders"));
    const QString uri = path.contains(QLatin1String(":/"))
                            ? path
                            : QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    call << QStringList{uri} << QString();
    return m_bus.call(call, QDBus::Block, 10000).type() == QDBusMessage::ReplyMessage;
}

bool DesktopLauncher::launch(const ShellLaunch &request) {
    if ((request.kind == ShellLaunch::Kind::Folder || request.kind == ShellLaunch::Kind::Search) &&
        showFolder(request.target))
        return true;
    // xdg-open picks the same default application; it returns at once.
    return QProcess::startDetached(QStringLiteral("xdg-open"), {request.target},
                                   request.workingDir);
}

std::shared_ptr<ShellLauncher> currentShellLauncher() {
    LauncherChoice &c = choice();
    std::lock_guard lock(c.mutex);
    if (!c.chosen)
        c.chosen = std::make_shared<DesktopLauncher>();
    return c.chosen;
}

void setShellLauncher(std::shared_ptr<ShellLauncher> launcher) {
    LauncherChoice &c = choice();
    std::lock_guard lock(c.mutex);
    c.chosen = std::move(launcher);
}

Long ShellExecuteA(Long hwnd, const char *operation, const char *file, const char * /*parameters*/,
                   const char *directory, int showCommand) noexcept {
    try {
        const QString verb =
            operation ? QFile::decodeName(operation).toLower() : QStringLiteral("open");
        QString name = QFile::decodeName(file);
        const QString dir = QFile::decodeName(directory);
        if (verb != QLatin1String("open") && verb != QLatin1String("explore") &&
            verb != QLatin1String("find"))
            return fail(SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION);
        if (name.isEmpty())
            return fail(SE_ERR_FNF, ERROR_FILE_NOT_FOUND);

        ShellLaunch launch;
        launch.owner = hwnd;
        launch.showCommand = showCommand;
        if (verb == QLatin1String("open") && isAddress(name)) {
            const Long started = startAddress(name, launch);
            if (started >= 0)
                return started;
            name = QUrl(name).toLocalFile();
        }

        if (!dir.isEmpty() && !QFileInfo(dir).isDir())
            return fail(SE_ERR_PNF, ERROR_PATH_NOT_FOUND);
        const QFileInfo info(QDir(dir.isEmpty() ? QDir::currentPath() : dir), name);
        if (!info.exists())
            return QFileInfo(info.absolutePath()).isDir() ? fail(SE_ERR_FNF, ERROR_FILE_NOT_FOUND)
                                                          : fail(SE_ERR_PNF, ERROR_PATH_NOT_FOUND);
        if (!info.isReadable())
            return fail(SE_ERR_ACCESSDENIED, ERROR_ACCESS_DENIED);
        launch.target = info.absoluteFilePath();
        launch.workingDir = dir.isEmpty() ? QString() : QFileInfo(dir).absoluteFilePath();
        if (info.isDir()) {
            launch.kind = verb == QLatin1String("find") ? ShellLaunch::Kind::Search
                                                        : ShellLaunch::Kind::Folder;
            launch.handler = defaultApplicationFor(kDirectoryType);
        } else {
            // Searching is done in folders only.
            if (verb != QLatin1String("open"))
                return fail(SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION);
            launch.kind = ShellLaunch::Kind::Document;
            launch.handler = defaultApplicationFor(mimeTypeOfPath(launch.target));
            if (launch.handler.isEmpty())
                return fail(SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION);
        }
        return currentShellLauncher()->launch(launch) ? SE_SHOWN
                                                      : fail(SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION);
    } catch (...) {
        return fail(SE_ERR_OOM, ERROR_NOT_ENOUGH_MEMORY);
    }
}

} // namespace tambolin
