#pragma once
// CL_GL010C: the general utility class. Stateless; every method works only on
// its arguments and on the system. Arguments are by reference unless noted.
// Each family of methods lives in its own source file (gl010c_<family>.cpp).

#include "platform/basic_runtime.h"

#include <QString>
#include <QVariant>

namespace tambolin {

class CL_GL010C final {
public:
    // ---- files and paths (gl010c_files.cpp) ----
    Long RVN_Filesize(QString &fname);
    Boolean RVN_Filekill(QString &fname);
    Boolean RVN_Mkdir(QString &dname);
    QString RVN_Path(QString pname);
    QString RVN_Pathcheck(QString &pname, QString &defdir);
    QString RVN_GetFileName(QString &strPathName);
    QString RVN_GetFileExt(QString &strFileName);
    QString RVN_TempPath();
    QString RVN_TempFilename(QString &hed);
    Long RVN_LenB(QString &str);
    // vEndLen is optional: nullptr when omitted.
    QString RVN_MidB(QString &sstr, Long &StartLengs, QVariant *vEndLen = nullptr);

    // ---- common dialogs (gl010c_dialogs.cpp) ----

    // ---- registry, INI files and environment (gl010c_registry.cpp) ----

    // ---- dates, times, time-outs and processes (gl010c_datetime.cpp) ----

    // ---- string formatting and text (gl010c_text.cpp) ----

    // ---- shell, window, device and system (gl010c_system.cpp) ----
};

} // namespace tambolin
