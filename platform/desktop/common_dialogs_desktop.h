#pragma once
// The desktop's own services over D-Bus for the open-with chooser (the
// portal's OpenURI interface) and a file's properties (the file manager's
// ShowItemProperties). Where no desktop answers, the calls report failure.

#include "platform/runtime/basic_runtime.h"

#include <QDBusConnection>
#include <QString>

namespace tambolin {

class DesktopShell final {
public:
    explicit DesktopShell(QDBusConnection bus = QDBusConnection::sessionBus(),
                          int timeoutMs = 10000);

    // Asks the portal to offer the applications for path ("ask"); true when
    // the portal took the request.
    bool openWith(const QString &path) const;
    // SE_SHOWN when the file manager took the request; SE_ERR_FNF for a
    // missing file; SE_ERR_NOASSOC when no file manager answers.
    Long showProperties(const QString &path) const;

private:
    QDBusConnection m_bus;
    int m_timeoutMs;
};

} // namespace tambolin
