#include "platform/desktop/window_messages.h"

#include "platform/desktop/handles.h"
#include "platform/runtime/last_error.h"

#include <QAbstractItemView>
#include <QTableView>
#include <QTreeView>
#include <QWidget>
#include <QWindow>

namespace tambolin {

namespace {

// Bits no view of ours shows are kept with the view for reading back.
constexpr const char *kStyleProperty = "tambolinListViewStyle";
// Tree views draw no grid of their own: a cell border does it.
const QString kTreeGrid = QStringLiteral("QTreeView::item { border-right: 1px solid palette(mid); "
                                         "border-bottom: 1px solid palette(mid); }");

bool gridShown(const QAbstractItemView *view) {
    if (const auto *table = qobject_cast<const QTableView *>(view))
        return table->showGrid();
    if (qobject_cast<const QTreeView *>(view))
        return view->styleSheet().contains(kTreeGrid);
    return view->property(kStyleProperty).toLongLong() & LVS_EX_GRIDLINES;
}

void showGrid(QAbstractItemView *view, bool on) {
    if (auto *table = qobject_cast<QTableView *>(view)) {
        table->setShowGrid(on);
    } else if (qobject_cast<QTreeView *>(view)) {
        QString sheet = view->styleSheet();
        sheet.remove(kTreeGrid);
        view->setStyleSheet(on ? sheet + kTreeGrid : sheet);
    }
}

LPARAM listStyle(const QAbstractItemView *view) {
    LPARAM style =
        view->property(kStyleProperty).toLongLong() & ~(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    if (gridShown(view))
        style |= LVS_EX_GRIDLINES;
    if (view->selectionBehavior() == QAbstractItemView::SelectRows)
        style |= LVS_EX_FULLROWSELECT;
    return style;
}

void setListStyle(QAbstractItemView *view, LPARAM style) {
    view->setProperty(kStyleProperty, static_cast<qlonglong>(style));
    showGrid(view, style & LVS_EX_GRIDLINES);
    view->setSelectionBehavior(style & LVS_EX_FULLROWSELECT ? QAbstractItemView::SelectRows
                                                            : QAbstractItemView::SelectItems);
}

} // namespace

LRESULT SendMessageA(Long hwnd, unsigned msg, WPARAM wParam, LPARAM lParam) noexcept {
    QWidget *widget = widgetOf(hwnd);
    if (!widget) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (msg == WM_NCLBUTTONDOWN && wParam == HTCAPTION) {
        QWindow *window = widget->window()->windowHandle();
        return window && window->startSystemMove() ? 0 : 1;
    }
    auto *view = qobject_cast<QAbstractItemView *>(widget);
    if (!view)
        return 0;
    const LPARAM before = listStyle(view);
    if (msg == LVM_GETEXTENDEDLISTVIEWSTYLE)
        return before;
    if (msg == LVM_SETEXTENDEDLISTVIEWSTYLE) {
        const LPARAM mask = wParam ? static_cast<LPARAM>(wParam) : ~LPARAM(0);
        setListStyle(view, (before & ~mask) | (lParam & mask));
        return before;
    }
    return 0;
}

bool ReleaseCapture() noexcept {
    if (QWidget *grabber = QWidget::mouseGrabber()) {
        grabber->releaseMouse();
        return true;
    }
    return false;
}

Long SetWindowPos(Long hwnd, Long insertAfter, int x, int y, int cx, int cy,
                  unsigned flags) noexcept {
    QWidget *widget = widgetOf(hwnd);
    if (!widget) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    QWidget *window = widget->window();
    if (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
        const bool top = insertAfter == HWND_TOPMOST;
        // Changing the flag hides the window: only when it changes.
        if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) != top) {
            const bool visible = window->isVisible();
            window->setWindowFlag(Qt::WindowStaysOnTopHint, top);
            if (visible)
                window->show();
        }
    }
    if (!(flags & SWP_NOMOVE))
        window->move(x, y);
    if (!(flags & SWP_NOSIZE))
        window->resize(cx, cy);
    if (flags & SWP_SHOWWINDOW)
        window->show();
    return 1;
}

} // namespace tambolin
