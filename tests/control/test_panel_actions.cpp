// The panel's open, save and settings buttons, with the dialogs answered by
// the test.

#include "control/frm_tboset.h"
#include "control/title_label.h"
#include "panel_rig.h"
#include "platform/files/current_folder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

namespace tambolin::testing {
namespace {

const QString melodyFilter = QStringLiteral("Tamberloﾌｧｲﾙ(*.tbn)") + QChar(0) +
                             QStringLiteral("*.tbn") + QChar(0) +
                             QStringLiteral("全てのﾌｧｲﾙ(*.*)") + QChar(0) + QStringLiteral("*.*");

class PanelActions : public ControlTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_files.isValid());
        m_root = QFileInfo(m_files.path()).canonicalFilePath();
        for (const char *sub : {"home", "songs", "elsewhere", "out", "my.songs"})
            ASSERT_TRUE(QDir(m_root).mkdir(QString::fromLatin1(sub)));
        // Tests start in a folder of their own and the process goes back after.
        ChDir(dir("home"));
    }
    void TearDown() override { QDir::setCurrent(m_savedFolder); }

    QString dir(const char *name) const { return m_root + u'/' + QString::fromLatin1(name); }
    static void click(PLAYCTRL &ctrl, int index) {
        ASSERT_TRUE(ctrl.Command1(index)->isEnabled());
        ctrl.Command1(index)->click();
    }

    QTemporaryDir m_files;
    QString m_root;
    QString m_savedFolder = QDir::currentPath();
    AnsweringDialogs m_dialogs;
    ScopedDialogs m_scopedDialogs{m_dialogs};
};

// ---- open

TEST_F(PanelActions, CancellingTheOpenDialogChangesNothingButPutsTheFolderBack) {
    PLAYCTRL &ctrl = makeControl();
    setMelody(1, {{{2, 5}, {2, 7}}});
    mod().inidir = dir("songs");
    m_dialogs.answer = [&](const FileDialogRequest &) {
        ChDir(dir("elsewhere")); // the user browsed, then cancelled
        return QString();
    };
    click(ctrl, 3);

    ASSERT_EQ(m_dialogs.asked.size(), 1u);
    const FileDialogRequest &asked = m_dialogs.asked[0];
    EXPECT_EQ(asked.kind, FileDialogKind::Open);
    EXPECT_EQ(asked.filter, melodyFilter);
    EXPECT_EQ(asked.initialDir, dir("songs"));
    EXPECT_TRUE(asked.suggestedFile.isEmpty());

    EXPECT_EQ(CurDir(), dir("home"));
    EXPECT_EQ(mod().inidir, dir("songs"));
    EXPECT_EQ(partCounts(), (std::vector<int>{2, 0, 0}));
    EXPECT_EQ(ctrl.FileName(), QString());
    EXPECT_EQ(ctrl.MTitle(), QStringLiteral("Tamberlo Player"));
    EXPECT_FALSE(ctrl.Command1(1)->isEnabled());
}

TEST_F(PanelActions, OpeningAMelodyShowsItAndFindsItsLongestPart) {
    const QString song = dir("songs") + QStringLiteral("/three.tbn");
    ASSERT_TRUE(writeMelodyFile(song, QStringLiteral("THREE PARTS"), {10, 12, 12}));
    PLAYCTRL &ctrl = makeControl();
    m_dialogs.answer = [&](const FileDialogRequest &) { return song; };
    click(ctrl, 3);

    EXPECT_EQ(partCounts(), (std::vector<int>{10, 12, 12}));
    EXPECT_EQ(ctrl.MTitle(), QStringLiteral("THREE PARTS"));
    EXPECT_EQ(ctrl.FileName(), song);
    EXPECT_EQ(mod().maxprt, 2); // the first of the two longest
    EXPECT_EQ(ctrl.Label2(1)->text(), QStringLiteral("12"));
    EXPECT_TRUE(ctrl.Command1(1)->isEnabled());
    EXPECT_EQ(ctrl.MousePointer(), 0);

    // The process is back where it was; the next dialog starts beside the song.
    EXPECT_EQ(CurDir(), dir("home"));
    EXPECT_EQ(mod().inidir, dir("songs"));
    m_dialogs.answer = nullptr;
    click(ctrl, 3);
    ASSERT_EQ(m_dialogs.asked.size(), 2u);
    EXPECT_EQ(m_dialogs.asked[1].initialDir, dir("songs"));
    EXPECT_EQ(ctrl.FileName(), song);
}

