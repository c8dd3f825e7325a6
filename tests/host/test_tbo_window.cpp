#include "host/control_extent.h"
#include "host/control_loader.h"
#include "host/frm_tbo.h"
#include "host/version_info.h"
#include "support/config_home.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QSettings>
#include <gtest/gtest.h>

using namespace tambolin;

namespace {

TEST(ControlExtent, HundredthsOfAMillimetreBecomeDesignPixels) {
    EXPECT_EQ(extentToPixels(2540, 5080), QSize(96, 192)); // one and two inches
    EXPECT_EQ(extentToPixels(4313, 2725), QSize(163, 103));
    EXPECT_EQ(extentToPixels(0, 0), QSize(0, 0));
    // Half a pixel is 13.23 hundredths: 13 rounds down, 14 up.
    EXPECT_EQ(extentToPixels(13, 14), QSize(0, 1));
}

TEST(TboWindow, WithoutItsControlTheFormReportsWhy) {
    tambolin::testing::ConfigHome registry;
    ControlLoader loader;
    FRM_TBO form(loader);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Form1"));
    EXPECT_EQ(form.size(), QSize(161, 101));
    EXPECT_EQ(form.playctrl1(), nullptr);
    EXPECT_TRUE(form.loadError().contains(QStringLiteral("TAMBOLIN.PLAYCTRL")));
}

// ---- what the program says about itself ----

TEST(TboMetadata, TheApplicationIsNamedAfterTheProgram) {
    const VersionInfo &info = tboVersionInfo();
    applyVersionInfo(*qApp, info);
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("TBO"));
    EXPECT_EQ(QCoreApplication::applicationVersion(), QStringLiteral("1.00"));
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("tbo"));
    EXPECT_EQ(qApp->property("productName").toString(), QStringLiteral("Tamberlo Player"));
    EXPECT_EQ(qApp->property("fileDescription").toString(),
              QStringLiteral("J-PHONEの着ﾒﾛ用のﾃﾞｰﾀﾌｧｲﾙを再生するｿﾌﾄです。本ｿﾌﾄはﾌﾘｰｳｪｱです。"));
    EXPECT_FALSE(tboIcon().isNull());
    EXPECT_FALSE(QApplication::windowIcon().isNull());
}

TEST(TboMetadata, TheDesktopEntryAgreesWithTheProgram) {
    const QString dir = QStringLiteral(TAMBOLIN_SOURCE_DIR "/host/");
    QSettings entry(dir + tboVersionInfo().desktopFileName + QStringLiteral(".desktop"),
                    QSettings::IniFormat);
    ASSERT_EQ(entry.status(), QSettings::NoError);
    entry.beginGroup(QStringLiteral("Desktop Entry"));
    EXPECT_EQ(entry.value(QStringLiteral("Type")).toString(), QStringLiteral("Application"));
    EXPECT_EQ(entry.value(QStringLiteral("Name")).toString(), tboVersionInfo().productName);
    EXPECT_EQ(entry.value(QStringLiteral("Comment")).toString(), tboVersionInfo().fileDescription);
    EXPECT_EQ(entry.value(QStringLiteral("Exec")).toString(), tboVersionInfo().fileName);
    const QString icon = entry.value(QStringLiteral("Icon")).toString();
    EXPECT_TRUE(QFile::exists(dir + icon + QStringLiteral(".svg")));
    EXPECT_TRUE(QFile::exists(dir + icon + QStringLiteral(".png")));
}

} // namespace
