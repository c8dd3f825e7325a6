#pragma once
// The panel's design font, "ＭＳ Ｐゴシック", with a metric-compatible
// Japanese stand-in where the system does not have it.

#include <QFont>

namespace tambolin {

QFont designFont(int pointSize, bool bold);

} // namespace tambolin
