#include "platform/runtime/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tambolin;

// A prompt quoting a title must show the title's characters, not render them.
TEST(MessageBoxText, RealBoxShowsMarkupAsPlainText) {
    Qt::TextFormat seenFormat = Qt::AutoText;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seenFormat = box->textFormat();
        box->accept();
    });
    poll.start();
    MsgBox(QStringLiteral("<b>big</b><img src=\"/etc/passwd\">"), vbOKOnly, QStringLiteral("t"));
    poll.stop();
    EXPECT_EQ(seenFormat, Qt::PlainText);
}
