// The common dialogs of the utility class: what each dialog is asked, what
// comes back, the current folder afterwards, and the real Qt dialogs driven
// the way a user would (choose, cancel, confirm an overwrite).

#include "platform/desktop/common_dialogs.h"
#include "util/cl_gl010c.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace tambolin {
namespace {

const QChar nul(u'\0');

// The melody filter the player passes.
QString melodyFilter() {
    return QStringLiteral("Tamberloﾌｧｲﾙ(*.tbn)") + nul + QStringLiteral("*.tbn") + nul +
           QStringLiteral("全てのﾌｧｲﾙ(*.*)") + nul + QStringLiteral("*.*") + nul + nul;
}

void touch(const QString &path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

// Answers every dialog from a script and remembers what it was asked.
class ScriptedDialogs final : public CommonDialogs {
public:
    QString fileDialog(const FileDialogRequest &request) override {
        fileRequests.push_back(request);
        if (throwOnFile)
            throw std::runtime_error("dialog failed");
        return fileAnswer;
    }
    QString folderDialog(const FolderDialogRequest &request) override {
        folderRequests.push_back(request);
        return folderAnswer;
    }
    bool openWith(Long owner, const QString &path) override {
        openWithAsked.push_back({owner, path});
        return true;
    }
    Long showProperties(Long owner, const QString &path) override {
        propertiesAsked.push_back({owner, path});
        return propertiesAnswer;
    }

    QString fileAnswer;
    bool throwOnFile = false;
    QString folderAnswer;
    Long propertiesAnswer = SE_SHOWN;
    std::vector<FileDialogRequest> fileRequests;
    std::vector<FolderDialogRequest> folderRequests;
    std::vector<std::pair<Long, QString>> openWithAsked;
    std::vector<std::pair<Long, QString>> propertiesAsked;
};

// Keeps the process's current folder as the test found it.
class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_savedCwd = QDir::currentPath();
        ASSERT_TRUE(m_dir.isValid());
    }
    void TearDown() override { QDir::setCurrent(m_savedCwd); }

    CL_GL010C m_gl;
    QTemporaryDir m_dir;
    QString m_savedCwd;
};

TEST(DialogFilter, PairsBecomeQtNameFiltersWithCaseBlindPatterns) {
    EXPECT_EQ(qtNameFilters(melodyFilter()),
              (QStringList{QStringLiteral("Tamberloﾌｧｲﾙ(*.tbn) (*.[tT][bB][nN])"),
                           QStringLiteral("全てのﾌｧｲﾙ(*.*) (*)")}));

    // Several patterns in one pair; no final NUL; a dangling display text.
    const QString several = QStringLiteral("Songs") + nul + QStringLiteral("*.tbn;*.mld") + nul +
                            QStringLiteral("Orphan");
    EXPECT_EQ(qtNameFilters(several),
              QStringList{QStringLiteral("Songs (*.[tT][bB][nN] *.[mM][lL][dD])")});

    // An empty display text shows the pattern; an empty pattern is dropped.
    const QString odd =
        QString() + nul + QStringLiteral("*.txt") + nul + QStringLiteral("None") + nul + nul;
    EXPECT_EQ(qtNameFilters(odd), QStringList{QStringLiteral("*.txt (*.[tT][xX][tT])")});
    EXPECT_TRUE(qtNameFilters(QString()).isEmpty());

    // The glob lists melodies whatever the case of their names.
    const QString glob =
        qtNameFilters(melodyFilter()).first().section(QLatin1Char('('), -1).chopped(1);
    const QRegularExpression re = QRegularExpression::fromWildcard(glob);
    for (const char *name : {"song.tbn", "SONG.TBN", "Song.Tbn"})
        EXPECT_TRUE(re.match(QString::fromLatin1(name)).hasMatch()) << name;
    for (const char *name : {"song.tbx", "song.tbn.bak", "tbn"})
        EXPECT_FALSE(re.match(QString::fromLatin1(name)).hasMatch()) << name;
}

