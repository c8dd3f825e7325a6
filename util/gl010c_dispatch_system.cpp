// Shell, window, device and system helpers in the dispatch table. A form or
// a picture box travels as its handle (declared Object).

#include "util/gl010c_dispatch_bind.h"
#include "util/gl010c_dispatch_families.h"

namespace tambolin {

void registerSystemMembers(DispatchTable &t) {
    using dispatch::add;
    using dispatch::addWindowed;
    using enum VarType;
    add(t, "RVN_OpenFile", Long, {{"FileName", String}, {"dirname", String}},
        &CL_GL010C::RVN_OpenFile);
    add(t, "RVN_OpenFolder", Long, {{"dirname", String}}, &CL_GL010C::RVN_OpenFolder);
    add(t, "RVN_OpenFindwindow", Long, {{"dirname", String}}, &CL_GL010C::RVN_OpenFindwindow);
    add(t, "RVN_OpenURL", Long, {{"urladdress", String}}, &CL_GL010C::RVN_OpenURL);
    add(t, "RVN_RecentDocs", std::nullopt, {{"docname", String}}, &CL_GL010C::RVN_RecentDocs);
    addWindowed(t, "RVN_ShellAbout", std::nullopt,
                {{"formhwnd", Long}, {"title", String}, {"appname", String}},
                &CL_GL010C::RVN_ShellAbout);
    addWindowed(t, "RVN_ShutDownDialog", Boolean, {}, &CL_GL010C::RVN_ShutDownDialog);
    addWindowed(t, "RVN_RestartSystem", Boolean, {{"formhwnd", Long}},
                &CL_GL010C::RVN_RestartSystem);
    addWindowed(t, "RVN_NetConnect", std::nullopt,
                {{"formhwnd", Long}, {"cmode", Long}, {"ctype", Long}}, &CL_GL010C::RVN_NetConnect);
    add(t, "RVN_MCISendString", String, {{"cmdstr", String}}, &CL_GL010C::RVN_MCISendString);
    addWindowed(t, "RVN_ScreenCapt", std::nullopt, {{"pict", Object}, {"full", Boolean}},
                &CL_GL010C::RVN_ScreenCapt);
    addWindowed(t, "RVN_SetBitmapMenu", std::nullopt,
                {{"hWnd", Long}, {"MenuNum", Long}, {"SubMenuNum", Long}, {"DrawPict", Object}},
                &CL_GL010C::RVN_SetBitmapMenu);
    addWindowed(t, "RVN_SetFormMoveTop", Long,
                {{"frmObject", Object}, {"Moveflg", Long}, {"Palam", Boolean}},
                &CL_GL010C::RVN_SetFormMoveTop);
    addWindowed(t, "RVN_FormMouseMove", std::nullopt, {{"formhwnd", Long}, {"Button", Integer}},
                &CL_GL010C::RVN_FormMouseMove);
    addWindowed(t, "RVN_MousePointerX", Long, {}, &CL_GL010C::RVN_MousePointerX);
    addWindowed(t, "RVN_MousePointerY", Long, {}, &CL_GL010C::RVN_MousePointerY);
    addWindowed(t, "RVN_ListViewGridLine", std::nullopt,
                {{"listhwnd", Long}, {"gridline", Boolean}}, &CL_GL010C::RVN_ListViewGridLine);
    addWindowed(t, "RVN_ListViewLineSelect", std::nullopt,
                {{"listhwnd", Long}, {"lineselect", Boolean}}, &CL_GL010C::RVN_ListViewLineSelect);
    addWindowed(t, "RVN_DisplayColor", Long, {{"formhdc", Long}}, &CL_GL010C::RVN_DisplayColor);
    add(t, "RVN_DLLFunctionCheck", Boolean, {{"DLLFile", String}, {"Funcname", String}},
        &CL_GL010C::RVN_DLLFunctionCheck);
    add(t, "RVN_CompiledCheck", Boolean, {{"frmTarget", Object}}, &CL_GL010C::RVN_CompiledCheck);
    add(t, "RVN_Sleep", std::nullopt, {{"dwMilliseconds", Long}}, &CL_GL010C::RVN_Sleep);
    add(t, "RVN_APIErrorGet", Long, {}, &CL_GL010C::RVN_APIErrorGet);
}

} // namespace tambolin
