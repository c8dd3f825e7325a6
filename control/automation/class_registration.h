#pragma once
// The player control's class registration in the registry, as a container
// reads it to find the library that holds the class.

#include "control/automation/class_entry.h"

#include <QString>

namespace tambolin {

// Writes the registration of every class of this library, naming libraryPath
// as the library that holds them.
HRESULT registerControlClasses(const QString &libraryPath);

// The absolute path of the loaded library that holds this code.
QString thisLibraryPath();

} // namespace tambolin

extern "C" {
// Registers the classes with the path this library was loaded from.
Q_DECL_EXPORT tambolin::HRESULT DllRegisterServer();
}
