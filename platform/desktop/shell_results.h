#pragma once
// What the shell answers when asked to show a file: shown, or why not.

#include "platform/runtime/basic_runtime.h"

namespace tambolin {

// Results of the properties sheet: above 32 when it is shown, otherwise the
// reason it is not.
inline constexpr Long SE_ERR_FNF = 2;      // no such file
inline constexpr Long SE_ERR_NOASSOC = 31; // nothing on the desktop shows it
inline constexpr Long SE_SHOWN = 42;

} // namespace tambolin