TEST_F(DialogsTest, OpenAsksForAnExistingFileAndMovesTheCurrentFolder) {
    ScriptedDialogs dialogs;
    ScopedDialogs installed(dialogs);
    const QString chosen = m_dir.filePath(QStringLiteral("a.tbn"));
    dialogs.fileAnswer = chosen;

    Long hwnd = 1234;
    QString filter = melodyFilter();
    QString defDir = QStringLiteral("/music");
    QString defFile = QStringLiteral("前の曲.tbn");
    EXPECT_EQ(m_gl.RVN_ShowOpenFileDlg(hwnd, filter, defDir, &defFile), chosen);

    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    const FileDialogRequest &r = dialogs.fileRequests[0];
    EXPECT_EQ(r.kind, FileDialogKind::Open);
    EXPECT_EQ(r.owner, 1234);
    EXPECT_EQ(r.filter, filter);
    EXPECT_EQ(r.filterIndex, 1);
    EXPECT_EQ(r.initialDir, QStringLiteral("/music"));
    EXPECT_EQ(r.suggestedFile, defFile);
    EXPECT_EQ(r.flags, 0x81804);
    EXPECT_TRUE(r.title.isEmpty());
    EXPECT_EQ(QDir::currentPath(), QDir(m_dir.path()).canonicalPath());

    // The suggested name is optional.
    EXPECT_EQ(m_gl.RVN_ShowOpenFileDlg(hwnd, filter, defDir), chosen);
    EXPECT_TRUE(dialogs.fileRequests.back().suggestedFile.isEmpty());
}

TEST_F(DialogsTest, SaveAcceptsNewNamesButAsksBeforeOverwriting) {
    ScriptedDialogs dialogs;
    ScopedDialogs installed(dialogs);
    const QString chosen = m_dir.filePath(QStringLiteral("new song.tbn"));
    dialogs.fileAnswer = chosen;

    Long hwnd = 0;
    QString filter = melodyFilter();
    QString defDir = m_dir.path();
    QString defFile = QStringLiteral("/music/old.tbn");
    EXPECT_EQ(m_gl.RVN_ShowSaveFileDlg(hwnd, filter, defDir, &defFile), chosen);
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    const FileDialogRequest &r = dialogs.fileRequests[0];
    EXPECT_EQ(r.kind, FileDialogKind::Save);
    EXPECT_TRUE(r.flags & OFN_OVERWRITEPROMPT);
    EXPECT_FALSE(r.flags & OFN_FILEMUSTEXIST);
    EXPECT_TRUE(r.flags & OFN_PATHMUSTEXIST);
    EXPECT_EQ(r.suggestedFile, defFile);
    EXPECT_EQ(QDir::currentPath(), QDir(m_dir.path()).canonicalPath());
}

TEST_F(DialogsTest, CancelledOrFailedDialogsReturnNothingAndKeepTheFolder) {
    ScriptedDialogs dialogs;
    ScopedDialogs installed(dialogs);
    const QString before = QDir::currentPath();
    Long hwnd = 0;
    QString filter = melodyFilter();
    QString defDir = m_dir.path();
    QString defFile = QStringLiteral("keep me.tbn");

    dialogs.fileAnswer.clear();
    EXPECT_EQ(m_gl.RVN_ShowOpenFileDlg(hwnd, filter, defDir, &defFile), QString());
    EXPECT_EQ(m_gl.RVN_ShowSaveFileDlg(hwnd, filter, defDir, &defFile), QString());
    dialogs.throwOnFile = true;
    EXPECT_EQ(m_gl.RVN_ShowOpenFileDlg(hwnd, filter, defDir, &defFile), QString());
    EXPECT_EQ(m_gl.RVN_ShowSaveFileDlg(hwnd, filter, defDir, &defFile), QString());
    EXPECT_EQ(dialogs.fileRequests.size(), 4u);
    EXPECT_EQ(QDir::currentPath(), before);

    Long none = 0;
    dialogs.folderAnswer.clear();
    EXPECT_EQ(m_gl.RVN_FolderSelect(none), QString());
}

