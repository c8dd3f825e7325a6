#include "cli/melody_ends.h"

#include "control/playctrl.h"

#include <QAbstractButton>
#include <QEvent>

namespace tambolin::cli {

MelodyEnds::MelodyEnds(PLAYCTRL &control) {
    if (QAbstractButton *stop = control.Command1(2))
        stop->installEventFilter(this);
}

bool MelodyEnds::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::EnabledChange && !m_ignoring) {
        const auto *button = qobject_cast<QAbstractButton *>(watched);
        if (button && !button->isEnabled())
            ++m_count;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tambolin::cli
