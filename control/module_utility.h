#pragma once
// The utility object of the calling thread, shared by every player control on
// it: created on first use, it lives as long as the thread's module state.

namespace tambolin {

class CL_GL010C;

CL_GL010C &gl010c();

} // namespace tambolin