TEST_F(DialogsTest, FolderBrowserStartsAtTheDesktopWithItsTitle) {
    ScriptedDialogs dialogs;
    ScopedDialogs installed(dialogs);
    dialogs.folderAnswer = m_dir.path();
    Long hwnd = 77;
    Long root = 5;
    EXPECT_EQ(m_gl.RVN_FolderSelect(hwnd), m_dir.path());
    EXPECT_EQ(m_gl.RVN_FolderSelect(hwnd, &root), m_dir.path());

    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    const QString expectedStart = QFileInfo(desktop).isDir() ? desktop : QDir::homePath();
    ASSERT_EQ(dialogs.folderRequests.size(), 2u);
    for (const FolderDialogRequest &r : dialogs.folderRequests) {
        EXPECT_EQ(r.owner, 77);
        EXPECT_EQ(r.title, QStringLiteral("ﾌｫﾙﾀﾞを選択してください"));
        EXPECT_EQ(r.startDir, expectedStart);
    }
}

TEST_F(DialogsTest, ShellDialogsPassTheFileAndTheResult) {
    ScriptedDialogs dialogs;
    ScopedDialogs installed(dialogs);
    Long hwnd = 9;
    QString file = m_dir.filePath(QStringLiteral("a.tbn"));
    m_gl.RVN_ShowOpenAsDialog(hwnd, file);
    ASSERT_EQ(dialogs.openWithAsked.size(), 1u);
    EXPECT_EQ(dialogs.openWithAsked[0], std::make_pair(Long{9}, file));

    dialogs.propertiesAnswer = SE_SHOWN;
    EXPECT_GT(m_gl.RVN_ShowPropertiesDialog(hwnd, file), 32);
    dialogs.propertiesAnswer = SE_ERR_NOASSOC;
    EXPECT_LE(m_gl.RVN_ShowPropertiesDialog(hwnd, file), 32);
    EXPECT_EQ(dialogs.propertiesAsked.size(), 2u);
}

