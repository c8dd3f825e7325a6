#pragma once
// The families of CL_GL010C present in the dispatch table. Adding a family:
// write util/gl010c_dispatch_<family>.cpp with its register function and
// add one line here.

namespace tambolin {

class DispatchTable;

#define TAMBOLIN_GL010C_FAMILIES(X)                                                                \
    X(Files)                                                                                       \
    X(Datetime)                                                                                    \
    X(Text)

#define TAMBOLIN_DECLARE_FAMILY(Family) void register##Family##Members(DispatchTable &table);
TAMBOLIN_GL010C_FAMILIES(TAMBOLIN_DECLARE_FAMILY)
#undef TAMBOLIN_DECLARE_FAMILY

} // namespace tambolin
