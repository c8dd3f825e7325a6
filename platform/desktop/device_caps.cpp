#include "platform/desktop/device_caps.h"

#include "platform/desktop/handles.h"
#include "platform/runtime/last_error.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tambolin {

int GetDeviceCaps(Long hdc, int index) noexcept {
    QWidget *widget = widgetOf(hdc);
    QScreen *screen = widget ? widget->screen() : nullptr;
    if (!screen) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    switch (index) {
    case BITSPIXEL:
        return screen->depth();
    case PLANES:
        return 1; // packed pixels: one plane of all the bits
    default:
        return 0;
    }
}

} // namespace tambolin
