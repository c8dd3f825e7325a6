#include "platform/desktop/shell_dialogs.h"

#include "platform/desktop/desktop_buses.h"
#include "platform/desktop/login_manager.h"
#include "platform/runtime/last_error.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSysInfo>

namespace tambolin {

namespace {

thread_local ShellDialogHook t_hook;

int realDialog(const ShellDialogRequest &r) {
    switch (r.kind) {
    case ShellDialogRequest::Kind::About: {
        QMessageBox box(QMessageBox::NoIcon, r.title, r.text, QMessageBox::Ok, r.owner);
        box.setTextFormat(Qt::PlainText); // the caller's text, not markup
        box.setInformativeText(QStringLiteral("%1\n%2 %3")
                                   .arg(QSysInfo::prettyProductName(), QSysInfo::kernelType(),
                                        QSysInfo::kernelVersion()));
        box.exec();
        return IDOK;
    }
    case ShellDialogRequest::Kind::Restart:
        return QMessageBox::question(r.owner, QObject::tr("Restart"), r.text) == QMessageBox::Yes
                   ? IDYES
                   : IDNO;
    case ShellDialogRequest::Kind::ShutDown: {
        QMessageBox box(QMessageBox::Question, QObject::tr("Shut Down"),
                        QObject::tr("What do you want the computer to do?"), QMessageBox::Cancel,
                        r.owner);
        QAbstractButton *off = box.addButton(QObject::tr("Shut Down"), QMessageBox::AcceptRole);
        QAbstractButton *restart = box.addButton(QObject::tr("Restart"), QMessageBox::AcceptRole);
        box.exec();
        return box.clickedButton() == off       ? kChoosePowerOff
               : box.clickedButton() == restart ? kChooseRestart
                                                : kChooseCancel;
    }
    }
    return 0;
}

int ask(const ShellDialogRequest &request) {
    return t_hook ? t_hook(request) : realDialog(request);
}

// The desktops' own power prompts: the first one running takes the request.
struct DesktopPrompt {
    const char *service;
    const char *path;
    const char *interface;
    const char *method;
};
constexpr DesktopPrompt kPrompts[] = {
    {"org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager",
     "Shutdown"},
    {"org.kde.LogoutPrompt", "/LogoutPrompt", "org.kde.LogoutPrompt", "promptShutDown"},
    {"org.xfce.SessionManager", "/org/xfce/SessionManager", "org.xfce.Session.Manager", "Logout"},
};

bool desktopPrompt(QDBusConnection bus) {
    if (!bus.isConnected() || !bus.interface())
        return false;
    for (const DesktopPrompt &p : kPrompts) {
        // Only a desktop already running: nothing is started for this.
        if (!bus.interface()->isServiceRegistered(QString::fromLatin1(p.service)))
            continue;
        QDBusMessage call = QDBusMessage::createMethodCall(
            QString::fromLatin1(p.service), QString::fromLatin1(p.path),
            QString::fromLatin1(p.interface), QString::fromLatin1(p.method));
        if (QLatin1String(p.method) == QLatin1String("Logout"))
            call << true << true; // show the dialog, allow saving
        if (bus.call(call, QDBus::Block, 10000).type() == QDBusMessage::ReplyMessage)
            return true;
    }
    return false;
}

bool askLoginManager(bool restart) {
    const LoginManager manager(desktopBuses().system);
    QString error;
    const bool ok = restart ? manager.reboot(error) : manager.powerOff(error);
    if (!ok)
        SetLastError(ERROR_ACCESS_DENIED);
    return ok;
}

} // namespace

ShellDialogHook setShellDialogHook(ShellDialogHook hook) {
    ShellDialogHook previous = std::move(t_hook);
    t_hook = std::move(hook);
    return previous;
}

int ShellAboutA(QWidget *owner, const char *app, const char *otherStuff) noexcept {
    try {
        ShellDialogRequest r;
        r.kind = ShellDialogRequest::Kind::About;
        r.owner = owner;
        const QString text = QFile::decodeName(app);
        const qsizetype hash = text.indexOf(u'#');
        r.title = hash < 0 ? text : text.left(hash);
        const QString firstLine = hash < 0 ? QString() : text.mid(hash + 1);
        const QString extra = QFile::decodeName(otherStuff);
        r.text = firstLine.isEmpty() ? extra
                 : extra.isEmpty()   ? firstLine
                                     : firstLine + u'\n' + extra;
        return ask(r);
    } catch (...) {
        return 0;
    }
}

int ExitWindowsDialog(QWidget *owner) noexcept {
    try {
        // The desktop's prompt does the rest itself, cancel included.
        if (desktopPrompt(desktopBuses().session))
            return kChoosePowerOff;
        ShellDialogRequest r;
        r.kind = ShellDialogRequest::Kind::ShutDown;
        r.owner = owner;
        const int choice = ask(r);
        if (choice != kChoosePowerOff && choice != kChooseRestart) {
            SetLastError(ERROR_CANCELLED);
            return kShutDownCancelled;
        }
        return askLoginManager(choice == kChooseRestart) ? choice : kShutDownCancelled;
    } catch (...) {
        return kShutDownCancelled;
    }
}

int RestartDialog(QWidget *owner, const char *prompt, unsigned flags) noexcept {
    try {
        ShellDialogRequest r;
        r.kind = ShellDialogRequest::Kind::Restart;
        r.owner = owner;
        const QString question = QObject::tr("Do you want to restart the computer now?");
        const QString lead = QFile::decodeName(prompt);
        r.text = lead.isEmpty() ? question : lead + u'\n' + question;
        if (ask(r) != IDYES) {
            SetLastError(ERROR_CANCELLED);
            return IDNO;
        }
        // Only restarting is offered; logging off is not ours to do.
        if (!(flags & EWX_REBOOT)) {
            SetLastError(ERROR_NOT_SUPPORTED);
            return IDNO;
        }
        return askLoginManager(true) ? IDYES : IDNO;
    } catch (...) {
        return IDNO;
    }
}

} // namespace tambolin
