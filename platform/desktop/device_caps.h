#pragma once
// What a device context can show, for the contexts of our windows: the
// depth of the screen the window is on.

#include "platform/runtime/basic_runtime.h"

namespace tambolin {

inline constexpr int BITSPIXEL = 12;
inline constexpr int PLANES = 14;

// The value of index for hdc; 0 for an unknown context or index.
int GetDeviceCaps(Long hdc, int index) noexcept;

} // namespace tambolin
