#pragma once
// How a container finds and creates the player control without linking it.
// The library records its class in the registry (program identifier ->
// class identifier -> library path) and exports two C entry points that a
// container resolves by name once it has loaded the library. This header
// holds only names and signatures, so a container can include it freely.

#include "control/automation/class_id.h"

#include <cstdint>

class QWidget;

namespace tambolin {

using HRESULT = std::int32_t;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT SELFREG_E_CLASS = static_cast<HRESULT>(0x80040201u);

// Registry keys below HKEY_CLASSES_ROOT.
inline constexpr char kClsidKey[] = "CLSID";                 // <progid>\CLSID, CLSID\<clsid>
inline constexpr char kInprocServerKey[] = "InprocServer32"; // CLSID\<clsid>\InprocServer32
inline constexpr char kProgIdKey[] = "ProgID";               // CLSID\<clsid>\ProgID

// An ambient property a container may set on the parent it hands to the
// factory: true when it shows its window first and wants the control's
// slow start (opening the MIDI device) right after the first frame.
inline constexpr char kAmbientStartAfterFirstFrame[] = "ambientStartAfterFirstFrame";

// Entry point names, as a container resolves them.
inline constexpr char kRegisterServerSymbol[] = "DllRegisterServer";
inline constexpr char kCreateControlSymbol[] = "tambolin_CreateControl";
inline constexpr char kExportControlSymbol[] = "tambolin_ExportControl";

} // namespace tambolin

extern "C" {
// Records every class of the library, with the library's own absolute path;
// S_OK, or SELFREG_E_CLASS when the registry could not be written.
using TambolinRegisterServer = tambolin::HRESULT (*)();
// A new instance of the class clsid (text form with braces) as a child of
// parent; null when the library has no such class.
using TambolinCreateControl = QWidget *(*)(const char *clsid, QWidget *parent);
// Publishes a control the library created on the session bus, as
// tambolin::dbus::exportControl does; 1 when it is there, 0 when not.
using TambolinExportControl = int (*)(QWidget *control);
}
