// Registry, INI file and environment helpers in the dispatch table.

#include "util/gl010c_dispatch_bind.h"
#include "util/gl010c_dispatch_families.h"

namespace tambolin {

void registerRegistryMembers(DispatchTable &t) {
    using dispatch::add;
    using enum VarType;
    add(t, "RVN_RegGet", String, {{"root", Long}, {"key", String}, {"nm", String}},
        &CL_GL010C::RVN_RegGet);
    add(t, "RVN_RegSet", Boolean,
        {{"root", Long}, {"key", String}, {"nm", String}, {"Data", String}},
        &CL_GL010C::RVN_RegSet);
    add(t, "RVN_IniGet", String, {{"section", String}, {"key", String}, {"ininame", String}},
        &CL_GL010C::RVN_IniGet);
    add(t, "RVN_IniWrite", std::nullopt,
        {{"section", String}, {"key", String}, {"str", String}, {"ininame", String}},
        &CL_GL010C::RVN_IniWrite);
    add(t, "RVN_EnvironGet", String, {{"evname", String}}, &CL_GL010C::RVN_EnvironGet);
    add(t, "RVN_EnvironSet", Long, {{"evname", String}, {"evdat", String}},
        &CL_GL010C::RVN_EnvironSet);
}

} // namespace tambolin
