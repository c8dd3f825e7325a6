#include "platform/runtime/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tambolin;

TEST(MessageBox, RecorderAnswersAndKeepsEveryBox) {
    MessageBoxRecorder recorder(vbNo);
    EXPECT_EQ(MsgBox(QStringLiteral("保存しますか"), vbYesNo | vbQuestion, QStringLiteral("確認")),
              vbNo);
    EXPECT_EQ(MsgBox(QStringLiteral("two"), vbCritical, QStringLiteral("t2")), vbNo);
    ASSERT_EQ(recorder.calls().size(), 2u);
    EXPECT_EQ(recorder.calls()[0].prompt, QStringLiteral("保存しますか"));
    EXPECT_EQ(recorder.calls()[0].style, vbYesNo | vbQuestion);
    EXPECT_EQ(recorder.calls()[0].title, QStringLiteral("確認"));
    EXPECT_EQ(recorder.calls()[1].style, 16);
}

TEST(MessageBox, InnerRecorderHandsBackToTheOuterOne) {
    MessageBoxRecorder outer(vbOK);
    {
        MessageBoxRecorder inner(vbCancel);
        EXPECT_EQ(MsgBox("a", vbOKCancel, "t"), vbCancel);
    }
    EXPECT_EQ(MsgBox("b", vbOKCancel, "t"), vbOK);
    ASSERT_EQ(outer.calls().size(), 1u);
    EXPECT_EQ(outer.calls()[0].prompt, QStringLiteral("b"));
}

TEST(MessageBox, RealBoxShowsTitlePromptAndIconAndReturnsTheButton) {
    QString seenTitle, seenText;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seenTitle = box->windowTitle();
        seenText = box->text();
        seenIcon = box->icon();
        box->button(QMessageBox::No)->click();
    });
    poll.start();
    const Integer answer =
        MsgBox(QStringLiteral("prompt"), vbYesNo | vbCritical, QStringLiteral("ﾌｧｲﾙ"));
    poll.stop();
    EXPECT_EQ(answer, vbNo);
    EXPECT_EQ(seenTitle, QStringLiteral("ﾌｧｲﾙ"));
    EXPECT_EQ(seenText, QStringLiteral("prompt"));
    EXPECT_EQ(seenIcon, QMessageBox::Critical);
}
