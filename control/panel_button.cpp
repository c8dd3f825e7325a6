#include "control/panel_button.h"

#include "control/artwork.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace tambolin {

namespace {

struct ButtonTexts {
    const char *name;
    const char *description;
};

// What a screen reader says for each button, in the order of the array.
// The names are the tooltips' words.
constexpr ButtonTexts kTexts[5] = {
    {QT_TRANSLATE_NOOP("PLAYCTRL", "再生"),
     QT_TRANSLATE_NOOP("PLAYCTRL", "メロディを最初から繰り返し再生します")},
    {QT_TRANSLATE_NOOP("PLAYCTRL", "停止"), QT_TRANSLATE_NOOP("PLAYCTRL", "再生を止めます")},
    {QT_TRANSLATE_NOOP("PLAYCTRL", "ファイル読み込み"),
     QT_TRANSLATE_NOOP("PLAYCTRL", "メロディファイルを選んで開きます")},
    {QT_TRANSLATE_NOOP("PLAYCTRL", "保存"),
     QT_TRANSLATE_NOOP("PLAYCTRL", "メロディを名前を付けて保存します")},
    {QT_TRANSLATE_NOOP("PLAYCTRL", "MIDI設定"),
     QT_TRANSLATE_NOOP("PLAYCTRL", "MIDI出力デバイスと楽器を選びます")},
};

} // namespace

PanelButton::PanelButton(int index, QWidget *parent) : QToolButton(parent), m_index(index) {
    // Tab reaches the buttons; a click leaves the focus where it was, so
    // the panel looks to a mouse user as it always has.
    setFocusPolicy(Qt::TabFocus);
    retranslate();
}

void PanelButton::setFocusMarkShown(bool shown) {
    if (shown == m_focusMarkShown)
        return;
    m_focusMarkShown = shown;
    update();
}

void PanelButton::keyPressEvent(QKeyEvent *event) {
    // Return and Enter press the button at once, through the same click
    // as the mouse; Space is the button's own (pressed down, clicked on release).
    const bool enterKey = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enterKey && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (!event->isAutoRepeat() && isEnabled())
            click();
        event->accept();
        return;
    }
    QToolButton::keyPressEvent(event);
}

void PanelButton::paintEvent(QPaintEvent *) {
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    // Our own mark stands for the focus; the style's would show after a mere
    // mouse click as well.
    option.state &= ~QStyle::State_HasFocus;
    painter.drawComplexControl(QStyle::CC_ToolButton, option);
    if (m_focusMarkShown && hasFocus())
        painter.drawImage(0, 0, artwork::focusMark(size()));
}

void PanelButton::changeEvent(QEvent *event) {
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QToolButton::changeEvent(event);
}

void PanelButton::retranslate() {
    if (m_index < 1 || m_index > 5)
        return;
    const ButtonTexts &texts = kTexts[m_index - 1];
    setAccessibleName(QCoreApplication::translate("PLAYCTRL", texts.name));
    setAccessibleDescription(QCoreApplication::translate("PLAYCTRL", texts.description));
}

} // namespace tambolin
