// Common dialogs in the dispatch table.

#include "util/gl010c_dispatch_bind.h"
#include "util/gl010c_dispatch_families.h"

namespace tambolin {

void registerDialogsMembers(DispatchTable &t) {
    using dispatch::addWindowed;
    using enum VarType;
    addWindowed(
        t, "RVN_ShowOpenFileDlg", String,
        {{"lngHWnd", Long}, {"strFilter", String}, {"strDefDir", String}, {"strDefFile", String}},
        &CL_GL010C::RVN_ShowOpenFileDlg);
    addWindowed(
        t, "RVN_ShowSaveFileDlg", String,
        {{"lngHWnd", Long}, {"strFilter", String}, {"strDefDir", String}, {"strDefFile", String}},
        &CL_GL010C::RVN_ShowSaveFileDlg);
    addWindowed(t, "RVN_FolderSelect", String, {{"formhwnd", Long}, {"foldertype", Long}},
                &CL_GL010C::RVN_FolderSelect);
    addWindowed(t, "RVN_ShowOpenAsDialog", std::nullopt,
                {{"formhwnd", Long}, {"strFileName", String}}, &CL_GL010C::RVN_ShowOpenAsDialog);
    addWindowed(t, "RVN_ShowPropertiesDialog", Long, {{"formhwnd", Long}, {"FileName", String}},
                &CL_GL010C::RVN_ShowPropertiesDialog);
}

} // namespace tambolin
