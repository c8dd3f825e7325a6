// Creating the player control by its class name, as TBO does: through the
// registry and the library's own entry points, never by linking its class.

#include "control/automation/class_entry.h"
#include "control/automation/class_factory.h"
#include "control/automation/class_registration.h"
#include "host/class_lookup.h"
#include "host/control_loader.h"
#include "host/frm_tbo.h"
#include "platform/midi/midi_setup.h"
#include "platform/runtime/message_box.h"
#include "support/config_home.h"

#include <QLibraryInfo>
#include <QWidget>
#include <gtest/gtest.h>

using namespace tambolin;

namespace {

// A control starts by opening MIDI output: a recorder here, and any message
// box answered and kept.
class CreateByName : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_registry.isValid());
        useMidiRecorder();
    }
    void TearDown() override { useDefaultMidiBackends(); }

    static bool isPlayer(const QWidget *widget) {
        return widget && QLatin1String(widget->metaObject()->className()) ==
                             QLatin1String("tambolin::PLAYCTRL");
    }
    static QString registeredLibrary() {
        RegisteredClass found;
        QString error;
        return findRegisteredClass(QString::fromLatin1(kPlayctrlProgId), found, error)
                   ? found.library
                   : QString();
    }

    tambolin::testing::ConfigHome m_registry;
    MessageBoxRecorder m_boxes;
};

TEST_F(CreateByName, TheFactoryMakesOnlyItsOwnClass) {
    QWidget parent;
    QWidget *control = tambolin_CreateControl(kPlayctrlClsid, &parent);
    EXPECT_TRUE(isPlayer(control));
    EXPECT_EQ(control->parentWidget(), &parent);
    // Class identifiers compare without regard to letter case.
    EXPECT_TRUE(isPlayer(
        tambolin_CreateControl(QByteArray(kPlayctrlClsid).toLower().constData(), &parent)));
    EXPECT_EQ(tambolin_CreateControl("{00000000-0000-0000-0000-000000000000}", &parent), nullptr);
    EXPECT_EQ(tambolin_CreateControl(nullptr, &parent), nullptr);
}

TEST_F(CreateByName, ARegisteredClassIsCreatedFromItsLibrary) {
    ASSERT_EQ(DllRegisterServer(), S_OK);
    ControlLoader loader;
    QWidget parent;
    QWidget *control = loader.create(QStringLiteral("TAMBOLIN.PLAYCTRL"), &parent);
    ASSERT_TRUE(isPlayer(control)) << loader.errorString().toStdString();
    EXPECT_EQ(control->parentWidget(), &parent);
    EXPECT_TRUE(loader.errorString().isEmpty());
}

TEST_F(CreateByName, AFirstStartRegistersTheShippedLibrary) {
    ASSERT_TRUE(registeredLibrary().isEmpty());
    ControlLoader loader({QStringLiteral("/nonexistent/libTAMBOLIN.so"), thisLibraryPath()});
    QWidget parent;
    EXPECT_TRUE(isPlayer(loader.create(QStringLiteral("TAMBOLIN.PLAYCTRL"), &parent)))
        << loader.errorString().toStdString();
    EXPECT_EQ(registeredLibrary(), thisLibraryPath());
}

TEST_F(CreateByName, ARegistrationNamingAnUnusableLibraryIsRepaired) {
    const QString qtCore =
        QLibraryInfo::path(QLibraryInfo::LibrariesPath) + QStringLiteral("/libQt6Core.so.6");
    for (const QString &stale : {QStringLiteral("/moved/away/libTAMBOLIN.so"), qtCore}) {
        SCOPED_TRACE(stale.toStdString());
        ASSERT_EQ(registerControlClasses(stale), S_OK);
        ControlLoader loader({thisLibraryPath()});
        QWidget parent;
        EXPECT_TRUE(isPlayer(loader.create(QStringLiteral("TAMBOLIN.PLAYCTRL"), &parent)))
            << loader.errorString().toStdString();
        EXPECT_EQ(registeredLibrary(), thisLibraryPath());
    }
}

TEST_F(CreateByName, TheFormCarriesTheControlOverItsWholeClientArea) {
    ASSERT_EQ(DllRegisterServer(), S_OK);
    ControlLoader loader;
    FRM_TBO form(loader);
    QWidget *control = form.playctrl1();
    ASSERT_TRUE(isPlayer(control)) << form.loadError().toStdString();
    EXPECT_TRUE(form.loadError().isEmpty());
    EXPECT_EQ(control->objectName(), QStringLiteral("PLAYCTRL1"));
    EXPECT_EQ(control->parentWidget(), &form);
    EXPECT_EQ(form.findChildren<QWidget *>(Qt::FindDirectChildrenOnly).size(), 1);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Form1"));
    EXPECT_EQ(form.size(), QSize(161, 101));
    EXPECT_EQ(control->geometry(), QRect(0, 0, 163, 103));
    EXPECT_TRUE(control->geometry().contains(form.rect()));

    // Resizing is not handled: the control keeps its size.
    form.resize(300, 200);
    EXPECT_EQ(control->size(), QSize(163, 103));
}

} // namespace
