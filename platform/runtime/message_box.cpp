#include "platform/runtime/message_box.h"

namespace tambolin {

namespace {

MessageBoxHook &hook() {
    thread_local MessageBoxHook h;
    return h;
}

MessageBoxPresenter &presenter() {
    static MessageBoxPresenter p = nullptr;
    return p;
}

} // namespace

Integer MsgBox(const QString &prompt, Long style, const QString &title) {
    const MessageBoxCall call{prompt, style, title};
    if (const MessageBoxHook &h = hook())
        return h(call);
    if (const MessageBoxPresenter show = presenter())
        return show(call);
    // Nothing can show a box in this program: take the default button.
    return (call.style & 0x0F) == vbYesNo ? vbYes : vbOK;
}

void setMessageBoxPresenter(MessageBoxPresenter show) {
    presenter() = show;
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
