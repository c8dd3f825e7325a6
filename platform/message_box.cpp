#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>

namespace tambolin {

namespace {

MessageBoxHook &hook() {
    thread_local MessageBoxHook h;
    return h;
}

QMessageBox::Icon iconFor(Long style) {
    switch (style & 0x70) {
    case vbCritical:
        return QMessageBox::Critical;
    case vbQuestion:
        return QMessageBox::Question;
    case vbExclamation:
        return QMessageBox::Warning;
    case vbInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

Integer showBox(const MessageBoxCall &call) {
    // Without a widget application there is nobody to ask: take the default button.
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return (call.style & 0x0F) == vbYesNo ? vbYes : vbOK;
    QMessageBox box(iconFor(call.style), call.title, call.prompt);
    switch (call.style & 0x0F) {
    case vbOKCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case vbYesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return vbCancel;
    case QMessageBox::Yes:
        return vbYes;
    case QMessageBox::No:
        return vbNo;
    default:
        return vbOK;
    }
}

} // namespace

Integer MsgBox(const QString &prompt, Long style, const QString &title) {
    const MessageBoxCall call{prompt, style, title};
    if (const MessageBoxHook &h = hook())
        return h(call);
    return showBox(call);
}

MessageBoxHook setMessageBoxHook(MessageBoxHook newHook) {
    MessageBoxHook previous = std::move(hook());
    hook() = std::move(newHook);
    return previous;
}

MessageBoxRecorder::MessageBoxRecorder(Integer answer) {
    m_previous = setMessageBoxHook([this, answer](const MessageBoxCall &call) {
        m_calls.push_back(call);
        return answer;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() {
    setMessageBoxHook(std::move(m_previous));
}

} // namespace tambolin
