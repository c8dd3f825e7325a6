#include "host/frm_tbo.h"

#include "control/automation/class_entry.h"
#include "host/control_extent.h"
#include "host/control_loader.h"

namespace tambolin {

FRM_TBO::FRM_TBO(ControlLoader &loader, QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FRM_TBO"));
    setWindowTitle(QStringLiteral("Form1"));
    resize(kClientWidth, kClientHeight);
    // The window shows at once; the control opens its MIDI device (sound
    // font, audio output) right after the first frame.
    setProperty(kAmbientStartAfterFirstFrame, true);

    m_playctrl1 = loader.create(QString::fromLatin1(kPlayctrlProgId), this);
    if (!m_playctrl1) {
        m_loadError = loader.errorString();
        return;
    }
    m_playctrl1->setObjectName(QStringLiteral("PLAYCTRL1"));
    // The stored extent comes to 163 x 103 pixels: three more than the
    // control's 160 x 100 face and two more than the 161 x 101 client area.
    // Restored as stored, from the form's top left corner, the control covers
    // the whole client area, as the form was designed; the window clips the
    // surplus on the right and at the bottom, which holds only background.
    // The control keeps this size when the form is resized.
    // The extent is the container's to set, whatever size the control
    // would choose for itself.
    m_playctrl1->setFixedSize(extentToPixels(kExtentX, kExtentY));
    m_playctrl1->move(0, 0);
    m_playctrl1->show();
}

} // namespace tambolin
