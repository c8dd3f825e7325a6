#include "platform/desktop/message_box_owner.h"
#include "platform/runtime/message_box.h"

#include <QApplication>
#include <QMessageBox>

// The real message box, on the widget toolkit.

namespace tambolin {

namespace {

QMessageBox::Icon iconFor(Long style) {
    switch (style & 0x70) {
    case vbCritical:
        return QMessageBox::Critical;
    case vbQuestion:
        return QMessageBox::Question;
    case vbExclamation:
        return QMessageBox::Warning;
    case vbInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

Integer showBox(const MessageBoxCall &call) {
    // Without a widget application there is nobody to ask: take the default button.
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return (call.style & 0x0F) == vbYesNo ? vbYes : vbOK;
    // Owned by the visible window, the box shows over it, not somewhere apart.
    QMessageBox box(iconFor(call.style), call.title, call.prompt, QMessageBox::NoButton,
                    messageBoxOwner());
    // Prompts quote titles and file names: never let them render as markup.
    box.setTextFormat(Qt::PlainText);
    switch (call.style & 0x0F) {
    case vbOKCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case vbYesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return vbCancel;
    case QMessageBox::Yes:
        return vbYes;
    case QMessageBox::No:
        return vbNo;
    default:
        return vbOK;
    }
}

// Installed as this layer is loaded, so every program linking it shows real boxes.
[[maybe_unused]] const bool installed = [] {
    setMessageBoxPresenter(&showBox);
    return true;
}();

} // namespace

QWidget *messageBoxOwner() {
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return nullptr;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    QWidget *only = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = top->windowType();
        if (!top->isVisible() || (type != Qt::Window && type != Qt::Dialog))
            continue;
        if (only)
            return nullptr;
        only = top;
    }
    return only;
}

} // namespace tambolin
