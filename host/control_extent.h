#pragma once
// A control's persisted extent, kept in units of 0.01 mm, as pixels at the
// form's design resolution of 96 dots per inch (15 twips per pixel).

#include <QSize>

namespace tambolin {

inline constexpr int kHimetricPerInch = 2540;
inline constexpr int kDesignDpi = 96;

// Rounded to the nearest pixel: 4313 x 2725 gives 163 x 103.
QSize extentToPixels(int extentX, int extentY);

} // namespace tambolin
