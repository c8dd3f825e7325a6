#pragma once
// The shell's system dialogs: the about box, the shut-down prompt and the
// restart prompt. Shut-down goes to the desktop's own prompt where one
// answers on the session bus; otherwise, and always for restart, we ask
// ourselves and hand the answer to the login manager. Tests answer our
// dialogs through a hook instead of showing them.

#include "platform/runtime/basic_runtime.h"

#include <QString>
#include <functional>

class QWidget;

namespace tambolin {

inline constexpr int IDOK = 1;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// What the shut-down prompt gives when nothing was chosen.
inline constexpr int kShutDownCancelled = 16;
// Our own shut-down prompt's answers.
inline constexpr int kChoosePowerOff = 1;
inline constexpr int kChooseRestart = 2;
inline constexpr int kChooseCancel = 0;

// The restart prompt's flag for restarting (rather than logging out).
inline constexpr unsigned EWX_REBOOT = 2;

struct ShellDialogRequest {
    enum class Kind { About, ShutDown, Restart };
    Kind kind = Kind::About;
    QWidget *owner = nullptr;
    QString title; // About: the window title
    QString text;  // About: the extra text; Restart: the prompt
};

// About: IDOK. ShutDown: kChoosePowerOff, kChooseRestart or kChooseCancel.
// Restart: IDYES or IDNO.
using ShellDialogHook = std::function<int(const ShellDialogRequest &)>;
// For this thread; empty restores the real dialogs. Returns the previous hook.
ShellDialogHook setShellDialogHook(ShellDialogHook hook);

// app: the title, optionally followed by "#" and a first line.
int ShellAboutA(QWidget *owner, const char *app, const char *otherStuff) noexcept;

// The desktop's prompt, or ours followed by the login manager. Returns
// kShutDownCancelled when nothing was done (cancelled, or refused by the
// system), otherwise what was asked for.
int ExitWindowsDialog(QWidget *owner) noexcept;

// Asks whether to restart now (prompt first, when not empty) and asks the
// login manager to. IDYES when the restart was requested; IDNO when the
// user said no or the system refused.
int RestartDialog(QWidget *owner, const char *prompt, unsigned flags) noexcept;

} // namespace tambolin
