#include "util/gl010c_dispatch.h"

#include "util/gl010c_dispatch_families.h"

#include <algorithm>
#include <iterator>

namespace tambolin {

const QStringList &DispatchTable::slotNames() {
    static const char *const order[] = {"RVN_FormatChange",
                                        "RVN_APIErrorGet",
                                        "RVN_DataDate",
                                        "RVN_ProcessTerminate",
                                        "RVN_WaitProcess",
                                        "RVN_FolderSelect",
                                        "RVN_ListViewGridLine",
                                        "RVN_ListViewLineSelect",
                                        "RVN_LocalDate",
                                        "RVN_MCISendString",
                                        "RVN_MousePointerX",
                                        "RVN_MousePointerY",
                                        "RVN_ScreenCapt",
                                        "RVN_ShellSort",
                                        "RVN_ShowOpenAsDialog",
                                        "RVN_NetConnect",
                                        "RVN_RestartSystem",
                                        "RVN_ShowPropertiesDialog",
                                        "RVN_OpenFile",
                                        "RVN_OpenFindwindow",
                                        "RVN_OpenFolder",
                                        "RVN_RecentDocs",
                                        "RVN_SetBitmapMenu",
                                        "RVN_CharDoubleCheck",
                                        "RVN_CharLet",
                                        "RVN_DisplayColor",
                                        "RVN_DLLFunctionCheck",
                                        "RVN_EllipsisString",
                                        "RVN_FormMouseMove",
                                        "RVN_ShellAbout",
                                        "RVN_ShutDownDialog",
                                        "RVN_StrEnum",
                                        "RVN_Filekill",
                                        "RVN_ShowSaveFileDlg",
                                        "RVN_ShowOpenFileDlg",
                                        "RVN_CompiledCheck",
                                        "RVN_CharCut",
                                        "RVN_CharChange",
                                        "RVN_Filesize",
                                        "RVN_Mkdir",
                                        "RVN_Path",
                                        "RVN_Pathcheck",
                                        "RVN_RegGet",
                                        "RVN_IniGet",
                                        "RVN_RegSet",
                                        "RVN_EnvironGet",
                                        "RVN_EnvironSet",
                                        "RVN_GetFileName",
                                        "RVN_GetFileExt",
                                        "RVN_LenB",
                                        "RVN_LocalTime",
                                        "RVN_MidB",
                                        "RVN_Sleep",
                                        "RVN_IniWrite",
                                        "RVN_StrSubst",
                                        "RVN_TempFilename",
                                        "RVN_OpenURL",
                                        "RVN_SetFormMoveTop",
                                        "RVN_TempPath",
                                        "RVN_TimeCheck",
                                        "RVN_Timeformat",
                                        "RVN_TimeOut",
                                        "RVN_TimeOutCheck"};
    static const QStringList names(std::begin(order), std::end(order));
    return names;
}

const DispatchTable &DispatchTable::instance() {
    static const DispatchTable table = [] {
        DispatchTable t;
#define TAMBOLIN_REGISTER_FAMILY(Family) register##Family##Members(t);
        TAMBOLIN_GL010C_FAMILIES(TAMBOLIN_REGISTER_FAMILY)
#undef TAMBOLIN_REGISTER_FAMILY
        return t;
    }();
    return table;
}

void DispatchTable::add(MemberEntry member) {
    const Long id = static_cast<Long>(slotNames().indexOf(member.name));
    if (id < 0 || byId(id))
        qFatal("CL_GL010C dispatch: %s is not a member or is registered twice",
               qPrintable(member.name));
    member.id = id;
    const auto at = std::lower_bound(m_members.begin(), m_members.end(), id,
                                     [](const MemberEntry &m, Long i) { return m.id < i; });
    m_members.insert(at, std::move(member));
}

} // namespace tambolin
