#include "platform/desktop/common_dialogs_desktop.h"

#include "platform/desktop/shell_results.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QFileInfo>
#include <QUrl>
#include <QVariantMap>
#include <fcntl.h>
#include <unistd.h>

namespace tambolin {

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString portalOpenUri = QStringLiteral("org.freedesktop.portal.OpenURI");
const QString fileManagerService = QStringLiteral("org.freedesktop.FileManager1");
const QString fileManagerPath = QStringLiteral("/org/freedesktop/FileManager1");

// Closes a descriptor we opened only to hand over.
class FdGuard final {
public:
    explicit FdGuard(int fd) : m_fd(fd) {}
    ~FdGuard() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FdGuard(const FdGuard &) = delete;
    FdGuard &operator=(const FdGuard &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

DesktopShell::DesktopShell(QDBusConnection bus, int timeoutMs)
    : m_bus(std::move(bus)), m_timeoutMs(timeoutMs) {}

bool DesktopShell::openWith(const QString &path) const {
    if (!m_bus.isConnected() || path.isEmpty())
        return false;
    // The portal opens local files by descriptor, not by file:// URI.
    const FdGuard fd(::open(QFile::encodeName(path).constData(), O_PATH | O_CLOEXEC));
    if (fd.get() < 0)
        return false;
    QDBusMessage call =
        QDBusMessage::createMethodCall(portalService, portalPath, portalOpenUri, "OpenFile");
    QVariantMap options;
    options.insert(QStringLiteral("ask"), true);
    call << QString() << QVariant::fromValue(QDBusUnixFileDescriptor(fd.get())) << options;
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, m_timeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

Long DesktopShell::showProperties(const QString &path) const {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return SE_ERR_FNF;
    if (!m_bus.isConnected())
        return SE_ERR_NOASSOC;
    QDBusMessage call = QDBusMessage::createMethodCall(fileManagerService, fileManagerPath,
                                                       fileManagerService, "ShowItemProperties");
    const QString uri = QUrl::fromLocalFile(info.absoluteFilePath()).toString(QUrl::FullyEncoded);
    call << QStringList{uri} << QString();
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, m_timeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage ? SE_SHOWN : SE_ERR_NOASSOC;
}

} // namespace tambolin
