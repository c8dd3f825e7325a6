// Window and device helpers on the offscreen platform: placing forms,
// list-view styles, menu pictures, screen capture, the mouse pointer,
// display colours, shared-library checks, sleeping and the last error.

#include "platform/desktop/handles.h"
#include "support/skip.h"
#include "util/cl_gl010c.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QProcess>
#include <QScreen>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeView>
#include <gtest/gtest.h>
#include <unistd.h>

namespace tambolin {
namespace {

class WindowHelpers : public ::testing::Test {
protected:
    void SetUp() override {
        m_form.resize(200, 100);
        m_form.show();
        QApplication::processEvents();
    }
    QRect screen() const { return QGuiApplication::primaryScreen()->geometry(); }

    CL_GL010C m_gl;
    QWidget m_form;
};

TEST_F(WindowHelpers, SetFormMoveTopPlacesTheFormAtEachCorner) {
    Long flag = 2;
    EXPECT_EQ(m_gl.RVN_SetFormMoveTop(&m_form, flag), 1);
    EXPECT_EQ(m_form.frameGeometry().topLeft(), screen().topLeft());
    flag = 3;
    m_gl.RVN_SetFormMoveTop(&m_form, flag);
    EXPECT_EQ(m_form.frameGeometry().bottomLeft(), screen().bottomLeft());
    flag = 4;
    m_gl.RVN_SetFormMoveTop(&m_form, flag);
    EXPECT_EQ(m_form.frameGeometry().topRight(), screen().topRight());
    flag = 5;
    m_gl.RVN_SetFormMoveTop(&m_form, flag);
    EXPECT_EQ(m_form.frameGeometry().bottomRight(), screen().bottomRight());
    flag = 1;
    m_gl.RVN_SetFormMoveTop(&m_form, flag);
    EXPECT_LE((m_form.frameGeometry().center() - screen().center()).manhattanLength(), 1);
    flag = 99; // anything else: top left
    m_gl.RVN_SetFormMoveTop(&m_form, flag);
    EXPECT_EQ(m_form.frameGeometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(m_form.size(), QSize(200, 100)) << "the size is kept";
}

TEST_F(WindowHelpers, SetFormMoveTopWithZeroOnlyChangesTheTopmostState) {
    m_form.move(33, 44);
    const QPoint before = m_form.pos();
    Long flag = 0;
    Boolean top = True;
    EXPECT_EQ(m_gl.RVN_SetFormMoveTop(&m_form, flag, &top), 1);
    EXPECT_TRUE(m_form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(m_form.pos(), before);
    EXPECT_TRUE(m_form.isVisible());
    // Omitted means not topmost.
    EXPECT_EQ(m_gl.RVN_SetFormMoveTop(&m_form, flag), 1);
    EXPECT_FALSE(m_form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(m_form.pos(), before);
}

TEST_F(WindowHelpers, SetFormMoveTopLeavesMinimisedAndMaximisedFormsAlone) {
    m_form.move(33, 44);
    for (Qt::WindowState state : {Qt::WindowMinimized, Qt::WindowMaximized}) {
        m_form.setWindowState(state);
        Long flag = 5;
        Boolean top = True;
        EXPECT_EQ(m_gl.RVN_SetFormMoveTop(&m_form, flag, &top), 0);
        EXPECT_FALSE(m_form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        m_form.setWindowState(Qt::WindowNoState);
        EXPECT_EQ(m_form.pos(), QPoint(33, 44));
    }
    Long flag = 1;
    EXPECT_EQ(m_gl.RVN_SetFormMoveTop(nullptr, flag), 0);
}

TEST_F(WindowHelpers, GridLinesOnTablesAndTrees) {
    QTableView table;
    Long h = handleOf(&table);
    Boolean off = False;
    Boolean on = True;
    m_gl.RVN_ListViewGridLine(h, off);
    m_gl.RVN_ListViewGridLine(h, off);
    EXPECT_FALSE(table.showGrid());
    m_gl.RVN_ListViewGridLine(h, on);
    m_gl.RVN_ListViewGridLine(h, on);
    EXPECT_TRUE(table.showGrid());

    QTreeView tree;
    tree.setStyleSheet(QStringLiteral("QTreeView { color: navy; }"));
    h = handleOf(&tree);
    m_gl.RVN_ListViewGridLine(h, off);
    EXPECT_EQ(tree.styleSheet(), QStringLiteral("QTreeView { color: navy; }"));
    m_gl.RVN_ListViewGridLine(h, on);
    const QString once = tree.styleSheet();
    m_gl.RVN_ListViewGridLine(h, on);
    EXPECT_EQ(tree.styleSheet(), once) << "a second True changes nothing";
    EXPECT_TRUE(once.startsWith(QStringLiteral("QTreeView { color: navy; }")));
    EXPECT_NE(once, QStringLiteral("QTreeView { color: navy; }"));
    m_gl.RVN_ListViewGridLine(h, off);
    EXPECT_EQ(tree.styleSheet(), QStringLiteral("QTreeView { color: navy; }"));
}

TEST_F(WindowHelpers, FullRowSelectionIsItsOwnBit) {
    QTableView table;
    Long h = handleOf(&table);
    Boolean on = True;
    Boolean off = False;
    m_gl.RVN_ListViewLineSelect(h, on);
    EXPECT_EQ(table.selectionBehavior(), QAbstractItemView::SelectRows);
    m_gl.RVN_ListViewGridLine(h, off);
    EXPECT_EQ(table.selectionBehavior(), QAbstractItemView::SelectRows) << "grid left rows alone";
    m_gl.RVN_ListViewLineSelect(h, off);
    EXPECT_EQ(table.selectionBehavior(), QAbstractItemView::SelectItems);
    EXPECT_FALSE(table.showGrid()) << "rows left the grid alone";
    Long unknown = 0x7FFFFFF0;
    m_gl.RVN_ListViewLineSelect(unknown, on); // nothing behind it: nothing happens
}

TEST_F(WindowHelpers, BitmapMenuPutsThePictureOnTheItem) {
    QMainWindow main;
    QMenu *file = main.menuBar()->addMenu(QStringLiteral("File"));
    QAction *open = file->addAction(QStringLiteral("Open"));
    QAction *save = file->addAction(QStringLiteral("Save"));
    QPixmap red(16, 16);
    red.fill(Qt::red);
    QLabel picture;
    picture.setPixmap(red);
    Long h = handleOf(&main);
    Long menu = 0;
    Long item = 1;
    m_gl.RVN_SetBitmapMenu(h, menu, item, &picture);
    EXPECT_TRUE(open->icon().isNull());
    ASSERT_FALSE(save->icon().isNull());
    EXPECT_EQ(save->icon().pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::red));
    item = 7;
    m_gl.RVN_SetBitmapMenu(h, menu, item, &picture); // no such item: nothing
    menu = 3;
    item = 0;
    m_gl.RVN_SetBitmapMenu(h, menu, item, &picture);
    EXPECT_TRUE(open->icon().isNull());
}

TEST_F(WindowHelpers, ScreenCaptureGoesThroughTheClipboard) {
    QLabel picture;
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    Boolean other = 1;
    m_gl.RVN_ScreenCapt(&picture, other);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    EXPECT_TRUE(picture.pixmap().isNull());

    Boolean full = True;
    m_gl.RVN_ScreenCapt(&picture, full);
    EXPECT_EQ(picture.pixmap().size(), screen().size());
    EXPECT_FALSE(QGuiApplication::clipboard()->pixmap().isNull());

    m_form.activateWindow();
    QApplication::setActiveWindow(&m_form);
    Boolean window = False;
    m_gl.RVN_ScreenCapt(&picture, window);
    EXPECT_EQ(picture.pixmap().size(), m_form.size());
    EXPECT_EQ(QGuiApplication::clipboard()->pixmap().size(), m_form.size());
}

TEST_F(WindowHelpers, MousePointerInTwips) {
    QCursor::setPos(10, 20);
    if (QCursor::pos() != QPoint(10, 20))
        TAMBOLIN_SKIP_WITHOUT("the platform does not move the pointer");
    EXPECT_EQ(m_gl.RVN_MousePointerX(), 150);
    EXPECT_EQ(m_gl.RVN_MousePointerY(), 300);
}

TEST_F(WindowHelpers, DisplayColourFollowsTheScreenDepth) {
    Long hdc = handleOf(&m_form);
    const int depth = m_form.screen()->depth();
    const Long colours = m_gl.RVN_DisplayColor(hdc);
    if (depth >= 31)
        EXPECT_EQ(colours, 0) << "too many colours for a Long";
    else
        EXPECT_EQ(colours, Long(1) << depth);
    Long none = 0;
    EXPECT_EQ(m_gl.RVN_DisplayColor(none), 0);
}

TEST(SystemHelpers, SharedLibraryChecks) {
    CL_GL010C gl;
    QString lib = QStringLiteral("libm.so.6");
    QString fn = QStringLiteral("cos");
    EXPECT_EQ(gl.RVN_DLLFunctionCheck(lib, fn), True);
    fn = QStringLiteral("no_such_function_here");
    EXPECT_EQ(gl.RVN_DLLFunctionCheck(lib, fn), False);
    EXPECT_EQ(gl.RVN_APIErrorGet(), 127);
    QString missing = QStringLiteral("libno-such-library-at-all.so");
    fn = QStringLiteral("cos");
    EXPECT_EQ(gl.RVN_DLLFunctionCheck(missing, fn), False);
    EXPECT_EQ(gl.RVN_APIErrorGet(), 126);
    QString empty;
    EXPECT_EQ(gl.RVN_DLLFunctionCheck(lib, empty), False);
}

TEST(SystemHelpers, CompiledCheckIsFalseOnlyUnderTheDevelopmentEnvironmentsName) {
    CL_GL010C gl;
    // A run of this test under another program name, started below.
    if (const QByteArray expected = qgetenv("TAMBOLIN_EXPECT_COMPILED_CHECK");
        !expected.isEmpty()) {
        EXPECT_EQ(gl.RVN_CompiledCheck(nullptr), expected.toInt());
        return;
    }
    EXPECT_EQ(gl.RVN_CompiledCheck(nullptr), True);

    // The same program linked under other names, each run for this test alone.
    QTemporaryDir dir(QStringLiteral(TAMBOLIN_BINARY_DIR "/compiled-check-XXXXXX"));
    ASSERT_TRUE(dir.isValid());
    const QString self = QCoreApplication::applicationFilePath();
    const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString filter =
        QStringLiteral("--gtest_filter=%1.%2")
            .arg(QString::fromLatin1(info->test_suite_name()), QString::fromLatin1(info->name()));
    const struct {
        const char *name;
        Boolean expected;
    } names[] = {
        {"VB32.EXE", False}, {"vb32.exe", False},    {"x\\VB5.EXE", False},
        {"VB5.EXE", True},   {"VB32.EXE.old", True}, {"tambolin-tests", True},
    };
    for (const auto &[name, expected] : names) {
        const QString program = dir.filePath(QString::fromLatin1(name));
        const bool linked = ::link(QFile::encodeName(self).constData(),
                                   QFile::encodeName(program).constData()) == 0;
        ASSERT_TRUE(linked || QFile::copy(self, program)) << name;
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TAMBOLIN_EXPECT_COMPILED_CHECK"), QString::number(expected));
        run.setProcessEnvironment(env);
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start(program, {filter});
        ASSERT_TRUE(run.waitForFinished(60000)) << name;
        const QString out = QString::fromLocal8Bit(run.readAll());
        EXPECT_EQ(run.exitCode(), 0) << name << "\n" << out.toStdString();
        EXPECT_TRUE(out.contains(QStringLiteral("[  PASSED  ] 1 test"))) << name << "\n"
                                                                         << out.toStdString();
    }
}

TEST(SystemHelpers, SleepWaitsAndANegativeTimeDoesNot) {
    CL_GL010C gl;
    QElapsedTimer t;
    t.start();
    Long ms = 60;
    gl.RVN_Sleep(ms);
    EXPECT_GE(t.elapsed(), 60);
    t.restart();
    ms = -1;
    gl.RVN_Sleep(ms);
    EXPECT_LT(t.elapsed(), 50);
}

} // namespace
} // namespace tambolin
