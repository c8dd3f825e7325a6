// The panel worked by keyboard alone: Tab reaches the buttons, Space and
// Return press them, the focus follows play and stop, and the focus mark
// shows only while the keyboard is in use.

#include "panel_rig.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

namespace tambolin::testing {
namespace {

constexpr QRgb kAmber = qRgb(0xf0, 0xd2, 0x2e);

class PanelKeyboard : public ControlTest {
protected:
    // A control alone in its window, active, with a melody of three parts loaded.
    PLAYCTRL &shownControl() {
        PLAYCTRL &ctrl = makeControl();
        ctrl.show();
        ctrl.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&ctrl));
        return ctrl;
    }
    void loadMelody(PLAYCTRL &ctrl) {
        ASSERT_TRUE(m_files.isValid());
        const QString path = m_files.filePath(QStringLiteral("keys.tbn"));
        ASSERT_TRUE(writeMelodyFile(path, QStringLiteral("KEYS"), {3, 2, 2}, 4));
        ctrl.loadMelody(path);
        ASSERT_TRUE(ctrl.Command1(1)->isEnabled());
    }
    // A key as the user types it: to the widget with the focus.
    static void type(Qt::Key key) {
        QWidget *target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr) << "no widget has the focus";
        QTest::keyClick(target, key);
    }
    // Tabs until the button has the focus; false if it never comes.
    static bool tabTo(QAbstractButton *button) {
        for (int presses = 0; presses < 6 && QApplication::focusWidget() != button; ++presses)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        return QApplication::focusWidget() == button;
    }
    static QRgb edgePixel(QAbstractButton *button) {
        return button->grab().toImage().pixel(1, button->height() / 2);
    }
    static QRgb centrePixel(QAbstractButton *button) {
        return button->grab().toImage().pixel(button->width() / 2, button->height() / 2);
    }

    QTemporaryDir m_files;
    // The open and save buttons ask for a file; the test cancels.
    AnsweringDialogs m_dialogs;
    ScopedDialogs m_scopedDialogs{m_dialogs};
};

TEST_F(PanelKeyboard, TabReachesPlaySpacePlaysAndSpaceAgainStops) {
    PLAYCTRL &ctrl = shownControl();
    loadMelody(ctrl);
    clearSent();

    ASSERT_TRUE(tabTo(ctrl.Command1(1)));
    type(Qt::Key_Space);
    EXPECT_EQ(ctrl.Play(), True);
    runTo(now() + 100);
    ASSERT_FALSE(words().empty());
    EXPECT_EQ(words().front(), noteOn(4)); // the first note of part 1
    // Play gave way to stop, and so did the focus.
    EXPECT_FALSE(ctrl.Command1(1)->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), ctrl.Command1(2));

    type(Qt::Key_Space);
    EXPECT_EQ(ctrl.Play(), False);
    EXPECT_FALSE(ctrl.Command1(2)->isEnabled());
    // With every other button disabled the focus had nowhere to go; it
    // comes back with play.
    EXPECT_EQ(QApplication::focusWidget(), ctrl.Command1(1));
}

TEST_F(PanelKeyboard, ReturnPressesTheFocusedButtonAsAClickDoes) {
    PLAYCTRL &ctrl = shownControl();
    loadMelody(ctrl);
    ASSERT_TRUE(tabTo(ctrl.Command1(1)));

    type(Qt::Key_Return);
    EXPECT_EQ(ctrl.Play(), True);
    type(Qt::Key_Enter); // the keypad's
    EXPECT_EQ(ctrl.Play(), False);
    type(Qt::Key_Return);
    EXPECT_EQ(ctrl.Play(), True);
    type(Qt::Key_Return);
    EXPECT_EQ(ctrl.Play(), False);

    // A disabled button takes no press: stop, with nothing playing.
    ctrl.Command1(2)->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(ctrl.Command1(2)->isEnabled());
    QTest::keyClick(ctrl.Command1(2), Qt::Key_Return);
    EXPECT_EQ(ctrl.Play(), False);
}

