#pragma once
// Which window a message box belongs to: the one the user is looking at.

class QWidget;

namespace tambolin {

// The active window, or else the program's only visible top-level window;
// null when there is none or more than one to choose from.
QWidget *messageBoxOwner();

} // namespace tambolin
