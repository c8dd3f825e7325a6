#include "control/module_utility.h"

#include "util/cl_gl010c.h"

namespace tambolin {

CL_GL010C &gl010c() {
    thread_local CL_GL010C utility;
    return utility;
}

} // namespace tambolin
