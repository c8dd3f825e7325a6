#pragma once
// ServiceJisSjis: one two-byte character between Shift_JIS and JIS X 0208,
// converted in place. A pair that has no counterpart becomes 00 00.

#include "platform/runtime/basic_runtime.h"

namespace tambolin {

void SjisToJis(Byte &b1, Byte &b2);
void JisToSjis(Byte &b1, Byte &b2);

} // namespace tambolin
