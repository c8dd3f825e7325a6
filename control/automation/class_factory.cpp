#include "control/automation/class_factory.h"

#include "control/playctrl.h"

#include <QByteArray>
#include <QVariant>

QWidget *tambolin_CreateControl(const char *clsid, QWidget *parent) {
    if (!clsid || qstricmp(clsid, tambolin::kPlayctrlClsid) != 0)
        return nullptr;
    // Nothing may unwind into a container that knows only the C entry point.
    try {
        const bool afterFirstFrame =
            parent && parent->property(tambolin::kAmbientStartAfterFirstFrame).toBool();
        return new tambolin::PLAYCTRL(parent, afterFirstFrame
                                                  ? tambolin::PLAYCTRL::MidiStart::AfterFirstFrame
                                                  : tambolin::PLAYCTRL::MidiStart::AtOnce);
    } catch (...) {
        return nullptr;
    }
}
