// The control inside a host window: the host disabling its container, the
// file dialogs' owner, the desktop session closing every window with the
// settings form open, and the settings form's captions.

#include "control_fixture.h"
#include "panel_rig.h"

#include "control/frm_tboset.h"
#include "platform/desktop/handles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>

namespace tambolin::testing {
namespace {

using Seq = std::vector<Sent>;

// Puts the control into a host window for the life of the object; the
// control goes back to the fixture, which owns it, before the host ends.
class InHost final {
public:
    InHost(PLAYCTRL &ctrl, QWidget &host) : m_ctrl(ctrl) { ctrl.setParent(&host); }
    ~InHost() { m_ctrl.setParent(nullptr); }
    InHost(const InHost &) = delete;
    InHost &operator=(const InHost &) = delete;

private:
    PLAYCTRL &m_ctrl;
};

using PanelInHost = ControlTest;

TEST_F(PanelInHost, DisablingTheContainerNeitherSilencesNorRestartsTheMelody) {
    QWidget host;
    PLAYCTRL &ctrl = makeControl();
    InHost inside(ctrl, host);
    host.show();
    setMelody(0, {{{2, 0}, {2, 4}}});
    clearSent();
    setPlay(ctrl, true);
    runTo(200); // the first note sounds
    host.setEnabled(false);
    runTo(600); // its note-off and the second note, with the host disabled
    host.setEnabled(true);
    runTo(810);
    EXPECT_EQ(ctrl.Play(), True);
    EXPECT_EQ(sent(), (Seq{{10, noteOn(0)},
                           {400, noteOff(0)},
                           {400, noteOn(4)},
                           {800, noteOff(4)},
                           {810, noteOn(0)}}));
}

TEST_F(PanelInHost, FileDialogsBelongToThePlayersWindow) {
    AnsweringDialogs dialogs;
    ScopedDialogs scoped(dialogs);
    QWidget host;
    PLAYCTRL &ctrl = makeControl();
    InHost inside(ctrl, host);
    host.show();
    ctrl.Command1(3)->click(); // open, cancelled
    ctrl.Command1(4)->click(); // save, cancelled
    ASSERT_EQ(dialogs.asked.size(), 2u);
    EXPECT_EQ(dialogs.asked[0].kind, FileDialogKind::Open);
    EXPECT_EQ(widgetOf(dialogs.asked[0].owner), &host);
    EXPECT_EQ(dialogs.asked[1].kind, FileDialogKind::Save);
    EXPECT_EQ(widgetOf(dialogs.asked[1].owner), &host);

    // Off screen the control has no window to lend: the dialogs stand alone.
    host.hide();
    ctrl.Command1(4)->click();
    ASSERT_EQ(dialogs.asked.size(), 3u);
    EXPECT_EQ(dialogs.asked[2].owner, 0);
}

TEST_F(PanelInHost, SessionEndClosesTheHostPastTheOpenSettingsForm) {
    QWidget host;
    PLAYCTRL &ctrl = makeControl();
    InHost inside(ctrl, host);
    host.show();
    FRM_TBOSET *form = ctrl.settingsForm();
    form->show();
    ASSERT_TRUE(form->isVisible());
    QApplication::closeAllWindows();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(host.isVisible());
    // The form outlives the close, its lists intact.
    EXPECT_EQ(ctrl.settingsForm(), form);
    EXPECT_EQ(form->lstMusicalInstruments()->count(), 128);
}

TEST_F(PanelInHost, SettingsCaptionsShowTheirWholeText) {
    PLAYCTRL &ctrl = makeControl();
    FRM_TBOSET *form = ctrl.settingsForm();
    for (QLabel *label : {form->Label6(), form->Label7()}) {
        SCOPED_TRACE(label->text().toStdString());
        EXPECT_LE(label->sizeHint().width(), label->width());
        EXPECT_EQ(label->pos(), QPoint(6, label == form->Label6() ? 10 : 34));
        // Clear of the list beside it.
        EXPECT_LE(label->geometry().right(), form->cmbOutDevice()->x());
    }
    EXPECT_EQ(form->Label6()->text(), QStringLiteral("MIDI :"));
}

} // namespace
} // namespace tambolin::testing
