#pragma once
// A child object that is not there fails the statement, as a call into a
// missing control does, instead of touching a null pointer.

#include "platform/runtime/basic_runtime.h"

namespace tambolin {

template <class T> T &checked(T *object) {
    if (!object)
        failStep();
    return *object;
}

} // namespace tambolin
