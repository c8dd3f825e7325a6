#include "control/automation/class_factory.h"

#include "control/playctrl.h"

#include <QByteArray>

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
