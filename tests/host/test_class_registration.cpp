#include "control/automation/class_entry.h"
#include "control/automation/class_registration.h"
#include "host/class_lookup.h"
#include "host/control_loader.h"
#include "platform/registry/registry.h"
#include "support/config_home.h"

#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

using namespace tambolin;

namespace {

class ClassRegistration : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_registry.isValid()); }

    static void setDefault(const char *subKey, const QByteArray &text) {
        HKEY key = 0;
        ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, subKey, &key), ERROR_SUCCESS);
        QByteArray data = text;
        data.append('\0');
        ASSERT_EQ(RegSetValueExA(key, nullptr, 0, REG_SZ,
                                 reinterpret_cast<const Byte *>(data.constData()),
                                 static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    static QString registeredLibrary() {
        RegisteredClass found;
        QString error;
        return findRegisteredClass(QString::fromLatin1(kPlayctrlProgId), found, error)
                   ? found.library
                   : QString();
    }

    tambolin::testing::ConfigHome m_registry;
};

TEST_F(ClassRegistration, RecordsTheClassWithTheLibrarysOwnPath) {
    ASSERT_EQ(DllRegisterServer(), S_OK);

    RegisteredClass found;
    QString error;
    ASSERT_TRUE(findRegisteredClass(QStringLiteral("TAMBOLIN.PLAYCTRL"), found, error))
        << error.toStdString();
    EXPECT_EQ(found.clsid, QString::fromLatin1(kPlayctrlClsid));
    EXPECT_EQ(found.library, thisLibraryPath());
    EXPECT_TRUE(QFileInfo(found.library).isAbsolute());
    EXPECT_TRUE(QFileInfo::exists(found.library));
    EXPECT_TRUE(found.library.endsWith(QStringLiteral("/libTAMBOLIN.so")));

    // Program identifiers are looked up as the registry compares names.
    RegisteredClass lower;
    EXPECT_TRUE(findRegisteredClass(QStringLiteral("tambolin.playctrl"), lower, error));
    EXPECT_EQ(lower.library, found.library);
}

TEST_F(ClassRegistration, RegisteringAgainMovesTheClassToTheNewLibrary) {
    ASSERT_EQ(registerControlClasses(QStringLiteral("/opt/old/libTAMBOLIN.so")), S_OK);
    EXPECT_EQ(registeredLibrary(), QStringLiteral("/opt/old/libTAMBOLIN.so"));
    ASSERT_EQ(DllRegisterServer(), S_OK);
    EXPECT_EQ(registeredLibrary(), thisLibraryPath());
}

TEST_F(ClassRegistration, AFileNameWithNonAsciiBytesSurvivesTheRegistry) {
    const QString path = QStringLiteral("/home/利用者/lib/libTAMBOLIN.so");
    ASSERT_EQ(registerControlClasses(path), S_OK);
    EXPECT_EQ(registeredLibrary(), path);
}

TEST_F(ClassRegistration, NoLibraryPathIsNoRegistration) {
    EXPECT_EQ(registerControlClasses(QString()), SELFREG_E_CLASS);
    EXPECT_TRUE(registeredLibrary().isEmpty());
}

TEST_F(ClassRegistration, TellsWhyAClassCannotBeFound) {
    RegisteredClass found;
    QString error;
    EXPECT_FALSE(findRegisteredClass(QStringLiteral("TAMBOLIN.PLAYCTRL"), found, error));
    EXPECT_TRUE(error.contains(QStringLiteral("\"TAMBOLIN.PLAYCTRL\" is not registered")))
        << error.toStdString();

    // A class identifier without the library that holds it.
    setDefault("TAMBOLIN.PLAYCTRL\\CLSID", kPlayctrlClsid);
    EXPECT_FALSE(findRegisteredClass(QStringLiteral("TAMBOLIN.PLAYCTRL"), found, error));
    EXPECT_TRUE(error.contains(QStringLiteral("names no library"))) << error.toStdString();
}

// ---- the loader's failures ----

TEST_F(ClassRegistration, AnUnregisteredClassWithNothingShippedSaysHowToRegister) {
    ControlLoader loader({QStringLiteral("/nonexistent/libTAMBOLIN.so")});
    QWidget parent;
    EXPECT_EQ(loader.create(QStringLiteral("TAMBOLIN.PLAYCTRL"), &parent), nullptr);
    EXPECT_TRUE(loader.errorString().contains(QStringLiteral("is not registered")));
    EXPECT_TRUE(loader.errorString().contains(QStringLiteral("tambolin register")));
    EXPECT_TRUE(parent.children().isEmpty());
}

TEST_F(ClassRegistration, ALibraryThatWillNotLoadIsNamedWithTheReason) {
    QTemporaryDir dir;
    const QString broken = dir.path() + QStringLiteral("/libTAMBOLIN.so");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a shared library");
    file.close();
    ASSERT_EQ(registerControlClasses(broken), S_OK);

    ControlLoader loader;
    QWidget parent;
    EXPECT_EQ(loader.create(QStringLiteral("TAMBOLIN.PLAYCTRL"), &parent), nullptr);
    EXPECT_TRUE(loader.errorString().contains(QStringLiteral("cannot be loaded")))
        << loader.errorString().toStdString();
    // Nothing shipped to fall back on: the broken registration stays.
    EXPECT_EQ(registeredLibrary(), broken);
}

TEST_F(ClassRegistration, ALibraryWithoutTheFactoryIsNotAControlLibrary) {
    const QString qtCore =
        QLibraryInfo::path(QLibraryInfo::LibrariesPath) + QStringLiteral("/libQt6Core.so.6");
    ASSERT_TRUE(QFileInfo::exists(qtCore));
    ASSERT_EQ(registerControlClasses(qtCore), S_OK);

    ControlLoader loader;
    QWidget parent;
    EXPECT_EQ(loader.create(QStringLiteral("TAMBOLIN.PLAYCTRL"), &parent), nullptr);
    EXPECT_TRUE(loader.errorString().contains(QStringLiteral("is not a control library")))
        << loader.errorString().toStdString();
}

TEST_F(ClassRegistration, AShippedLibraryThatIsNotOneOfOursIsReported) {
    const QString qtCore =
        QLibraryInfo::path(QLibraryInfo::LibrariesPath) + QStringLiteral("/libQt6Core.so.6");
    ControlLoader loader({qtCore});
    QWidget parent;
    EXPECT_EQ(loader.create(QStringLiteral("TAMBOLIN.PLAYCTRL"), &parent), nullptr);
    EXPECT_TRUE(loader.errorString().contains(QStringLiteral("could not register")))
        << loader.errorString().toStdString();
    EXPECT_TRUE(registeredLibrary().isEmpty());
}

} // namespace
