#include "util/gl010c_dispatch.h"

#include "util/gl010c_dispatch_families.h"

#include <algorithm>

namespace tambolin {

const QStringList &DispatchTable::slotNames() {
    static const QStringList names = {
        QStringLiteral("RVN_FormatChange"),
        QStringLiteral("RVN_APIErrorGet"),
        QStringLiteral("RVN_DataDate"),
        QStringLiteral("RVN_ProcessTerminate"),
        QStringLiteral("RVN_WaitProcess"),
        QStringLiteral("RVN_FolderSelect"),
        QStringLiteral("RVN_ListViewGridLine"),
        QStringLiteral("RVN_ListViewLineSelect"),
        QStringLiteral("RVN_LocalDate"),
        QStringLiteral("RVN_MCISendString"),
        QStringLiteral("RVN_MousePointerX"),
        QStringLiteral("RVN_MousePointerY"),
        QStringLiteral("RVN_ScreenCapt"),
        QStringLiteral("RVN_ShellSort"),
        QStringLiteral("RVN_ShowOpenAsDialog"),
        QStringLiteral("RVN_NetConnect"),
        QStringLiteral("RVN_RestartSystem"),
        QStringLiteral("RVN_ShowPropertiesDialog"),
        QStringLiteral("RVN_OpenFile"),
        QStringLiteral("RVN_OpenFindwindow"),
        QStringLiteral("RVN_OpenFolder"),
        QStringLiteral("RVN_RecentDocs"),
        QStringLiteral("RVN_SetBitmapMenu"),
        QStringLiteral("RVN_CharDoubleCheck"),
        QStringLiteral("RVN_CharLet"),
        QStringLiteral("RVN_DisplayColor"),
        QStringLiteral("RVN_DLLFunctionCheck"),
        QStringLiteral("RVN_EllipsisString"),
        QStringLiteral("RVN_FormMouseMove"),
        QStringLiteral("RVN_ShellAbout"),
        QStringLiteral("RVN_ShutDownDialog"),
        QStringLiteral("RVN_StrEnum"),
        QStringLiteral("RVN_Filekill"),
        QStringLiteral("RVN_ShowSaveFileDlg"),
        QStringLiteral("RVN_ShowOpenFileDlg"),
        QStringLiteral("RVN_CompiledCheck"),
        QStringLiteral("RVN_CharCut"),
        QStringLiteral("RVN_CharChange"),
        QStringLiteral("RVN_Filesize"),
        QStringLiteral("RVN_Mkdir"),
        QStringLiteral("RVN_Path"),
        QStringLiteral("RVN_Pathcheck"),
        QStringLiteral("RVN_RegGet"),
        QStringLiteral("RVN_IniGet"),
        QStringLiteral("RVN_RegSet"),
        QStringLiteral("RVN_EnvironGet"),
        QStringLiteral("RVN_EnvironSet"),
        QStringLiteral("RVN_GetFileName"),
        QStringLiteral("RVN_GetFileExt"),
        QStringLiteral("RVN_LenB"),
        QStringLiteral("RVN_LocalTime"),
        QStringLiteral("RVN_MidB"),
        QStringLiteral("RVN_Sleep"),
        QStringLiteral("RVN_IniWrite"),
        QStringLiteral("RVN_StrSubst"),
        QStringLiteral("RVN_TempFilename"),
        QStringLiteral("RVN_OpenURL"),
        QStringLiteral("RVN_SetFormMoveTop"),
        QStringLiteral("RVN_TempPath"),
        QStringLiteral("RVN_TimeCheck"),
        QStringLiteral("RVN_Timeformat"),
        QStringLiteral("RVN_TimeOut"),
        QStringLiteral("RVN_TimeOutCheck"),
    };
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
