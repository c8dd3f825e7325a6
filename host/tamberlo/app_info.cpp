#include "host/tamberlo/app_info.h"

#include <QApplication>
#include <QIcon>

namespace tambolin::tamberlo {

QStringList supportedUriSchemes() {
    return {QStringLiteral("file"), QStringLiteral("http"), QStringLiteral("https"),
            QStringLiteral("ftp")};
}

QStringList supportedMimeTypes() {
    return {QString::fromLatin1(kMelodyMimeType)};
}

QIcon appIcon() {
    return QIcon::fromTheme(QString::fromLatin1(kDesktopEntry),
                            QIcon(QStringLiteral(":/tbo/tbo.png")));
}

void applyAppInfo() {
    QApplication::setApplicationName(QString::fromLatin1(kProgramName));
    QApplication::setApplicationDisplayName(QString::fromLatin1(kIdentity));
    QApplication::setApplicationVersion(QStringLiteral(TAMBERLO_VERSION));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopEntry));
    QApplication::setWindowIcon(appIcon());
}

} // namespace tambolin::tamberlo
