// The panel's file buttons: open a melody through the open dialog, and save
// it under a name asked for in the save dialog.

#include "control/module_utility.h"
#include "control/playctrl.h"
#include "melody/melody_writer.h"
#include "melody/mod_tambolin.h"
#include "platform/desktop/handles.h"
#include "platform/files/current_folder.h"
#include "platform/runtime/message_box.h"
#include "util/cl_gl010c.h"

namespace tambolin {

namespace {

// Melody files first, then everything; pairs of display text and pattern.
QString melodyFilter() {
    const QChar nul(0);
    return QStringLiteral("Tamberloﾌｧｲﾙ(*.tbn)") + nul + QStringLiteral("*.tbn") + nul +
           QStringLiteral("全てのﾌｧｲﾙ(*.*)") + nul + QStringLiteral("*.*");
}

// The part of a path after its last folder separator.
QString lastComponent(const QString &path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? path : path.mid(slash + 1);
}

} // namespace

Long PLAYCTRL::ownerWindow() const {
    // Dialogs belong to the window that shows the control; a control not on
    // screen has none, and its dialogs stand alone.
    Long owner = 0;
    step([&] {
        QWidget *top = window();
        if (top && top->isVisible())
            owner = handleOf(top); // the number the dialogs look their owner up by
    });
    return owner;
}

void PLAYCTRL::openAction() {
    MOD_TAMBOLIN &m = mod();
    QString remembered;
    step([&] { remembered = CurDir(); });
    QString path;
    step([&] {
        Long owner = ownerWindow();
        QString filter = melodyFilter();
        QString defDir = m.inidir;
        QString defFile;
        path = gl010c().RVN_ShowOpenFileDlg(owner, filter, defDir, &defFile);
    });
    // The dialog leaves the chosen file's folder current: the next dialog starts there.
    if (!path.isEmpty())
        step([&] { m.inidir = CurDir(); });
    step([&] { ChDir(remembered); });
    if (path.isEmpty())
        return;
    loadMelody(path);
}

void PLAYCTRL::saveAction() {
    step([&] { FileSaveAs(); });
}

Boolean PLAYCTRL::FileSaveAs() {
    MOD_TAMBOLIN &m = mod();
    QString name;
    QString remembered;
    step([&] { remembered = CurDir(); });
    step([&] {
        Long owner = ownerWindow();
        QString filter = melodyFilter();
        QString defDir = m.inidir;
        QString defFile = m_tag;
        name = gl010c().RVN_ShowSaveFileDlg(owner, filter, defDir, &defFile);
    });
    if (!name.isEmpty())
        step([&] { m.inidir = CurDir(); });
    step([&] { ChDir(remembered); });
    if (name.isEmpty())
        return False;

    // Only the file's own name counts: a dot in a folder name (~/.local,
    // my.songs) is not an extension.
    step([&] {
        QString fileName = lastComponent(name);
        if (gl010c().RVN_GetFileExt(fileName).isEmpty())
            name += QStringLiteral(".tbn");
    });
    step([&] { setMousePointer(11); });
    bool saved = false;
    step([&] { saved = saveMelody(name); });
    // A file that could not be written is not the control's file: say so,
    // and keep the name of the one it has.
    if (saved)
        step([&] { m_tag = name; });
    step([&] { setMousePointer(0); });
    if (!saved)
        step([&] {
            MsgBox(name + QStringLiteral("\r\nﾌｧｲﾙを保存できませんでした。"), vbCritical,
                   QStringLiteral("ﾌｧｲﾙ保存ｴﾗｰ"));
        });
    return True;
}

} // namespace tambolin
