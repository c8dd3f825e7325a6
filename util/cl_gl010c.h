#pragma once
// CL_GL010C: the general utility class. Stateless; every method works only on
// its arguments and on the system. Arguments are by reference unless noted.
// Each family of methods lives in its own source file (gl010c_<family>.cpp).

#include "platform/runtime/basic_runtime.h"
#include "util/gl010c_array.h"
#include "util/gl010c_date.h"

#include <QString>
#include <QVariant>

class QObject;
class QWidget;

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
    QString RVN_DataDate(QString &ddate, QString &fname);
    QString RVN_LocalDate();
    QString RVN_LocalTime();
    QString RVN_Timeformat(Long &hh, Long &mn, Long &ss, Long &MS);
    Boolean RVN_TimeCheck(Long &hh, Long &mn, Long &ss, Long &MS);
    Boolean RVN_TimeOut(QString &bdate, QString &btime, Long &MS);
    Boolean RVN_TimeOutCheck(Date &startdate, QString &TimeOut);
    // TimeOut and exitflg are optional: nullptr when omitted.
    Boolean RVN_WaitProcess(Long &ProcessID, QString *TimeOut = nullptr,
                            Boolean *exitflg = nullptr);
    void RVN_ProcessTerminate(Long &ProcessID);

    // ---- string formatting and text (gl010c_text.cpp) ----
    QString RVN_FormatChange(QString &mdat, QString &Fstr);
    // linemode is optional: nullptr when omitted (mode 0).
    QString RVN_CharChange(QString &buf, QString &schr, QString &dchr, Integer *linemode = nullptr);
    QString RVN_CharDoubleCheck(QString &buf, QString &schr, Integer &scnt, QString &dchr);
    Boolean RVN_CharLet(QString &buf, QString &hed, QString &dat);
    QString RVN_CharCut(QString &buf, QString &charstr);
    // Fails (an empty result) once the text would pass StrSubstLongest
    // characters or the replacing would take more than StrSubstWork
    // character comparisons: replacements that form new occurrences can
    // otherwise grow without end ("ab" by "bba").
    static constexpr qsizetype StrSubstLongest = 1 << 20;
    static constexpr qint64 StrSubstWork = qint64(1) << 24;
    QString RVN_StrSubst(QString &buf, QString &sstr, QString &dstr);
    Integer RVN_StrEnum(QString &dat, QString &chkstr, StringArray &ldat);
    void RVN_ShellSort(StringArray &sList);
    QString RVN_EllipsisString(QString Source, Long &formhdc, Long WidthPerScreen,
                               Long HeightPerScreen);

    // ---- shell, window, device and system (gl010c_system*.cpp, gl010c_mci.cpp) ----
    // Shell results: above 32 when started, otherwise the reason (2 no such
    // file, 3 no such folder, 5 access denied, 31 nothing opens it).
    // dirname is optional: nullptr when omitted.
    Long RVN_OpenFile(QString &FileName, QString *dirname = nullptr);
    Long RVN_OpenFolder(QString &dirname);
    Long RVN_OpenFindwindow(QString &dirname);
    Long RVN_OpenURL(QString &urladdress);
    // An empty docname empties the list.
    void RVN_RecentDocs(QString &docname);
    void RVN_ShellAbout(Long &formhwnd, QString &title, QString &appname);
    Boolean RVN_ShutDownDialog();
    Boolean RVN_RestartSystem(Long &formhwnd);
    // cmode -1 connect, 0 disconnect; ctype -1 disk, 0 printer.
    void RVN_NetConnect(Long &formhwnd, Long &cmode, Long &ctype);
    QString RVN_MCISendString(QString &cmdstr);
    // pict: a widget with a pixmap property (a picture box). full: True the
    // screen, False the active window.
    void RVN_ScreenCapt(QObject *pict, Boolean &full);
    void RVN_SetBitmapMenu(Long &hWnd, Long &MenuNum, Long &SubMenuNum, QObject *DrawPict);
    // Palam is optional: nullptr when omitted.
    Long RVN_SetFormMoveTop(QWidget *frmObject, Long &Moveflg, Boolean *Palam = nullptr);
    void RVN_FormMouseMove(Long &formhwnd, Integer &Button);
    Long RVN_MousePointerX();
    Long RVN_MousePointerY();
    void RVN_ListViewGridLine(Long &listhwnd, Boolean &gridline);
    void RVN_ListViewLineSelect(Long &listhwnd, Boolean &lineselect);
    Long RVN_DisplayColor(Long &formhdc);
    Boolean RVN_DLLFunctionCheck(QString &DLLFile, QString &Funcname);
    Boolean RVN_CompiledCheck(QWidget *frmTarget);
    void RVN_Sleep(Long &dwMilliseconds);
    Long RVN_APIErrorGet();
};

} // namespace tambolin
