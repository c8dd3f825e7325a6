// Dates, times, time-outs and waiting for processes, on a clock the tests set.

#include "platform/clock/clock.h"
#include "platform/files/processes.h"
#include "util/cl_gl010c.h"

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace tambolin;

namespace {

// A clock that reads whatever the test set, optionally moving forward by a
// fixed step at every reading (so a polling loop sees time pass).
class SteppedClock final : public Clock {
public:
    explicit SteppedClock(QDateTime now) : m_now(std::move(now)) { setCurrentClock(this); }
    ~SteppedClock() override { setCurrentClock(nullptr); }
    SteppedClock(const SteppedClock &) = delete;
    SteppedClock &operator=(const SteppedClock &) = delete;

    void set(const QDateTime &now) { m_now = now; }
    void advanceEachReading(qint64 ms) { m_stepMs = ms; }
    qint64 readings() const { return m_readings; }

    SYSTEMTIME localTime() const override {
        ++m_readings;
        SYSTEMTIME st;
        st.wYear = static_cast<std::uint16_t>(m_now.date().year());
        st.wMonth = static_cast<std::uint16_t>(m_now.date().month());
        st.wDay = static_cast<std::uint16_t>(m_now.date().day());
        st.wDayOfWeek = static_cast<std::uint16_t>(m_now.date().dayOfWeek() % 7);
        st.wHour = static_cast<std::uint16_t>(m_now.time().hour());
        st.wMinute = static_cast<std::uint16_t>(m_now.time().minute());
        st.wSecond = static_cast<std::uint16_t>(m_now.time().second());
        st.wMilliseconds = static_cast<std::uint16_t>(m_now.time().msec());
        m_now = m_now.addMSecs(m_stepMs);
        return st;
    }
    WindowTimer *createTimer(QObject *) override {
        ADD_FAILURE() << "the date and time helpers use no window timers";
        return nullptr;
    }

private:
    mutable QDateTime m_now;
    mutable qint64 m_readings = 0;
    qint64 m_stepMs = 0;
};

QDateTime at(int y, int mo, int d, int h = 12, int mi = 0, int s = 0, int ms = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

QString dataDate(const QString &ddate, QString fname = QStringLiteral("/nonexistent/none")) {
    CL_GL010C gl;
    QString d = ddate;
    return gl.RVN_DataDate(d, fname);
}

} // namespace

TEST(DataDate, FillsMissingPartsWithTheLatestDateNotAfterToday) {
    SteppedClock clock(at(2000, 3, 10));
    EXPECT_EQ(dataDate("0315"), "19990315"); // this year's 15 March is still to come
    EXPECT_EQ(dataDate("0305"), "20000305");
    EXPECT_EQ(dataDate("15"), "20000215");     // month filled, stepped back one month
    EXPECT_EQ(dataDate("991231"), "19991231"); // century filled, stepped back a century
    EXPECT_EQ(dataDate("20000101"), "20000101");
    EXPECT_EQ(dataDate("000315"), "19990315");   // a year reading 0 is a missing year
    EXPECT_EQ(dataDate(" 0310 "), "20000310");   // blanks around, today itself
    EXPECT_EQ(dataDate("20991231"), "20991231"); // complete dates are not checked
    EXPECT_EQ(dataDate("ab"), "20000310");       // unreadable parts come from the reference
}

TEST(DataDate, ComposesDaysBeyondTheMonthTheCalendarsWay) {
    SteppedClock clock(at(2000, 3, 10));
    EXPECT_EQ(dataDate("0231"), "20000302"); // leap year
    clock.set(at(2001, 3, 10));
    EXPECT_EQ(dataDate("0231"), "20010303");
    EXPECT_EQ(dataDate("1332"), "20010201"); // month 13 day 32 of 2000, stepped back a year
    clock.set(at(2000, 1, 5));
    EXPECT_EQ(dataDate("20"), "19991220"); // month stepped back across the year
}

TEST(DataDate, TakesTheReferenceFromAFileThatHasContent) {
    SteppedClock clock(at(2024, 6, 1));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("dated.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
    file.flush();
    ASSERT_TRUE(file.setFileTime(QDateTime(QDate(2000, 3, 10), QTime(12, 0)),
                                 QFileDevice::FileModificationTime));
    file.close();
    EXPECT_EQ(dataDate("0315", path), "19990315");

    // An empty file gives no reference: today is used.
    const QString empty = dir.filePath("empty.txt");
    QFile e(empty);
    ASSERT_TRUE(e.open(QIODevice::WriteOnly));
    e.close();
    EXPECT_EQ(dataDate("0315", empty), "20240315");
}

TEST(LocalDateTime, FormatsTheClockInFixedWidths) {
    SteppedClock clock(at(2000, 3, 9, 9, 5, 3, 7));
    CL_GL010C gl;
    EXPECT_EQ(gl.RVN_LocalDate(), "2000/03/09");
    EXPECT_EQ(gl.RVN_LocalTime(), "09:05:03:007");
    Long hh = 9, mn = 5, ss = 3, ms = 7;
    EXPECT_EQ(gl.RVN_Timeformat(hh, mn, ss, ms), "09:05:03:007");
    hh = 123, mn = -5, ss = 60, ms = 1234;
    EXPECT_EQ(gl.RVN_Timeformat(hh, mn, ss, ms), "123:-05:60:1234");
}

TEST(TimeCheck, NormalisesFromTheSmallestUnitUp) {
    CL_GL010C gl;
    struct Case {
        Long hh, mn, ss, ms;
        Long eh, em, es, ems;
        Boolean crossed;
    };
    const Case cases[] = {
        {23, 59, 59, 1500, 0, 0, 0, 500, True},
        {10, 59, 59, 1000, 11, 0, 0, 0, False},
        // A negative value keeps its magnitude and borrows one more from the
        // next unit, which then does the same.
        {12, 0, 0, -250, 11, 1, 1, 250, False},
        {0, 0, 0, -1, 1, 1, 1, 1, True},
        {5, -61, 0, 0, 3, 1, 0, 0, False},
        {25, 0, 0, 0, 1, 0, 0, 0, True},
        {0, 0, 125, 0, 0, 2, 5, 0, False},
    };
    for (const Case &c : cases) {
        Long hh = c.hh, mn = c.mn, ss = c.ss, ms = c.ms;
        const Boolean crossed = gl.RVN_TimeCheck(hh, mn, ss, ms);
        SCOPED_TRACE(testing::Message() << c.hh << ':' << c.mn << ':' << c.ss << ':' << c.ms);
        EXPECT_EQ(crossed, c.crossed);
        EXPECT_EQ(hh, c.eh);
        EXPECT_EQ(mn, c.em);
        EXPECT_EQ(ss, c.es);
        EXPECT_EQ(ms, c.ems);
    }
}

TEST(TimeCheck, AnOverflowingBorrowSkipsOnlyThatStep) {
    CL_GL010C gl;
    Long hh = 0, mn = 0, ss = std::numeric_limits<Long>::max(), ms = 5000;
    EXPECT_EQ(gl.RVN_TimeCheck(hh, mn, ss, ms), True);
    EXPECT_EQ(ms, 5000); // the carry into seconds overflowed: left as it was
    EXPECT_EQ(ss, std::numeric_limits<Long>::max() % 60);
    EXPECT_EQ(mn, std::numeric_limits<Long>::max() / 60 % 60);
    EXPECT_EQ(hh, std::numeric_limits<Long>::max() / 3600 % 24);
}

TEST(TimeOut, AcrossMidnightOnlyTheNextDayCounts) {
    SteppedClock clock(at(2000, 3, 10, 23, 59, 59, 950));
    CL_GL010C gl;
    QString bdate = "2000/03/10", btime = "23:59:59:900";
    Long ms = 200;
    EXPECT_EQ(gl.RVN_TimeOut(bdate, btime, ms), False);
    clock.set(at(2000, 3, 10, 23, 59, 59, 999));
    EXPECT_EQ(gl.RVN_TimeOut(bdate, btime, ms), False);
    clock.set(at(2000, 3, 11, 0, 0, 0, 100));
    EXPECT_EQ(gl.RVN_TimeOut(bdate, btime, ms), False); // not yet past 00:00:00:100
    clock.set(at(2000, 3, 11, 0, 0, 0, 101));
    EXPECT_EQ(gl.RVN_TimeOut(bdate, btime, ms), True);
}

TEST(TimeOut, WithinADayComparesTheTimeTexts) {
    SteppedClock clock(at(2000, 3, 10, 10, 0, 1, 0));
    CL_GL010C gl;
    QString bdate = "2000/03/10", btime = "10:00:00:000";
    Long ms = 1000;
    EXPECT_EQ(gl.RVN_TimeOut(bdate, btime, ms), False); // equal is not past
    clock.set(at(2000, 3, 10, 10, 0, 1, 1));
    EXPECT_EQ(gl.RVN_TimeOut(bdate, btime, ms), True);
    clock.set(at(2000, 3, 11, 10, 0, 1, 1));
    EXPECT_EQ(gl.RVN_TimeOut(bdate, btime, ms), False); // the day changed, the end did not cross
}

TEST(TimeOutCheck, IsTrueOnlyWhenMoreThanTheSpanHasPassed) {
    SteppedClock clock(at(2000, 3, 10, 0, 0, 5));
    CL_GL010C gl;
    QString span = "00:00:10";
    Date elevenAgo = toDate(at(2000, 3, 9, 23, 59, 54));
    Date tenAgo = toDate(at(2000, 3, 9, 23, 59, 55));
    EXPECT_EQ(gl.RVN_TimeOutCheck(elevenAgo, span), True);
    EXPECT_EQ(gl.RVN_TimeOutCheck(tenAgo, span), False);

    QString long_span = "99:00:00"; // not a time of day: read as numbers
    Date start = toDate(at(2000, 3, 5, 21, 0, 4));
    EXPECT_EQ(gl.RVN_TimeOutCheck(start, long_span), True);
    start = toDate(at(2000, 3, 5, 21, 0, 5));
    EXPECT_EQ(gl.RVN_TimeOutCheck(start, long_span), False);

    QString wrongLength = "0:00:10";
    EXPECT_EQ(gl.RVN_TimeOutCheck(elevenAgo, wrongLength), False);
    QString empty;
    EXPECT_EQ(gl.RVN_TimeOutCheck(elevenAgo, empty), False);
}

TEST(DateValue, RoundTripsToTheMillisecondOnBothSidesOfDayZero) {
    for (const QDateTime &t : {at(2000, 3, 10, 23, 59, 59, 999), at(1899, 12, 29, 6, 0),
                               at(1899, 12, 30, 0, 0), at(100, 1, 1, 0, 0, 0, 1)}) {
        SCOPED_TRACE(t.toString(Qt::ISODateWithMs).toStdString());
        EXPECT_EQ(fromDate(toDate(t)), t);
    }
    EXPECT_DOUBLE_EQ(toDate(at(1899, 12, 29, 6, 0)), -1.25);
    EXPECT_FALSE(fromDate(1e300).isValid());
}

namespace {

// A child that runs until told otherwise; reaped by the test.
pid_t startChild(int exitCode, bool runForever) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (runForever)
            for (;;)
                pause();
        _exit(exitCode);
    }
    return pid;
}

int reap(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

} // namespace

TEST(Processes, ReportStillActiveUntilTheProcessEnds) {
    const pid_t child = startChild(0, true);
    ASSERT_GT(child, 0);
    ProcessHandle handle = OpenProcess(PROCESS_QUERY_INFORMATION, False, child);
    ASSERT_TRUE(handle.isOpen());
    Long code = 0;
    ASSERT_EQ(GetExitCodeProcess(handle, &code), True);
    EXPECT_EQ(code, STILL_ACTIVE);

    ProcessHandle killer = OpenProcess(PROCESS_TERMINATE, False, child);
    ASSERT_TRUE(killer.isOpen());
    EXPECT_EQ(TerminateProcess(killer, 0), True);
    const int status = reap(child);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(CloseHandle(killer), True);
    EXPECT_EQ(CloseHandle(killer), False);

    ASSERT_EQ(GetExitCodeProcess(handle, &code), True);
    EXPECT_NE(code, STILL_ACTIVE);
}

TEST(Processes, GiveTheExitCodeOfAnEndedChildAndRefuseUnknownOnes) {
    const pid_t child = startChild(3, false);
    ASSERT_GT(child, 0);
    ProcessHandle handle = OpenProcess(PROCESS_QUERY_INFORMATION, False, child);
    ASSERT_TRUE(handle.isOpen());
    Long code = STILL_ACTIVE;
    for (int i = 0; i < 1000000 && code == STILL_ACTIVE; ++i)
        GetExitCodeProcess(handle, &code);
    EXPECT_EQ(code, 3);
    reap(child);
    // Once reaped, the process number names nothing.
    EXPECT_FALSE(OpenProcess(PROCESS_QUERY_INFORMATION, False, child).isOpen());
    EXPECT_FALSE(OpenProcess(PROCESS_QUERY_INFORMATION, False, 0).isOpen());
    EXPECT_FALSE(OpenProcess(PROCESS_QUERY_INFORMATION, False, -1).isOpen());
}

TEST(WaitProcess, ReturnsFalseWhenTheProcessEndsInTime) {
    SteppedClock clock(at(2000, 3, 10, 12, 0));
    clock.advanceEachReading(1);
    QProcess child;
    child.start("sh", {"-c", "exit 4"});
    ASSERT_TRUE(child.waitForStarted());
    CL_GL010C gl;
    Long pid = static_cast<Long>(child.processId());
    QString span = "00:10:00";
    Boolean exitflg = True;
    EXPECT_EQ(gl.RVN_WaitProcess(pid, &span, &exitflg), False);
    EXPECT_LT(clock.readings(), 600000); // ended by the process, not the span
    // The wait kept the event loop running, so the child may be collected already.
    if (child.state() != QProcess::NotRunning) {
        EXPECT_TRUE(child.waitForFinished(5000));
    }
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 4);
}