TEST_F(PanelActions, AMelodyWithoutPartsOrAFileThatWillNotReadStillEnablesPlay) {
    const QString titleOnly = dir("songs") + QStringLiteral("/title-only.tbn");
    ASSERT_TRUE(writeMelodyFile(titleOnly, QStringLiteral("A SONG WITH NO PARTS"), {}));
    const QString tooShort = dir("songs") + QStringLiteral("/short.tbn");
    QFile shortFile(tooShort);
    ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
    shortFile.write("abc");
    shortFile.close();

    PLAYCTRL &ctrl = makeControl();
    setMelody(1, {{{2, 5}}, {{2, 5}, {2, 5}}});
    QString answer = titleOnly;
    m_dialogs.answer = [&](const FileDialogRequest &) { return answer; };
    click(ctrl, 3);
    EXPECT_EQ(partCounts(), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(mod().maxprt, 1);
    EXPECT_EQ(ctrl.Label2(1)->text(), QStringLiteral("0"));
    EXPECT_EQ(ctrl.MTitle(), QStringLiteral("A SONG WITH NO PARTS"));
    EXPECT_TRUE(ctrl.Command1(1)->isEnabled());

    // Unreadable: the parts are emptied, the title is whatever it was.
    setMelody(1, {{{2, 5}}});
    answer = tooShort;
    click(ctrl, 3);
    EXPECT_EQ(partCounts(), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(ctrl.MTitle(), QStringLiteral("A SONG WITH NO PARTS"));
    EXPECT_EQ(ctrl.FileName(), tooShort);
    EXPECT_TRUE(ctrl.Command1(1)->isEnabled());
}

// ---- save

TEST_F(PanelActions, SavingAsANameWithoutExtensionAddsTbn) {
    PLAYCTRL &ctrl = makeControl();
    setMelody(1, {{{2, 5}, {2, 20}}, {{3, 7}}});
    mod().mtitle = QStringLiteral("SAVED");
    mod().inidir = dir("songs");
    QString answer = dir("out") + QStringLiteral("/song");
    m_dialogs.answer = [&](const FileDialogRequest &) { return answer; };
    click(ctrl, 4);

    ASSERT_EQ(m_dialogs.asked.size(), 1u);
    EXPECT_EQ(m_dialogs.asked[0].kind, FileDialogKind::Save);
    EXPECT_EQ(m_dialogs.asked[0].filter, melodyFilter);
    EXPECT_EQ(m_dialogs.asked[0].initialDir, dir("songs"));
    EXPECT_EQ(m_dialogs.asked[0].suggestedFile, QString()); // nothing loaded yet

    const QString saved = dir("out") + QStringLiteral("/song.tbn");
    EXPECT_TRUE(QFileInfo::exists(saved));
    EXPECT_FALSE(QFileInfo::exists(answer));
    EXPECT_EQ(ctrl.FileName(), saved);
    EXPECT_EQ(mod().inidir, dir("out"));
    EXPECT_EQ(CurDir(), dir("home"));
    EXPECT_EQ(ctrl.MousePointer(), 0);

    // What was saved reads back.
    QString again = saved;
    setMelody(1, {});
    ctrl.FileLoad(again);
    EXPECT_EQ(partCounts(), (std::vector<int>{2, 1, 0}));

    // The next save suggests the file just saved; any extension is kept.
    answer = dir("out") + QStringLiteral("/song.txt");
    click(ctrl, 4);
    EXPECT_EQ(m_dialogs.asked[1].suggestedFile, saved);
    EXPECT_TRUE(QFileInfo::exists(answer));
    EXPECT_EQ(ctrl.FileName(), answer);
}

TEST_F(PanelActions, ADotInAFolderNameIsNotAnExtension) {
    PLAYCTRL &ctrl = makeControl();
    setMelody(1, {{{2, 5}}});
    m_dialogs.answer = [&](const FileDialogRequest &) {
        return dir("my.songs") + QStringLiteral("/song");
    };
    click(ctrl, 4);
    EXPECT_TRUE(QFileInfo::exists(dir("my.songs") + QStringLiteral("/song.tbn")));
    EXPECT_EQ(ctrl.FileName(), dir("my.songs") + QStringLiteral("/song.tbn"));
}

TEST_F(PanelActions, CancellingTheSaveDialogWritesNothing) {
    PLAYCTRL &ctrl = makeControl();
    setMelody(1, {{{2, 5}}});
    mod().inidir = dir("songs");
    m_dialogs.answer = [&](const FileDialogRequest &) {
        ChDir(dir("out"));
        return QString();
    };
    click(ctrl, 4);
    EXPECT_TRUE(QDir(dir("out")).isEmpty());
    EXPECT_EQ(ctrl.FileName(), QString());
    EXPECT_EQ(mod().inidir, dir("songs"));
    EXPECT_EQ(CurDir(), dir("home"));
}

TEST_F(PanelActions, ASaveThatCannotBeWrittenIsReportedAndNotRecorded) {
    const QString song = dir("songs") + QStringLiteral("/kept.tbn");
    ASSERT_TRUE(writeMelodyFile(song, QStringLiteral("KEPT"), {3}));
    PLAYCTRL &ctrl = makeControl();
    m_dialogs.answer = [&](const FileDialogRequest &) { return song; };
    click(ctrl, 3);
    ASSERT_EQ(ctrl.FileName(), song);

    const QString nowhere = m_root + QStringLiteral("/missing/song.tbn");
    m_dialogs.answer = [&](const FileDialogRequest &) { return nowhere; };
    click(ctrl, 4);
    EXPECT_FALSE(QFileInfo::exists(nowhere));
    EXPECT_EQ(ctrl.FileName(), song);
    EXPECT_EQ(ctrl.MousePointer(), 0);
    ASSERT_EQ(m_boxes.calls().size(), 1u);
    EXPECT_EQ(m_boxes.calls()[0].title, QStringLiteral("ﾌｧｲﾙ保存ｴﾗｰ"));
    EXPECT_TRUE(m_boxes.calls()[0].prompt.startsWith(nowhere));
}

// ---- settings

TEST_F(PanelActions, TheSettingsButtonShowsTheSettingsFormModally) {
    PLAYCTRL &ctrl = makeControl();
    FRM_TBOSET *const form = ctrl.settingsForm();
    ASSERT_NE(form, nullptr);
    std::vector<QWidget *> modalSeen;
    // Runs inside the form's own event loop, as the user's click would.
    const auto closeTheForm = [&] {
        modalSeen.push_back(QApplication::activeModalWidget());
        form->Command1()->click();
        form->hide(); // in case the button did not, so the click returns
    };
    for (int i = 0; i < 2; ++i) {
        QTimer::singleShot(0, form, closeTheForm);
        click(ctrl, 5);
    }
    ASSERT_EQ(modalSeen.size(), 2u);
    EXPECT_EQ(modalSeen[0], form); // the control's one form, modal, both times
    EXPECT_EQ(modalSeen[1], form);
    EXPECT_EQ(ctrl.settingsForm(), form);
    EXPECT_FALSE(form->isVisible());
}

} // namespace
} // namespace tambolin::testing
