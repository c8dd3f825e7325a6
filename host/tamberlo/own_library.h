#pragma once
// The desktop player drives the control through the library it was linked
// with, so the class it creates by name must come from that same file: a
// registration naming any other copy (a build tree, an older install) is
// pointed back at this one before the control is created.

#include <QString>

namespace tambolin::tamberlo {

// The control library this program runs with.
QString ownControlLibrary();

// Registers ownControlLibrary() unless the registration already names that
// file; false when the registry could not be written.
bool registerOwnLibrary();

} // namespace tambolin::tamberlo
