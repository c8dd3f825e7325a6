#include "platform/runtime/bounded_read.h"

#include <QBuffer>
#include <gtest/gtest.h>

using tambolin::readAtMost;

namespace {

QByteArray through(const QByteArray &data, qint64 limit) {
    QByteArray copy = data;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return readAtMost(buffer, limit);
}

} // namespace

TEST(BoundedRead, TellsTooLargeFromExactlyTheLimit) {
    const QByteArray data(200'000, 'x'); // several chunks
    EXPECT_EQ(through(data, 200'000), data);
    EXPECT_EQ(through(data, 199'999).size(), 200'000); // one byte over: too large
    EXPECT_EQ(through(data, 10).size(), 11);
    EXPECT_EQ(through({}, 10), QByteArray());
    EXPECT_EQ(through("abc", 0), QByteArray("a"));
}

TEST(BoundedRead, ASmallFileDoesNotReserveTheLimit) {
    const QByteArray small = through("tiny", 32 << 20);
    EXPECT_EQ(small, QByteArray("tiny"));
    EXPECT_LT(small.capacity(), 1 << 20);
}
