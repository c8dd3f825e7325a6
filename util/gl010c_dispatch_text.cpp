// String formatting and text helpers in the dispatch table.

#include "util/gl010c_dispatch_bind.h"
#include "util/gl010c_dispatch_families.h"

namespace tambolin {

void registerTextMembers(DispatchTable &t) {
    using dispatch::add;
    using enum VarType;
    add(t, "RVN_FormatChange", String, {{"mdat", String}, {"Fstr", String}},
        &CL_GL010C::RVN_FormatChange);
    add(t, "RVN_CharChange", String,
        {{"buf", String}, {"schr", String}, {"dchr", String}, {"linemode", Integer}},
        &CL_GL010C::RVN_CharChange);
    add(t, "RVN_CharDoubleCheck", String,
        {{"buf", String}, {"schr", String}, {"scnt", Integer}, {"dchr", String}},
        &CL_GL010C::RVN_CharDoubleCheck);
    add(t, "RVN_CharLet", Boolean, {{"buf", String}, {"hed", String}, {"dat", String}},
        &CL_GL010C::RVN_CharLet);
    add(t, "RVN_CharCut", String, {{"buf", String}, {"charstr", String}}, &CL_GL010C::RVN_CharCut);
    add(t, "RVN_StrSubst", String, {{"buf", String}, {"sstr", String}, {"dstr", String}},
        &CL_GL010C::RVN_StrSubst);
    add(t, "RVN_StrEnum", Integer, {{"dat", String}, {"chkstr", String}, {"ldat", String}},
        &CL_GL010C::RVN_StrEnum);
    add(t, "RVN_ShellSort", std::nullopt, {{"sList", String}}, &CL_GL010C::RVN_ShellSort);
    add(t, "RVN_EllipsisString", String,
        {{"Source", String},
         {"formhdc", Long},
         {"WidthPerScreen", Long},
         {"HeightPerScreen", Long}},
        &CL_GL010C::RVN_EllipsisString);
}

} // namespace tambolin
