#pragma once
// The panel's keyboard behaviour across its buttons: the focus mark shows
// while the user works the window by keyboard (from a key pressed in it to
// the next mouse press in it), and a button takes Space or Return only
// while its mark shows, so no key presses a button the user cannot see;
// Tab runs through the buttons in the order of their array; and when the
// focused button turns disabled under the user's key (play becomes stop,
// stop becomes play), the focus goes on to the button that took over,
// never nowhere.

#include <QObject>
#include <QPointer>
#include <array>

class QKeyEvent;

namespace tambolin {

class PanelButton;

class PanelKeyboard final : public QObject {
    Q_OBJECT
public:
    // buttons: the panel's five, in the order of the array; panel: their parent.
    PanelKeyboard(QWidget &panel, const std::array<PanelButton *, 5> &buttons);
    ~PanelKeyboard() override;
    PanelKeyboard(const PanelKeyboard &) = delete;
    PanelKeyboard &operator=(const PanelKeyboard &) = delete;

    bool keyboardMode() const { return m_keyboardMode; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setKeyboardMode(bool on);
    bool inPanelWindow(QObject *object) const;
    bool isOurs(const PanelButton *button) const;
    // Tab and Shift+Tab on a button: on to the next enabled button of the
    // row. True when the key is used up.
    bool tabKey(PanelButton &from, const QKeyEvent &key);
    bool othersTakeFocus() const;
    // Space, Return or Enter with no modifier: the keys that press a button.
    static bool isPressKey(const QKeyEvent &key);
    void enabledChanged(PanelButton &button);

    QWidget &m_panel;
    // Guarded: the buttons go before this object when the panel ends.
    std::array<QPointer<PanelButton>, 5> m_buttons;
    bool m_keyboardMode = false;
    QPointer<PanelButton> m_lastFocused;
    // A focused button was disabled and the focus went nowhere: the next
    // button enabled takes it.
    bool m_focusLost = false;
};

} // namespace tambolin