TEST_F(PanelKeyboard, AFirstKeyOnAnUnseenFocusOnlyShowsIt) {
    PLAYCTRL &ctrl = shownControl();
    loadMelody(ctrl);
    // Focus where the window put it, unseen; a stray Return or Space (one
    // meant for a dialog just closed, say) presses nothing.
    ctrl.Command1(1)->setFocus(Qt::OtherFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), ctrl.Command1(1));
    ASSERT_NE(edgePixel(ctrl.Command1(1)), kAmber);
    type(Qt::Key_Return);
    EXPECT_EQ(ctrl.Play(), False);
    EXPECT_EQ(edgePixel(ctrl.Command1(1)), kAmber);
    // Now the user sees which button it is.
    type(Qt::Key_Return);
    EXPECT_EQ(ctrl.Play(), True);

    // After the mouse, the same again with Space.
    QTest::mouseClick(ctrl.Command1(2), Qt::LeftButton);
    ASSERT_EQ(ctrl.Play(), False);
    ASSERT_EQ(QApplication::focusWidget(), ctrl.Command1(1));
    type(Qt::Key_Space);
    EXPECT_EQ(ctrl.Play(), False);
    type(Qt::Key_Space);
    EXPECT_EQ(ctrl.Play(), True);
}

TEST_F(PanelKeyboard, TabRunsThroughTheEnabledButtonsInTheirOrder) {
    PLAYCTRL &ctrl = shownControl();
    loadMelody(ctrl);
    ASSERT_TRUE(tabTo(ctrl.Command1(1)));
    std::vector<QWidget *> visited{QApplication::focusWidget()};
    for (int i = 0; i < 4; ++i) {
        type(Qt::Key_Tab);
        visited.push_back(QApplication::focusWidget());
    }
    // Stop is disabled while nothing plays, so Tab passes it by; past the
    // last button Tab comes round to the first, and Shift+Tab back.
    const std::vector<QWidget *> expected = {ctrl.Command1(1), ctrl.Command1(3), ctrl.Command1(4),
                                             ctrl.Command1(5), ctrl.Command1(1)};
    EXPECT_EQ(visited, expected);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), ctrl.Command1(5));
    type(Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), ctrl.Command1(4));
}

TEST_F(PanelKeyboard, TheFocusMarkShowsOnlyWhileTheKeyboardIsInUse) {
    PLAYCTRL &ctrl = shownControl();
    loadMelody(ctrl);
    QAbstractButton *play = ctrl.Command1(1);
    QAbstractButton *open = ctrl.Command1(3);
    // The window gave a button the focus as it opened; no key yet, no mark.
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    auto *focused = qobject_cast<QAbstractButton *>(QApplication::focusWidget());
    ASSERT_NE(focused, nullptr);
    const QRgb plainEdge = edgePixel(focused);
    EXPECT_NE(plainEdge, kAmber);

    ASSERT_TRUE(tabTo(play));
    EXPECT_EQ(edgePixel(play), kAmber);
    EXPECT_NE(edgePixel(open), kAmber); // only the focused one wears it
    const QRgb markedCentre = centrePixel(play);

    // A mouse press on the panel ends keyboard use: the mark goes, the
    // focus stays, and the button's picture is the same either way.
    QTest::mousePress(&ctrl, Qt::LeftButton, {}, QPoint(150, 5));
    QTest::mouseRelease(&ctrl, Qt::LeftButton, {}, QPoint(150, 5));
    EXPECT_EQ(QApplication::focusWidget(), play);
    EXPECT_NE(edgePixel(play), kAmber);
    EXPECT_EQ(centrePixel(play), markedCentre);

    // A click on a button presses it but leaves the focus where it was.
    QTest::mouseClick(open, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), play);
}

TEST_F(PanelKeyboard, AMouseUserSeesNoMarkWhenTheToolkitMovesTheFocus) {
    PLAYCTRL &ctrl = shownControl();
    loadMelody(ctrl);
    // Clicking play moves the focus of a button it disables on to stop.
    QTest::mouseClick(ctrl.Command1(1), Qt::LeftButton);
    ASSERT_EQ(ctrl.Play(), True);
    ASSERT_EQ(QApplication::focusWidget(), ctrl.Command1(2));
    EXPECT_NE(edgePixel(ctrl.Command1(2)), kAmber);
    QTest::mouseClick(ctrl.Command1(2), Qt::LeftButton);
    EXPECT_EQ(ctrl.Play(), False);
    EXPECT_NE(edgePixel(ctrl.Command1(1)), kAmber);
}

} // namespace
} // namespace tambolin::testing
