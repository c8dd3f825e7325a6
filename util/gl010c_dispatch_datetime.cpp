// Dates, times, time-outs and processes in the dispatch table.

#include "util/gl010c_dispatch_bind.h"
#include "util/gl010c_dispatch_families.h"

namespace tambolin {

void registerDatetimeMembers(DispatchTable &t) {
    using dispatch::add;
    using enum VarType;
    add(t, "RVN_DataDate", String, {{"ddate", String}, {"fname", String}},
        &CL_GL010C::RVN_DataDate);
    add(t, "RVN_LocalDate", String, {}, &CL_GL010C::RVN_LocalDate);
    add(t, "RVN_LocalTime", String, {}, &CL_GL010C::RVN_LocalTime);
    add(t, "RVN_Timeformat", String, {{"hh", Long}, {"mn", Long}, {"ss", Long}, {"MS", Long}},
        &CL_GL010C::RVN_Timeformat);
    add(t, "RVN_TimeCheck", Boolean, {{"hh", Long}, {"mn", Long}, {"ss", Long}, {"MS", Long}},
        &CL_GL010C::RVN_TimeCheck);
    add(t, "RVN_TimeOut", Boolean, {{"bdate", String}, {"btime", String}, {"MS", Long}},
        &CL_GL010C::RVN_TimeOut);
    add(t, "RVN_TimeOutCheck", Boolean, {{"startdate", Date}, {"TimeOut", String}},
        &CL_GL010C::RVN_TimeOutCheck);
    add(t, "RVN_WaitProcess", Boolean,
        {{"ProcessID", Long}, {"TimeOut", String}, {"exitflg", Boolean}},
        &CL_GL010C::RVN_WaitProcess);
    add(t, "RVN_ProcessTerminate", std::nullopt, {{"ProcessID", Long}},
        &CL_GL010C::RVN_ProcessTerminate);
}

} // namespace tambolin
