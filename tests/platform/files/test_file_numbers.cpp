#include "platform/files/file_numbers.h"

#include "support/temp_files.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace tambolin;
using tambolin::testing::readFile;
using tambolin::testing::TempFolder;
using tambolin::testing::writeFile;

namespace {

QByteArray readAll(Integer number) {
    QByteArray out;
    Byte b = 0;
    while (!Eof(number)) {
        EXPECT_TRUE(GetByte(number, b));
        out.append(static_cast<char>(b));
    }
    EXPECT_FALSE(GetByte(number, b)); // at the end nothing more comes
    return out;
}

} // namespace

TEST(FileNumbers, FreeNumbersAreTakenLowestFirstAndReused) {
    TempFolder dir;
    ASSERT_TRUE(writeFile(dir.path("a"), "x"));
    const Integer first = FreeFile();
    Open(dir.path("a"), FileAccess::Read, first);
    const Integer second = FreeFile();
    EXPECT_NE(first, second);
    Open(dir.path("a"), FileAccess::Read, second);
    Close(first);
    EXPECT_EQ(FreeFile(), first);
    Close(second);
    EXPECT_FALSE(IsOpen(first));
    EXPECT_FALSE(IsOpen(second));
}

TEST(FileNumbers, ReadsRawBytesOneAtATime) {
    TempFolder dir;
    const QByteArray content("\x00\x1b$D\xff\x0f", 6);
    ASSERT_TRUE(writeFile(dir.path("m.tbn"), content));
    const Integer n = FreeFile();
    Open(dir.path("m.tbn"), FileAccess::Read, n);
    EXPECT_EQ(readAll(n), content);
    PutByte(n, 1); // a file open for reading takes no writes
    Close(n);
    EXPECT_EQ(readFile(dir.path("m.tbn")), content);
}

TEST(FileNumbers, WritingCreatesOrEmptiesTheFile) {
    TempFolder dir;
    ASSERT_TRUE(writeFile(dir.path("out"), "old content that is longer"));
    const Integer n = FreeFile();
    Open(dir.path("out"), FileAccess::Write, n);
    for (Byte b : {Byte{0}, Byte{39}, Byte{255}})
        PutByte(n, b);
    Byte ignored = 7;
    EXPECT_FALSE(GetByte(n, ignored)); // nor reads from a file open for writing
    EXPECT_EQ(ignored, 7);
    Close(n);
    EXPECT_EQ(readFile(dir.path("out")), QByteArray("\x00\x27\xff", 3));
}

TEST(FileNumbers, ANumberNamingNoOpenFileDoesNothing) {
    // Another file is open for writing meanwhile: writes and closes through
    // numbers that name no open file must neither reach it nor close it,
    // nor create a file anywhere.
    TempFolder dir;
    const Integer open = FreeFile();
    Open(dir.path("open"), FileAccess::Write, open);
    ASSERT_TRUE(IsOpen(open));
    Byte b = 42;
    for (Integer n : {Integer{0}, Integer{-1}, Integer(open + 1), Integer{600}}) {
        EXPECT_FALSE(GetByte(n, b));
        EXPECT_TRUE(Eof(n));
        EXPECT_NO_THROW(PutByte(n, 1));
        EXPECT_NO_THROW(Close(n));
    }
    EXPECT_EQ(b, 42);
    EXPECT_TRUE(IsOpen(open));
    PutByte(open, 'x');
    Close(open);
    EXPECT_EQ(readFile(dir.path("open")), QByteArray("x"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"open"});
}

TEST(FileNumbers, FailedOpensFailTheStatementAndKeepTheNumberFree) {
    TempFolder dir;
    ASSERT_TRUE(writeFile(dir.path("a"), "x"));
    const Integer n = FreeFile();
    EXPECT_THROW(Open(dir.path("missing"), FileAccess::Read, n), StepFailed);
    EXPECT_FALSE(IsOpen(n));
    EXPECT_THROW(Open(dir.path("no/such/folder"), FileAccess::Write, n), StepFailed);
    EXPECT_THROW(Open(dir.path("a"), FileAccess::Read, 0), StepFailed);
    EXPECT_THROW(Open(dir.path("a"), FileAccess::Read, MaxFileNumber + 1), StepFailed);
    EXPECT_THROW(Open(QString(), FileAccess::Read, n), StepFailed);

    Open(dir.path("a"), FileAccess::Read, n);
    EXPECT_THROW(Open(dir.path("a"), FileAccess::Read, n), StepFailed); // already open
    Close(n);
}

TEST(FileNumbers, AllNumbersTakenFailsFreeFile) {
    TempFolder dir;
    ASSERT_TRUE(writeFile(dir.path("a"), "x"));
    std::vector<Integer> taken;
    while (true) {
        Integer n = 0;
        if (!step([&] { n = FreeFile(); }))
            break;
        Open(dir.path("a"), FileAccess::Read, n);
        taken.push_back(n);
        ASSERT_LE(taken.size(), static_cast<std::size_t>(MaxFileNumber));
    }
    EXPECT_EQ(taken.size(), static_cast<std::size_t>(MaxFileNumber));
    for (Integer n : taken)
        Close(n);
}

TEST(FileNumbers, AWriteThatCannotReachTheDiskFailsTheClose) {
    // /dev/full takes the bytes into the buffer and refuses them on flush.
    const Integer n = FreeFile();
    Open(QStringLiteral("/dev/full"), FileAccess::Write, n);
    PutByte(n, 65);
    EXPECT_THROW(Close(n), StepFailed);
    EXPECT_FALSE(IsOpen(n)); // the number is free again all the same
}
