// The handle table between Long window handles and widgets.

#include "platform/desktop/handles.h"

#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

using namespace tambolin;

TEST(Handles, OneStableHandlePerWidgetUntilItIsDestroyed) {
    auto first = std::make_unique<QWidget>();
    QWidget second;
    const Long h1 = handleOf(first.get());
    const Long h2 = handleOf(&second);
    EXPECT_NE(h1, 0);
    EXPECT_NE(h1, h2);
    EXPECT_EQ(handleOf(first.get()), h1);
    EXPECT_EQ(widgetOf(h1), first.get());
    EXPECT_EQ(widgetOf(h2), &second);

    first.reset();
    EXPECT_EQ(widgetOf(h1), nullptr);
    // A new widget never inherits a handle that was given out before.
    QWidget third;
    EXPECT_NE(handleOf(&third), h1);
    EXPECT_EQ(widgetOf(h1), nullptr);
}

TEST(Handles, NullAndUnknownHandlesFindNothing) {
    EXPECT_EQ(handleOf(nullptr), 0);
    EXPECT_EQ(widgetOf(0), nullptr);
    EXPECT_EQ(widgetOf(12345), nullptr);
}
