// Shell helpers of CL_GL010C: documents, folders and addresses started by
// the desktop, the recent-documents list, the about box, the shut-down and
// restart prompts and the network connection places. A failing call leaves
// the default result; nothing is raised.

#include "util/cl_gl010c.h"

#include "platform/desktop/handles.h"
#include "platform/desktop/net_connection.h"
#include "platform/desktop/recent_documents.h"
#include "platform/desktop/shell_dialogs.h"
#include "platform/desktop/shell_execute.h"

#include <QByteArray>

namespace tambolin {

namespace {

// Text for the shell's ANSI functions: file names on this system are UTF-8.
QByteArray ansi(const QString &text) {
    return text.toUtf8();
}

Long shellOpen(Long owner, const char *operation, const QString &file, const QString &dir,
               int show) {
    const QByteArray f = ansi(file);
    const QByteArray d = ansi(dir);
    return ShellExecuteA(owner, operation, f.constData(), nullptr, d.constData(), show);
}

} // namespace

Long CL_GL010C::RVN_OpenFile(QString &FileName, QString *dirname) {
    return shellOpen(0, "open", FileName, dirname ? *dirname : QString(), SW_SHOWNORMAL);
}

Long CL_GL010C::RVN_OpenFolder(QString &dirname) {
    return shellOpen(0, "open", dirname, QString(), SW_SHOWNORMAL);
}

Long CL_GL010C::RVN_OpenFindwindow(QString &dirname) {
    return shellOpen(0, "find", dirname, QString(), SW_SHOWNORMAL);
}

Long CL_GL010C::RVN_OpenURL(QString &urladdress) {
    // The desktop window owns it: there is no such window here, so none.
    return shellOpen(0, "open", urladdress, QString(), SW_SHOW);
}

void CL_GL010C::RVN_RecentDocs(QString &docname) {
    if (docname.isEmpty()) {
        SHAddToRecentDocs(SHARD_PATHA, nullptr);
        return;
    }
    const QByteArray name = ansi(docname);
    SHAddToRecentDocs(SHARD_PATHA, name.constData());
}

void CL_GL010C::RVN_ShellAbout(Long &formhwnd, QString &title, QString &appname) {
    const QByteArray app = ansi(title + u'#');
    const QByteArray other = ansi(appname);
    ShellAboutA(widgetOf(formhwnd), app.constData(), other.constData());
}

Boolean CL_GL010C::RVN_ShutDownDialog() {
    return ExitWindowsDialog(nullptr) == kShutDownCancelled ? False : True;
}

Boolean CL_GL010C::RVN_RestartSystem(Long &formhwnd) {
    return RestartDialog(widgetOf(formhwnd), "", EWX_REBOOT) == IDYES ? True : False;
}

void CL_GL010C::RVN_NetConnect(Long &formhwnd, Long &cmode, Long &ctype) {
    const std::uint32_t type = ctype == -1  ? RESOURCETYPE_DISK
                               : ctype == 0 ? RESOURCETYPE_PRINT
                                            : RESOURCETYPE_ANY;
    if (cmode == -1)
        WNetConnectionDialog(formhwnd, type);
    else if (cmode == 0)
        WNetDisconnectDialog(formhwnd, type);
}

} // namespace tambolin
