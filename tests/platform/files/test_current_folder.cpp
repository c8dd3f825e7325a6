#include "platform/files/current_folder.h"
#include "platform/runtime/basic_runtime.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tambolin;

namespace {

// Every test leaves the process where it found it.
class CurrentFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_canonical = QFileInfo(m_dir.path()).canonicalFilePath();
        ASSERT_TRUE(QDir(m_canonical).mkdir(QStringLiteral("sub")));
    }
    void TearDown() override { QDir::setCurrent(m_saved); }

    QTemporaryDir m_dir;
    QString m_canonical;
    QString m_saved = QDir::currentPath();
};

TEST_F(CurrentFolder, ChangesToAbsoluteAndRelativeFolders) {
    ChDir(m_canonical);
    EXPECT_EQ(CurDir(), m_canonical);
    ChDir(QStringLiteral("sub"));
    EXPECT_EQ(CurDir(), m_canonical + QStringLiteral("/sub"));
    ChDir(QStringLiteral(".."));
    EXPECT_EQ(CurDir(), m_canonical);
}

TEST_F(CurrentFolder, AFolderThatCannotBeEnteredFailsTheStatementAndStaysPut) {
    ChDir(m_canonical);
    EXPECT_THROW(ChDir(m_canonical + QStringLiteral("/missing")), StepFailed);
    EXPECT_THROW(ChDir(QString()), StepFailed);
    EXPECT_FALSE(step([&] { ChDir(QStringLiteral("/dev/null")); })); // a file, not a folder
    EXPECT_EQ(CurDir(), m_canonical);
}

} // namespace
