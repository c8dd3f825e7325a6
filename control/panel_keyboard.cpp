#include "control/panel_keyboard.h"

#include "control/panel_button.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QWidget>
#include <algorithm>

namespace tambolin {

PanelKeyboard::PanelKeyboard(QWidget &panel, const std::array<PanelButton *, 5> &buttons)
    : QObject(&panel), m_panel(panel) {
    std::copy(buttons.begin(), buttons.end(), m_buttons.begin());
    // Which of keyboard and mouse the user touched last, in the panel's
    // window: the application sees every key, wherever the focus is. The
    // buttons' own events (focus, enabling, Tab) come this way too.
    QCoreApplication::instance()->installEventFilter(this);
}

PanelKeyboard::~PanelKeyboard() {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool PanelKeyboard::inPanelWindow(QObject *object) const {
    auto *widget = qobject_cast<QWidget *>(object);
    return widget && widget->window() == m_panel.window();
}

bool PanelKeyboard::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
    case QEvent::KeyPress: {
        const bool wasKeyboard = m_keyboardMode;
        if (!m_keyboardMode && inPanelWindow(watched))
            setKeyboardMode(true);
        auto *button = qobject_cast<PanelButton *>(watched);
        if (!button || !isOurs(button))
            break;
        // A button presses only once the user can see which one it is: a
        // first Space or Return only brings the mark up.
        if (!wasKeyboard && isPressKey(*static_cast<QKeyEvent *>(event)))
            return true;
        return tabKey(*button, *static_cast<QKeyEvent *>(event));
    }
    case QEvent::ShortcutOverride:
        // A window's own Space or Return shortcut gives way to the button
        // whose focus the user sees.
        if (auto *button = qobject_cast<PanelButton *>(watched);
            button && isOurs(button) && m_keyboardMode &&
            isPressKey(*static_cast<QKeyEvent *>(event))) {
            event->accept();
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (m_keyboardMode && inPanelWindow(watched))
            setKeyboardMode(false);
        break;
    case QEvent::FocusIn:
        if (auto *button = qobject_cast<PanelButton *>(watched); button && isOurs(button)) {
            m_lastFocused = button;
            m_focusLost = false;
        }
        break;
    case QEvent::EnabledChange:
        if (auto *button = qobject_cast<PanelButton *>(watched); button && isOurs(button))
            enabledChanged(*button);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool PanelKeyboard::isPressKey(const QKeyEvent &key) {
    const int k = key.key();
    const bool press = k == Qt::Key_Space || k == Qt::Key_Return || k == Qt::Key_Enter;
    return press && (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool PanelKeyboard::tabKey(PanelButton &from, const QKeyEvent &key) {
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const bool back = key.key() == Qt::Key_Backtab ||
                      (key.key() == Qt::Key_Tab && (key.modifiers() & Qt::ShiftModifier));
    if (!back && key.key() != Qt::Key_Tab)
        return false;
    const Qt::FocusReason reason = back ? Qt::BacktabFocusReason : Qt::TabFocusReason;
    const auto takes = [](const PanelButton *b) {
        return b && b->isEnabled() && b->isVisible() && (b->focusPolicy() & Qt::TabFocus);
    };
    const auto at = std::find(m_buttons.begin(), m_buttons.end(), &from) - m_buttons.begin();
    const int count = static_cast<int>(m_buttons.size());
    const int step = back ? -1 : 1;
    // Along the row first; past its end only when nothing else in the
    // window takes the focus, so the panel never traps it.
    for (int i = static_cast<int>(at) + step; i >= 0 && i < count; i += step)
        if (PanelButton *b = m_buttons[static_cast<std::size_t>(i)]; takes(b)) {
            b->setFocus(reason);
            return true;
        }
    if (othersTakeFocus())
        return false;
    for (int i = back ? count - 1 : 0; i != static_cast<int>(at); i += step)
        if (PanelButton *b = m_buttons[static_cast<std::size_t>(i)]; takes(b)) {
            b->setFocus(reason);
            return true;
        }
    return true; // the only button that takes the focus keeps it
}

bool PanelKeyboard::othersTakeFocus() const {
    QWidget *window = m_panel.window();
    const auto widgets = window->findChildren<QWidget *>();
    return std::any_of(widgets.begin(), widgets.end(), [&](const QWidget *w) {
        return w->window() == window && w != &m_panel && !m_panel.isAncestorOf(w) &&
               (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisible();
    });
}

bool PanelKeyboard::isOurs(const PanelButton *button) const {
    return std::find(m_buttons.begin(), m_buttons.end(), button) != m_buttons.end();
}

void PanelKeyboard::setKeyboardMode(bool on) {
    m_keyboardMode = on;
    for (PanelButton *button : m_buttons)
        if (button)
            button->setFocusMarkShown(on);
}

void PanelKeyboard::enabledChanged(PanelButton &button) {
    // By now the toolkit has moved the focus of a disabled button on to the
    // next enabled one, or, with none enabled, dropped it.
    if (!button.isEnabled()) {
        if (&button == m_lastFocused && !m_panel.window()->focusWidget())
            m_focusLost = true;
        return;
    }
    if (m_focusLost && !m_panel.window()->focusWidget() && button.isVisible()) {
        m_focusLost = false;
        button.setFocus(Qt::OtherFocusReason);
    }
}

} // namespace tambolin
