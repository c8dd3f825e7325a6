#include "control/class_factory.h"

#include "control/automation.h"
#include "control/playctrl.h"

#include <QByteArray>

#include <string_view>

// The registration and the automation interface name one class.
static_assert(std::string_view(tambolin::kPlayctrlClsid) ==
              std::string_view(tambolin::automation::kClassId));
static_assert(std::string_view(tambolin::kPlayctrlProgId) ==
              std::string_view(tambolin::automation::kProgId));

QWidget *tambolin_CreateControl(const char *clsid, QWidget *parent) {
    if (!clsid || qstricmp(clsid, tambolin::kPlayctrlClsid) != 0)
        return nullptr;
    // Nothing may unwind into a container that knows only the C entry point.
    try {
        return new tambolin::PLAYCTRL(parent);
    } catch (...) {
        return nullptr;
    }
}
