// Window helpers of CL_GL010C: screen capture, a picture on a menu item,
// placing a form, dragging it by its body, and list-view styles. A failing
// step is skipped; nothing is raised.

#include "util/cl_gl010c.h"

#include "platform/desktop/handles.h"
#include "platform/desktop/window_messages.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace tambolin {

namespace {

QPixmap pictureOf(const QObject *holder) {
    return holder ? holder->property("pixmap").value<QPixmap>() : QPixmap();
}

QMenuBar *menuBarOf(QWidget *window) {
    if (auto *main = qobject_cast<QMainWindow *>(window))
        return main->menuWidget() ? qobject_cast<QMenuBar *>(main->menuWidget()) : nullptr;
    return window ? window->findChild<QMenuBar *>() : nullptr;
}

void setListStyleBit(Long hwnd, LPARAM bit, Boolean on) {
    LPARAM style = SendMessageA(hwnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    style = on == True ? (style | bit) : on == False ? (style & ~bit) : style;
    SendMessageA(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style);
}

} // namespace

void CL_GL010C::RVN_ScreenCapt(QObject *pict, Boolean &full) {
    if (full != True && full != False)
        return;
    step([&] {
        QPixmap shot;
        if (full == True) {
            if (QScreen *screen = QGuiApplication::primaryScreen())
                shot = screen->grabWindow(0);
        } else if (QWidget *active = QApplication::activeWindow()) {
            shot = active->grab();
        }
        if (shot.isNull())
            return;
        // The picture goes by way of the clipboard, replacing what was there.
        QGuiApplication::clipboard()->setPixmap(shot);
        if (pict)
            pict->setProperty("pixmap", QGuiApplication::clipboard()->pixmap());
    });
}

void CL_GL010C::RVN_SetBitmapMenu(Long &hWnd, Long &MenuNum, Long &SubMenuNum, QObject *DrawPict) {
    QWidget *window = widgetOf(hWnd);
    QMenuBar *bar = menuBarOf(window ? window->window() : nullptr);
    if (!bar)
        return;
    const QList<QAction *> menus = bar->actions();
    if (MenuNum < 0 || MenuNum >= menus.size() || !menus[MenuNum]->menu())
        return;
    const QList<QAction *> items = menus[MenuNum]->menu()->actions();
    if (SubMenuNum < 0 || SubMenuNum >= items.size())
        return;
    const QPixmap picture = pictureOf(DrawPict);
    if (picture.isNull())
        return;
    items[SubMenuNum]->setIcon(QIcon(picture));
    items[SubMenuNum]->setIconVisibleInMenu(true);
}

Long CL_GL010C::RVN_SetFormMoveTop(QWidget *frmObject, Long &Moveflg, Boolean *Palam) {
    Long result = 0;
    step([&] {
        if (!frmObject)
            failStep();
        // Minimised or maximised forms stay where they are.
        if (frmObject->windowState() &
            (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
            return;
        const QRect frame = frmObject->frameGeometry();
        const QScreen *screen = QGuiApplication::primaryScreen();
        if (!screen)
            failStep();
        // The form's outer size and the screen's, in pixels.
        const Long fw = frame.width();
        const Long fh = frame.height();
        const Long sw = screen->geometry().width();
        const Long sh = screen->geometry().height();
        const Long z = (Palam && *Palam == True) ? HWND_TOPMOST : HWND_NOTOPMOST;
        unsigned flags = SWP_NOSIZE | SWP_SHOWWINDOW;
        Long x = 0;
        Long y = 0;
        switch (Moveflg) {
        case 0:
            flags |= SWP_NOMOVE;
            break;
        case 1:
            x = clng((sw - fw) / 2.0);
            y = clng((sh - fh) / 2.0);
            break;
        case 3:
            y = sh - fh;
            break;
        case 4:
            x = sw - fw;
            break;
        case 5:
            x = sw - fw;
            y = sh - fh;
            break;
        default: // 2 and anything else: top left
            break;
        }
        result = SetWindowPos(handleOf(frmObject), z, x, y, 0, 0, flags);
    });
    return result;
}

void CL_GL010C::RVN_FormMouseMove(Long &formhwnd, Integer &Button) {
    if (!(Button & 1))
        return;
    ReleaseCapture();
    SendMessageA(formhwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void CL_GL010C::RVN_ListViewGridLine(Long &listhwnd, Boolean &gridline) {
    setListStyleBit(listhwnd, LVS_EX_GRIDLINES, gridline);
}

void CL_GL010C::RVN_ListViewLineSelect(Long &listhwnd, Boolean &lineselect) {
    setListStyleBit(listhwnd, LVS_EX_FULLROWSELECT, lineselect);
}

} // namespace tambolin
