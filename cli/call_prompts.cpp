#include "cli/call_prompts.h"

#include <QFileInfo>
#include <QGuiApplication>

namespace tambolin::cli {

QString AnsweredDialogs::fileDialog(const FileDialogRequest &request) {
    if (m_answer.isEmpty())
        return {};
    if ((request.flags & OFN_FILEMUSTEXIST) && !QFileInfo(m_answer).isFile())
        return {};
    return m_answer;
}

QString AnsweredDialogs::folderDialog(const FolderDialogRequest &) {
    return m_answer.isEmpty() || QFileInfo(m_answer).isDir() ? m_answer : QString();
}

bool AnsweredDialogs::openWith(Long, const QString &) {
    return false;
}

Long AnsweredDialogs::showProperties(Long, const QString &) {
    return SE_ERR_NOASSOC;
}

bool headless() {
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return true;
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

CallPrompts::CallPrompts() {
    const bool answered = qEnvironmentVariableIsSet(dialogAnswerVariable);
    const bool unseen = headless();
    if (answered || unseen) {
        m_dialogs = std::make_unique<AnsweredDialogs>(
            answered ? qEnvironmentVariable(dialogAnswerVariable) : QString());
        m_scoped.emplace(*m_dialogs);
    }
    if (unseen) {
        // The about box closes at once; the power prompts are declined, so an
        // unattended call never shuts the machine down.
        m_previousHook = setShellDialogHook([](const ShellDialogRequest &r) {
            switch (r.kind) {
            case ShellDialogRequest::Kind::About:
                return IDOK;
            case ShellDialogRequest::Kind::Restart:
                return IDNO;
            case ShellDialogRequest::Kind::ShutDown:
                return kChooseCancel;
            }
            return 0;
        });
    }
}

CallPrompts::~CallPrompts() {
    if (m_previousHook)
        setShellDialogHook(std::move(*m_previousHook));
}

} // namespace tambolin::cli
