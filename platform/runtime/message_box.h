#pragma once
// Message boxes: a prompt, a style (buttons + icon, as numbers) and a title,
// answered with the number of the button pressed. Tests and the command line
// install a hook that answers each box instead of showing it.

#include "platform/runtime/basic_runtime.h"

#include <QString>
#include <functional>
#include <vector>

namespace tambolin {

// Styles: buttons (low bits) plus an icon.
inline constexpr Long vbOKOnly = 0;
inline constexpr Long vbOKCancel = 1;
inline constexpr Long vbYesNo = 4;
inline constexpr Long vbCritical = 16;
inline constexpr Long vbQuestion = 32;
inline constexpr Long vbExclamation = 48;
inline constexpr Long vbInformation = 64;

// Answers: the button pressed.
inline constexpr Integer vbOK = 1;
inline constexpr Integer vbCancel = 2;
inline constexpr Integer vbYes = 6;
inline constexpr Integer vbNo = 7;

struct MessageBoxCall {
    QString prompt;
    Long style = 0;
    QString title;
};

using MessageBoxHook = std::function<Integer(const MessageBoxCall &)>;

// Shows a modal box (or asks the hook) and returns the button pressed.
Integer MsgBox(const QString &prompt, Long style, const QString &title);

// What shows a real box. The desktop layer installs one as the program
// starts; without it every box takes its default button.
using MessageBoxPresenter = Integer (*)(const MessageBoxCall &);
void setMessageBoxPresenter(MessageBoxPresenter show);

// Installs hook for this thread (empty restores the real box); returns the previous one.
MessageBoxHook setMessageBoxHook(MessageBoxHook hook);

// For tests: while alive, answers every box on this thread with answer and keeps a record.
class MessageBoxRecorder final {
public:
    explicit MessageBoxRecorder(Integer answer = vbOK);
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder &) = delete;
    MessageBoxRecorder &operator=(const MessageBoxRecorder &) = delete;

    const std::vector<MessageBoxCall> &calls() const { return m_calls; }

private:
    std::vector<MessageBoxCall> m_calls;
    MessageBoxHook m_previous;
};

} // namespace tambolin
