#pragma once
// Window placement and the few window messages the utility class sends, on
// the widgets behind window handles: the list views' extended styles and a
// caption press that lets the user drag the window.

#include "platform/runtime/basic_runtime.h"

#include <cstdint>

namespace tambolin {

using LRESULT = std::intptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;

inline constexpr unsigned WM_NCLBUTTONDOWN = 0xA1;
inline constexpr WPARAM HTCAPTION = 2;
inline constexpr unsigned LVM_SETEXTENDEDLISTVIEWSTYLE = 0x1036;
inline constexpr unsigned LVM_GETEXTENDEDLISTVIEWSTYLE = 0x1037;
inline constexpr LPARAM LVS_EX_GRIDLINES = 0x1;
inline constexpr LPARAM LVS_EX_FULLROWSELECT = 0x20;

inline constexpr Long HWND_TOPMOST = -1;
inline constexpr Long HWND_NOTOPMOST = -2;
inline constexpr unsigned SWP_NOSIZE = 0x1;
inline constexpr unsigned SWP_NOMOVE = 0x2;
inline constexpr unsigned SWP_SHOWWINDOW = 0x40;

// List views: LVM_GET… gives the style, LVM_SET… sets the bits of lParam
// chosen by the mask wParam (0: all) and gives the style before. A caption
// press starts a system move of the window. 0 for anything else.
LRESULT SendMessageA(Long hwnd, unsigned msg, WPARAM wParam, LPARAM lParam) noexcept;

// Lets go of the mouse if one of our widgets holds it.
bool ReleaseCapture() noexcept;

// Places the top-level window of hwnd: insertAfter HWND_TOPMOST or
// HWND_NOTOPMOST sets its topmost state; x, y (pixels, frame's top left) and
// cx, cy unless SWP_NOMOVE / SWP_NOSIZE; shown with SWP_SHOWWINDOW. 1 when
// done, 0 for an unknown window.
Long SetWindowPos(Long hwnd, Long insertAfter, int x, int y, int cx, int cy,
                  unsigned flags) noexcept;

} // namespace tambolin
