// One tamberlo per session: the first start keeps the name, later starts
// hand their locations over and end.

#include "host/tamberlo/single_instance.h"
#include "support/private_bus.h"

#include <QDBusConnection>
#include <gtest/gtest.h>

#include <memory>

using namespace tambolin::tamberlo;
using Role = SingleInstance::Role;

namespace {

class TamberloSingleInstance : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(m_bus.address().isEmpty()); }
    void TearDown() override {
        for (const QString &name : m_names)
            QDBusConnection::disconnectFromBus(name);
    }
    QDBusConnection connect(const QString &name) {
        m_names << name;
        return QDBusConnection::connectToBus(m_bus.address(), name);
    }

    tambolin::testing::PrivateBus m_bus;
    QStringList m_names;
};

TEST_F(TamberloSingleInstance, ASecondStartHandsItsLocationsToTheFirst) {
    auto first = std::make_unique<SingleInstance>(connect(QStringLiteral("first")));
    std::vector<QStringList> received;
    QObject::connect(first.get(), &SingleInstance::openRequested,
                     [&](const QStringList &locations) { received.push_back(locations); });
    EXPECT_EQ(first->claim({QStringLiteral("/m/a.tbn")}), Role::Primary);
    EXPECT_TRUE(received.empty()); // its own locations are its own business

    const QStringList handed{QStringLiteral("/m/b.tbn"),
                             QStringLiteral("http://example.org/c.tbn")};
    SingleInstance second(connect(QStringLiteral("second")));
    EXPECT_EQ(second.claim(handed), Role::HandedOver);
    // A start without arguments asks the window to show itself.
    SingleInstance third(connect(QStringLiteral("third")));
    EXPECT_EQ(third.claim({}), Role::HandedOver);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], handed);
    EXPECT_TRUE(received[1].isEmpty());

    // Once the first has ended, the next start is the player.
    first.reset();
    SingleInstance fourth(connect(QStringLiteral("fourth")));
    EXPECT_EQ(fourth.claim({QStringLiteral("/m/d.tbn")}), Role::Primary);
}

TEST_F(TamberloSingleInstance, WithoutASessionBusThePlayerRunsAlone) {
    SingleInstance alone(QDBusConnection(QStringLiteral("never-connected")));
    EXPECT_EQ(alone.claim({QStringLiteral("/m/a.tbn")}), Role::Standalone);
}

} // namespace