TEST(WaitProcess, TimesOutAndEndsTheProcessWhenAsked) {
    SteppedClock clock(at(2000, 3, 10, 23, 59, 59)); // the span runs across midnight
    clock.advanceEachReading(1);
    QProcess child;
    child.start("sleep", {"60"});
    ASSERT_TRUE(child.waitForStarted());
    CL_GL010C gl;
    Long pid = static_cast<Long>(child.processId());
    QString span = "00:00:02";
    Boolean exitflg = True;
    EXPECT_EQ(gl.RVN_WaitProcess(pid, &span, &exitflg), True);
    EXPECT_GE(clock.readings(), 2000); // it polled until the span had passed
    EXPECT_TRUE(child.waitForFinished(5000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
}

TEST(WaitProcess, TimesOutAndLeavesTheProcessRunningByDefault) {
    SteppedClock clock(at(2000, 3, 10, 12, 0));
    clock.advanceEachReading(1);
    QProcess child;
    child.start("sleep", {"60"});
    ASSERT_TRUE(child.waitForStarted());
    CL_GL010C gl;
    Long pid = static_cast<Long>(child.processId());
    QString span = "00:00:01";
    EXPECT_EQ(gl.RVN_WaitProcess(pid, &span), True);
    EXPECT_EQ(child.state(), QProcess::Running);
    gl.RVN_ProcessTerminate(pid);
    EXPECT_TRUE(child.waitForFinished(5000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
}

TEST(WaitProcess, GivesUpAtOnceOnAProcessThatCannotBeOpened) {
    SteppedClock clock(at(2000, 3, 10, 12, 0));
    const pid_t gone = startChild(0, false);
    reap(gone);
    CL_GL010C gl;
    Long pid = gone;
    QString span = "00:00:01";
    EXPECT_EQ(gl.RVN_WaitProcess(pid, &span), False);
    EXPECT_LE(clock.readings(), 1);
    gl.RVN_ProcessTerminate(pid); // nothing to end: no effect, no failure
}
