#pragma once
// Window and device-context handles: the Long numbers by which callers of the
// utility class name a window. One table maps each widget to one handle for
// as long as the widget lives; the same number serves as its window handle
// and its device-context handle. Handles are never reused, so a stale one
// finds nothing rather than another window. GUI thread only.

#include "platform/runtime/basic_runtime.h"

class QWidget;

namespace tambolin {

// The widget's handle, allocated on first use; 0 for nullptr.
Long handleOf(QWidget *widget);
// The widget behind handle; nullptr when the handle is 0, unknown, or its
// widget has been destroyed.
QWidget *widgetOf(Long handle);

} // namespace tambolin