TEST_F(DialogsTest, PropertiesOfAMissingFileFailQuietlyWithoutAHook) {
    Long hwnd = 0;
    QString missing = m_dir.filePath(QStringLiteral("gone.tbn"));
    EXPECT_EQ(m_gl.RVN_ShowPropertiesDialog(hwnd, missing), SE_ERR_FNF);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// Drives the real modal dialogs: each step gets the active modal widget
// and returns true once it has done its part. Whatever is still open after
// the deadline is rejected, so a test fails rather than hangs.
class ModalDriver final {
public:
    using Step = std::function<bool(QWidget *)>;
    explicit ModalDriver(std::vector<Step> steps) : m_steps(std::move(steps)) {
        QObject::connect(&m_poll, &QTimer::timeout, [this] { poll(); });
        m_poll.start(20);
        m_deadline.setSingleShot(true);
        QObject::connect(&m_deadline, &QTimer::timeout, [this] {
            m_timedOut = true;
            while (QWidget *w = QApplication::activeModalWidget())
                if (auto *d = qobject_cast<QDialog *>(w))
                    d->reject();
                else
                    w->close();
        });
        m_deadline.start(5000);
    }
    bool finished() const { return m_next == m_steps.size() && !m_timedOut; }

private:
    void poll() {
        QWidget *w = QApplication::activeModalWidget();
        if (w && m_next < m_steps.size() && m_steps[m_next](w))
            ++m_next;
    }
    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    bool m_timedOut = false;
    QTimer m_poll;
    QTimer m_deadline;
};

ModalDriver::Step chooseFile(const QString &name, QStringList *seen = nullptr) {
    return [name, seen](QWidget *w) {
        auto *d = qobject_cast<QFileDialog *>(w);
        if (!d)
            return false;
        if (seen)
            *seen << d->directory().absolutePath() << d->selectedNameFilter();
        // Typed into the name box, as a user would; selectFile() leaves a
        // focused box alone.
        auto *edit = d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (!edit)
            return false;
        edit->setText(name);
        // As the Open or Save button does; queued, so that a question it asks
        // runs its own loop outside the driver's timer, which can then answer it.
        QTimer::singleShot(0, d, [d] { static_cast<QDialog *>(d)->accept(); });
        return true;
    };
}

ModalDriver::Step cancelFileDialog() {
    return [](QWidget *w) {
        auto *d = qobject_cast<QFileDialog *>(w);
        if (!d)
            return false;
        d->reject();
        return true;
    };
}

ModalDriver::Step answerQuestion(QMessageBox::StandardButton button, QString *text) {
    return [button, text](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        if (!box)
            return false;
        *text = box->text();
        box->button(button)->click();
        return true;
    };
}

TEST_F(DialogsTest, RealOpenDialogChoosesOnlyExistingFiles) {
    const QString song = m_dir.filePath(QStringLiteral("song.tbn"));
    touch(song);
    Long hwnd = 0;
    QString filter = melodyFilter();
    QString defDir = m_dir.path();

    QStringList seen;
    ModalDriver chosen({chooseFile(QStringLiteral("song.tbn"), &seen)});
    EXPECT_EQ(m_gl.RVN_ShowOpenFileDlg(hwnd, filter, defDir), song);
    EXPECT_TRUE(chosen.finished());
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(QDir(seen[0]).canonicalPath(), QDir(m_dir.path()).canonicalPath());
    // The user sees the caller's own text; the patterns stay behind it.
    EXPECT_EQ(seen[1], QStringLiteral("Tamberloﾌｧｲﾙ(*.tbn)"));
    EXPECT_EQ(QDir::currentPath(), QDir(m_dir.path()).canonicalPath());

    // A name that does not exist is refused with a message; the user then cancels.
    QDir::setCurrent(m_savedCwd);
    QString message;
    ModalDriver refused({chooseFile(QStringLiteral("nothing.tbn")),
                         answerQuestion(QMessageBox::Ok, &message), cancelFileDialog()});
    EXPECT_EQ(m_gl.RVN_ShowOpenFileDlg(hwnd, filter, defDir), QString());
    EXPECT_TRUE(refused.finished());
    EXPECT_TRUE(message.contains(QStringLiteral("nothing.tbn"))) << message.toStdString();
    EXPECT_EQ(QDir::currentPath(), m_savedCwd);
}

TEST_F(DialogsTest, RealSaveDialogTakesNewNamesAndConfirmsOverwriting) {
    Long hwnd = 0;
    QString filter = melodyFilter();
    QString defDir = m_dir.path();

    const QString fresh = m_dir.filePath(QStringLiteral("fresh.tbn"));
    ModalDriver newName({chooseFile(QStringLiteral("fresh.tbn"))});
    EXPECT_EQ(m_gl.RVN_ShowSaveFileDlg(hwnd, filter, defDir), fresh);
    EXPECT_TRUE(newName.finished());

    const QString existing = m_dir.filePath(QStringLiteral("existing.tbn"));
    touch(existing);
    QString question;
    ModalDriver declined({chooseFile(QStringLiteral("existing.tbn")),
                          answerQuestion(QMessageBox::No, &question), cancelFileDialog()});
    EXPECT_EQ(m_gl.RVN_ShowSaveFileDlg(hwnd, filter, defDir), QString());
    EXPECT_TRUE(declined.finished());
    EXPECT_TRUE(question.contains(QStringLiteral("existing.tbn"))) << question.toStdString();

    question.clear();
    ModalDriver confirmed(
        {chooseFile(QStringLiteral("existing.tbn")), answerQuestion(QMessageBox::Yes, &question)});
    EXPECT_EQ(m_gl.RVN_ShowSaveFileDlg(hwnd, filter, defDir), existing);
    EXPECT_TRUE(confirmed.finished());
    EXPECT_FALSE(question.isEmpty());
}

TEST_F(DialogsTest, SuggestedFullPathOpensItsFolder) {
    QTemporaryDir other;
    ASSERT_TRUE(other.isValid());
    Long hwnd = 0;
    QString filter = melodyFilter();
    QString defDir = m_dir.path();
    QString suggested = other.filePath(QStringLiteral("曲.tbn"));

    QStringList seen;
    ModalDriver driver({chooseFile(QStringLiteral("曲.tbn"), &seen)});
    EXPECT_EQ(m_gl.RVN_ShowSaveFileDlg(hwnd, filter, defDir, &suggested), suggested);
    EXPECT_TRUE(driver.finished());
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(QDir(seen[0]).canonicalPath(), QDir(other.path()).canonicalPath());
}

} // namespace
} // namespace tambolin
