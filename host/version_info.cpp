#include "host/version_info.h"

#include <QApplication>
#include <QIcon>

namespace tambolin {

const VersionInfo &tboVersionInfo() {
    static const VersionInfo info{
        QStringLiteral("TBO"),
        QStringLiteral("TBO"),
        QStringLiteral("1.00"),
        QStringLiteral("Tamberlo Player"),
        QStringLiteral("J-PHONEの着ﾒﾛ用のﾃﾞｰﾀﾌｧｲﾙを再生するｿﾌﾄです。本ｿﾌﾄはﾌﾘｰｳｪｱです。"),
        QStringLiteral("tbo"),
    };
    return info;
}

QIcon tboIcon() {
    return QIcon(QStringLiteral(":/tbo/tbo.png"));
}

void applyVersionInfo(QApplication &app, const VersionInfo &info) {
    // The display name is left alone: set, it would be appended to "Form1".
    QApplication::setApplicationName(info.internalName);
    QApplication::setApplicationVersion(info.version);
    QGuiApplication::setDesktopFileName(info.desktopFileName);
    QApplication::setWindowIcon(tboIcon());
    app.setProperty("productName", info.productName);
    app.setProperty("fileDescription", info.fileDescription);
}

} // namespace tambolin
