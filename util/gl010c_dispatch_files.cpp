// File and path helpers in the dispatch table.

#include "util/gl010c_dispatch_bind.h"
#include "util/gl010c_dispatch_families.h"

namespace tambolin {

void registerFilesMembers(DispatchTable &t) {
    using dispatch::add;
    using enum VarType;
    add(t, "RVN_Filesize", Long, {{"fname", String}}, &CL_GL010C::RVN_Filesize);
    add(t, "RVN_Filekill", Boolean, {{"fname", String}}, &CL_GL010C::RVN_Filekill);
    add(t, "RVN_Mkdir", Boolean, {{"dname", String}}, &CL_GL010C::RVN_Mkdir);
    add(t, "RVN_Path", String, {{"pname", String}}, &CL_GL010C::RVN_Path);
    add(t, "RVN_Pathcheck", String, {{"pname", String}, {"defdir", String}},
        &CL_GL010C::RVN_Pathcheck);
    add(t, "RVN_GetFileName", String, {{"strPathName", String}}, &CL_GL010C::RVN_GetFileName);
    add(t, "RVN_GetFileExt", String, {{"strFileName", String}}, &CL_GL010C::RVN_GetFileExt);
    add(t, "RVN_TempPath", String, {}, &CL_GL010C::RVN_TempPath);
    add(t, "RVN_TempFilename", String, {{"hed", String}}, &CL_GL010C::RVN_TempFilename);
    add(t, "RVN_LenB", Long, {{"str", String}}, &CL_GL010C::RVN_LenB);
    add(t, "RVN_MidB", String, {{"sstr", String}, {"StartLengs", Long}, {"vEndLen", Variant}},
        &CL_GL010C::RVN_MidB);
}

} // namespace tambolin
