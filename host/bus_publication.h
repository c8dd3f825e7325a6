#pragma once
// Putting a control created by name on the session bus, through the entry
// point of the library that made it, so a host that links none of the
// control's code still publishes it.

#include <QString>

class QWidget;

namespace tambolin {

// True when control, created from library, is now on the session bus; on
// failure, why not in error.
bool publishControl(const QString &library, QWidget *control, QString &error);

} // namespace tambolin
