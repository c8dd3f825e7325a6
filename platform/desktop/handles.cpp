#include "platform/desktop/handles.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace tambolin {

namespace {

struct HandleTable {
    QHash<Long, QPointer<QWidget>> widgets;
    QHash<const QObject *, Long> handles;
    // Even numbers from here on, like the system's; never 0.
    Long next = 0x10010;
};

HandleTable &table() {
    static HandleTable t;
    return t;
}

} // namespace

Long handleOf(QWidget *widget) {
    if (!widget)
        return 0;
    HandleTable &t = table();
    const auto found = t.handles.constFind(widget);
    if (found != t.handles.constEnd())
        return found.value();
    const Long handle = t.next;
    t.next += 2;
    t.widgets.insert(handle, widget);
    t.handles.insert(widget, handle);
    QObject::connect(widget, &QObject::destroyed, [handle](QObject *gone) {
        HandleTable &tt = table();
        tt.widgets.remove(handle);
        tt.handles.remove(gone);
    });
    return handle;
}

QWidget *widgetOf(Long handle) {
    if (handle == 0)
        return nullptr;
    return table().widgets.value(handle).data();
}

} // namespace tambolin
