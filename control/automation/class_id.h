#pragma once
// The player control's class as hosts name it: program identifier and class
// identifier. Names only, so a container that does not link the control can
// include it.

namespace tambolin {

inline constexpr char kPlayctrlProgId[] = "TAMBOLIN.PLAYCTRL";
inline constexpr char kPlayctrlClsid[] = "{363FB05D-8512-4409-8FF8-994AAFFFAD18}";

} // namespace tambolin
