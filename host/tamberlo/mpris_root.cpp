#include "host/tamberlo/mpris_root.h"

#include "host/tamberlo/app_info.h"
#include "host/tamberlo/mpris_service.h"

namespace tambolin::tamberlo {

MprisRoot::MprisRoot(MprisService &service) : QDBusAbstractAdaptor(&service), m_service(service) {}

QString MprisRoot::identity() const {
    return QString::fromLatin1(kIdentity);
}

QString MprisRoot::desktopEntry() const {
    return QString::fromLatin1(kDesktopEntry);
}

QStringList MprisRoot::supportedUriSchemes() const {
    return tamberlo::supportedUriSchemes();
}

QStringList MprisRoot::supportedMimeTypes() const {
    return tamberlo::supportedMimeTypes();
}

void MprisRoot::Raise() {
    emit m_service.raiseRequested();
}

void MprisRoot::Quit() {
    emit m_service.quitRequested();
}

} // namespace tambolin::tamberlo
