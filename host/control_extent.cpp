#include "host/control_extent.h"

namespace tambolin {

namespace {

int toPixels(int himetric) {
    // Rounded half away from zero in integers; extents are never negative.
    const long long scaled = static_cast<long long>(himetric) * kDesignDpi;
    return static_cast<int>((scaled + kHimetricPerInch / 2) / kHimetricPerInch);
}

} // namespace

QSize extentToPixels(int extentX, int extentY) {
    return {toPixels(extentX), toPixels(extentY)};
}

} // namespace tambolin
