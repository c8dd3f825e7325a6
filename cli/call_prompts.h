#pragma once
// Dialogs of the utility class when called from the command line. With no
// screen to show them on (the offscreen or minimal platform), a dialog would
// wait for a user who cannot reach it: every dialog then answers at once as
// if cancelled. TAMBOLIN_DIALOG_ANSWER, when set, answers the file and folder
// choosers on any platform without showing them: its value is the chosen
// path, an empty value cancels.

#include "platform/desktop/common_dialogs.h"
#include "platform/desktop/shell_dialogs.h"

#include <QString>
#include <memory>
#include <optional>

namespace tambolin::cli {

inline constexpr char dialogAnswerVariable[] = "TAMBOLIN_DIALOG_ANSWER";

// The choosers' answer: the given path, or "" when cancelled. An open
// dialog whose file must exist cancels an answer that names no file.
class AnsweredDialogs final : public CommonDialogs {
public:
    explicit AnsweredDialogs(QString answer) : m_answer(std::move(answer)) {}
    QString fileDialog(const FileDialogRequest &request) override;
    QString folderDialog(const FolderDialogRequest &request) override;
    // Nothing is started and nothing is shown.
    bool openWith(Long owner, const QString &path) override;
    Long showProperties(Long owner, const QString &path) override;

private:
    QString m_answer;
};

// Installs the answers a call needs for its lifetime, then restores the
// previous dialogs. Needs the application object to exist.
class CallPrompts final {
public:
    CallPrompts();
    ~CallPrompts();
    CallPrompts(const CallPrompts &) = delete;
    CallPrompts &operator=(const CallPrompts &) = delete;

private:
    std::unique_ptr<AnsweredDialogs> m_dialogs;
    std::optional<ScopedDialogs> m_scoped;
    std::optional<ShellDialogHook> m_previousHook; // set when we installed one
};

// True when the platform has no screen a user could see.
bool headless();

} // namespace tambolin::cli
