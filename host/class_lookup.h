#pragma once
// Finding a control class by its program identifier, as the library's
// registration left it: HKEY_CLASSES_ROOT\<progid>\CLSID names the class,
// HKEY_CLASSES_ROOT\CLSID\<clsid>\InprocServer32 the library that holds it.

#include <QString>

namespace tambolin {

struct RegisteredClass final {
    QString clsid;   // "{...}"
    QString library; // absolute path of the library
};

// The class registered under progId; on failure, why not in error.
bool findRegisteredClass(const QString &progId, RegisteredClass &found, QString &error);

} // namespace tambolin
