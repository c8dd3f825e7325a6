#pragma once
// One of the panel's five picture buttons, usable from the keyboard: it
// takes Tab focus (a mouse click does not move the focus), Space and Return
// press it as a click does, and while the user works the panel by keyboard
// the focused button wears the focus mark. Its accessible name and
// description follow the user's language; its tooltip stays the panel's own.

#include <QToolButton>

namespace tambolin {

class PanelButton final : public QToolButton {
    Q_OBJECT
public:
    // index: the button's element of the panel's array, 1 (play) to 5 (settings).
    PanelButton(int index, QWidget *parent);

    int index() const { return m_index; }

    // Whether the focus mark shows while the button has the focus.
    void setFocusMarkShown(bool shown);
    bool focusMarkShown() const { return m_focusMarkShown; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void retranslate();

    int m_index;
    bool m_focusMarkShown = false;
};

} // namespace tambolin
