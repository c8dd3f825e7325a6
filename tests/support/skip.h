#pragma once
// Skipping a test for want of something outside the project: a program, a
// Python module, a sound font, a running server. With TAMBOLIN_NO_SKIP set
// (scripts/test.sh sets it under CI) such a skip fails the test instead, so
// a package missing from the build machine cannot pass for a passing test.

#include <QByteArray>
#include <QtGlobal>
#include <gtest/gtest.h>

namespace tambolin::testing {

inline bool skipsAreFailures() {
    const QByteArray value = qgetenv("TAMBOLIN_NO_SKIP");
    return !value.isEmpty() && value != "0";
}

} // namespace tambolin::testing

// Ends the test as skipped, or as failed when skips are failures; why says
// what is missing.
#define TAMBOLIN_SKIP_WITHOUT(why)                                                                 \
    do {                                                                                           \
        if (::tambolin::testing::skipsAreFailures()) {                                             \
            GTEST_FAIL() << "cannot run (TAMBOLIN_NO_SKIP is set): " << (why);                     \
        } else {                                                                                   \
            GTEST_SKIP() << (why);                                                                 \
        }                                                                                          \
    } while (false)
