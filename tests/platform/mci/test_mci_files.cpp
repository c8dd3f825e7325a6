// The files a media command may open: regular files only.

#include "platform/mci/mci.h"
#include "platform/mci/mci_errors.h"

#include "support/temp_files.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace tambolin;
using namespace tambolin::testing;

namespace {

MCIERROR send(const QString &command) {
    char reply[128] = {};
    return mciSendStringA(QFile::encodeName(command).constData(), reply, sizeof reply, 0);
}

TEST(MciFiles, FifosDevicesAndFoldersAreRefusedWithoutWaiting) {
    TempFolder dir;
    const QString fifo = dir.path(QStringLiteral("pipe.wav"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Nobody ever writes to the FIFO: opening it for reading would wait for ever.
    EXPECT_EQ(send(QStringLiteral("open ") + fifo + QStringLiteral(" type waveaudio alias w")),
              MCIERR_INVALID_FILE);
    EXPECT_EQ(send(QStringLiteral("open ") + fifo + QStringLiteral(" type sequencer alias s")),
              MCIERR_INVALID_FILE);
    EXPECT_EQ(send(QStringLiteral("open /dev/zero type waveaudio alias z")), MCIERR_INVALID_FILE);
    EXPECT_EQ(
        send(QStringLiteral("open ") + dir.path() + QStringLiteral(" type waveaudio alias d")),
        MCIERR_INVALID_FILE);
    EXPECT_EQ(send(QStringLiteral("open ") + dir.path(QStringLiteral("none.wav")) +
                   QStringLiteral(" type waveaudio alias n")),
              MCIERR_FILE_NOT_FOUND);
    // A regular file that is no WAV file is read and refused for what it holds.
    const QString junk = dir.path(QStringLiteral("junk.wav"));
    ASSERT_TRUE(writeFile(junk, "not a wave file"));
    EXPECT_EQ(send(QStringLiteral("open ") + junk + QStringLiteral(" type waveaudio alias j")),
              MCIERR_INVALID_FILE);
}

} // namespace
