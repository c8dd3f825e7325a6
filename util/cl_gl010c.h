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
    // The chosen full path, or "" when cancelled. strFilter holds display
    // text and pattern pairs, each item ended by a NUL. strDefFile is
    // optional: nullptr when omitted. After a choice the current folder is
    // the chosen file's folder.
    QString RVN_ShowOpenFileDlg(Long &lngHWnd, QString &strFilter, QString &strDefDir,
                                QString *strDefFile = nullptr);
    QString RVN_ShowSaveFileDlg(Long &lngHWnd, QString &strFilter, QString &strDefDir,
                                QString *strDefFile = nullptr);
    // The chosen folder, or "" when cancelled. foldertype is optional:
    // nullptr when omitted; the browser always starts at the desktop.
    QString RVN_FolderSelect(Long &formhwnd, Long *foldertype = nullptr);
    void RVN_ShowOpenAsDialog(Long &formhwnd, QString &strFileName);
    // Above 32 when the properties are shown, 32 or less otherwise.
    Long RVN_ShowPropertiesDialog(Long &formhwnd, QString &FileName);

    // ---- registry, INI files and environment (gl010c_registry.cpp) ----
    // root is a predefined registry root (HKEY_LOCAL_MACHINE, ...); "" when
    // the key or value cannot be read or the text is 1024 bytes or longer.
    QString RVN_RegGet(Long &root, QString &key, QString &nm);
    // Creates the key when needed and writes Data as a string value.
    Boolean RVN_RegSet(Long &root, QString &key, QString &nm, QString &Data);
    // A null key lists the section's key names, a null section the section
    // names, separated by NUL characters. Missing entry or file: "".
    QString RVN_IniGet(QString &section, QString &key, QString &ininame);
    // Always writes: the arguments never reach the profile as null strings.
    void RVN_IniWrite(QString &section, QString &key, QString &str, QString &ininame);
    QString RVN_EnvironGet(QString &evname);
    // Nonzero on success; a null evdat removes the variable.
    Long RVN_EnvironSet(QString &evname, QString &evdat);

    // ---- dates, times, time-outs and processes (gl010c_datetime.cpp) ----

    // ---- string formatting and text (gl010c_text.cpp) ----

    // ---- shell, window, device and system (gl010c_system.cpp) ----
};

} // namespace tambolin
