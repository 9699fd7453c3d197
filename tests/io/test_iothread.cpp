// One pass of the IO thread at a time, against a line that the test fills
// and reads: polls, temperature requests, output resends, inputs.

#include "core/comport.h"
#include "core/iothread.h"
#include "core/serialline.h"
#include "iofixture.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <poll.h>
#include <unistd.h>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Sent = std::pair<int, int>;  // command, value

class FakeLine : public ByteChannel
{
public:
    QByteArray incoming;  // what the board has sent and the host not yet read
    QByteArray written;

    int readSome(uchar* data, int max) override
    {
        const int n = std::min(max, int(incoming.size()));
        std::memcpy(data, incoming.constData(), size_t(n));
        incoming.remove(0, n);
        return n;
    }
    void write(const uchar* data, int len) override
    {
        written.append(reinterpret_cast<const char*>(data), len);
    }

    // Host frames written since the last call.
    std::vector<Sent> take()
    {
        std::vector<Sent> sent;
        for (int i = 0; i + 6 <= written.size(); i += 6) {
            const auto* f = reinterpret_cast<const uchar*>(written.constData() + i);
            EXPECT_EQ(f[0], 0x5F);
            EXPECT_EQ(f[4], calcLRC(f, 4));
            EXPECT_EQ(f[5], 0xF5);
            sent.emplace_back(f[1], f[2] | f[3] << 8);
        }
        EXPECT_EQ(written.size() % 6, 0);
        written.clear();
        return sent;
    }
};

QByteArray boardFrame(int type, int d0, int d1, int d2, int d3)
{
    QByteArray f;
    for (int b : {0x5F, type, d0, d1, d2, d3})
        f.append(char(b));
    f.append(char(calcLRC(reinterpret_cast<const uchar*>(f.constData()), 6)));
    f.append(char(0xF5));
    return f;
}

QByteArray status(int inputs, int echo)
{
    return boardFrame(kBoardStatus, inputs & 0xFF, inputs >> 8, echo & 0xFF, echo >> 8);
}

QByteArray temperature(int type, float value)
{
    uchar b[4];
    std::memcpy(b, &value, 4);
    return boardFrame(type, b[0], b[1], b[2], b[3]);
}

const Sent kPoll{kCmdPoll, 0};

class IOThreadPass : public IOTest
{
protected:
    void SetUp() override
    {
        IOTest::SetUp();
        gpCom = &line;
        gIOID = 1;
        for (auto& t : gFTemp)
            t = -1.0f;
    }
    void TearDown() override
    {
        gpCom = nullptr;
        gIOID = 0;
        IOTest::TearDown();
    }
    void setWanted(int word)
    {
        QMutexLocker lock(pMutexIO);
        gDataOut = word;
    }

    FakeLine line;
    // Never started: the test runs its passes, whose answer comes at once.
    IOThread io{{IOThread::kPeriodNs, 0}};
};

}  // namespace

TEST_F(IOThreadPass, PollsEveryPassAndAsksTemperaturesOnThe200thAnd210thOfEvery210)
{
    for (int pass = 1; pass <= 630; ++pass) {
        io.pass();
        const std::vector<Sent> sent = line.take();
        ASSERT_EQ(sent.size(), 1u) << "pass " << pass;
        Sent expected = kPoll;
        if (pass % 210 == 200)
            expected = {kCmdTempBlock0, 0};
        else if (pass % 210 == 0)
            expected = {kCmdTempBlock1, 0};
        EXPECT_EQ(sent[0], expected) << "pass " << pass;
    }
}

TEST_F(IOThreadPass, SendsTheOutputWordOnlyAfterAStatusWhoseEchoDiffers)
{
    setWanted(0x005);
    struct Case {
        const char* name;
        QByteArray fromBoard;
        std::vector<Sent> sent;
        int inputs;
    } cases[] = {
        {"no answer from the board", {}, {kPoll}, 0},
        {"echo differs", status(0x201, 0x000), {{kCmdOutput, 0x005}, kPoll}, 0x201},
        {"echo matches", status(0x002, 0x005), {kPoll}, 0x002},
        {"two differing echoes: one resend", status(0x001, 0x004) + status(0x003, 0x001),
         {{kCmdOutput, 0x005}, kPoll}, 0x003},
    };
    for (const Case& c : cases) {
        line.incoming = c.fromBoard;
        io.pass();
        EXPECT_EQ(line.take(), c.sent) << c.name;
        QMutexLocker lock(pMutexIO);
        EXPECT_EQ(gDataIn, c.inputs) << c.name;
    }
}

// A board that applies output words and answers each poll at once, as a
// real one does within 1.5 ms.
class AnsweringLine : public FakeLine
{
public:
    int inputs = 0;
    int echo = 0;
    bool answering = true;
    int waits = 0;

    void write(const uchar* data, int len) override
    {
        FakeLine::write(data, len);
        if (len != 6)
            return;
        if (data[1] == kCmdOutput)
            echo = data[2] | data[3] << 8;
        else if (data[1] == kCmdPoll && answering)
            incoming += status(inputs, echo);
    }
    bool hasInput() override
    {
        ++waits;
        return !incoming.isEmpty();
    }
};

TEST_F(IOThreadPass, TakesTheAnswerToItsPollInTheSamePassAndSendsEachWordOncePerEcho)
{
    AnsweringLine board;
    gpCom = &board;
    board.inputs = 0x004;
    io.pass();
    EXPECT_EQ(board.take(), std::vector<Sent>{kPoll});
    {
        QMutexLocker lock(pMutexIO);
        EXPECT_EQ(gDataIn, 0x004);   // the input reached the program in this pass
    }
    // A new word goes out at the start of the next pass, against the echo
    // already known; the board applies it and nothing more is sent.
    setWanted(0x003);
    io.pass();
    io.pass();
    EXPECT_EQ(board.take(), (std::vector<Sent>{{kCmdOutput, 0x003}, kPoll, kPoll}));
    // An answer whose echo differs is answered with the word at once.
    board.echo = 0x000;
    io.pass();
    EXPECT_EQ(board.take(), (std::vector<Sent>{kPoll, {kCmdOutput, 0x003}}));
    // A board that stops answering gets each new word once.
    board.answering = false;
    board.incoming.clear();
    setWanted(0x001);
    io.pass();
    io.pass();
    EXPECT_EQ(board.take(), (std::vector<Sent>{{kCmdOutput, 0x001}, kPoll, kPoll}));
    EXPECT_GT(board.waits, 0);
}

TEST_F(IOThreadPass, TemperaturesFillTheirSlotsAndASurplusIsDropped)
{
    for (int pass = 1; pass <= 200; ++pass)  // the 200th pass asks for block 0
        io.pass();
    for (int i = 0; i < 20; ++i)  // more than the 16 slots
        line.incoming += temperature(kBoardTemp0, float(i));
    io.pass();
    for (int i = 0; i < kTempCount; ++i)
        EXPECT_FLOAT_EQ(gFTemp[i], float(i)) << i;

    for (int pass = 202; pass <= 210; ++pass)  // the 210th asks for block 1
        io.pass();
    for (int i = 0; i < 8; ++i)
        line.incoming += temperature(kBoardTemp1, 100.0f + i);
    io.pass();
    for (int i = 0; i < 8; ++i) {
        EXPECT_FLOAT_EQ(gFTemp[i], float(i)) << i;
        EXPECT_FLOAT_EQ(gFTemp[8 + i], 100.0f + i) << 8 + i;
    }
}

TEST_F(IOThreadPass, SendsAndReadsNothingWhileTheBoardIsNotInUse)
{
    gIOID = 0;
    line.incoming = status(0x001, 0x000);
    setWanted(0x001);
    io.pass();
    EXPECT_TRUE(line.written.isEmpty());
    EXPECT_EQ(line.incoming.size(), 8);
}

TEST_F(IOThreadPass, BytesBeyondTheReceiveBufferWaitInThePort)
{
    // 200 status frames (1600 bytes): one pass takes what fits, the next the rest.
    for (int i = 0; i < 200; ++i)
        line.incoming += status(i, 0);
    io.pass();
    EXPECT_EQ(line.incoming.size(), 1600 - FrameScanner::kCapacity);
    io.pass();
    EXPECT_TRUE(line.incoming.isEmpty());
    QMutexLocker lock(pMutexIO);
    EXPECT_EQ(gDataIn, 199);
}

TEST_F(IOThreadPass, TellsTheProgramOnlyOfStatusesThatChangeTheInputs)
{
    static int told;
    told = 0;
    IOThread::setInputHook([] { ++told; });
    struct Case {
        const char* name;
        QByteArray fromBoard;
        int told;
    } cases[] = {
        {"inputs change", status(0x001, 0), 1},
        {"the same inputs again", status(0x001, 0), 0},
        {"a temperature", temperature(kBoardTemp0, 20.0f), 0},
        {"two changes in one read", status(0x003, 0) + status(0x002, 0), 2},
        {"only the echo changes", status(0x002, 0x005), 0},
    };
    for (const Case& c : cases) {
        told = 0;
        line.incoming = c.fromBoard;
        io.pass();
        EXPECT_EQ(told, c.told) << c.name;
    }
    IOThread::setInputHook(nullptr);
}

namespace {

// The answering board shared by the running IO thread and the test.
class SharedBoard : public AnsweringLine
{
public:
    int readSome(uchar* data, int max) override
    {
        QMutexLocker lock(&mutex);
        return AnsweringLine::readSome(data, max);
    }
    void write(const uchar* data, int len) override
    {
        QMutexLocker lock(&mutex);
        AnsweringLine::write(data, len);
    }
    bool hasInput() override
    {
        QMutexLocker lock(&mutex);
        return AnsweringLine::hasInput();
    }
    // The frames written so far, once there are at least n (bounded wait).
    std::vector<Sent> frames(size_t n)
    {
        std::vector<Sent> all;
        WaitFor([&] {
            QMutexLocker lock(&mutex);
            all = FakeLine::take();
            written.clear();
            for (const Sent& s : all)
                seen.push_back(s);
            return seen.size() >= n;
        });
        return seen;
    }

private:
    QMutex mutex;
    std::vector<Sent> seen;
};

constexpr qint64 kHourNs = 3600LL * 1000000000;

}  // namespace

// With a pass once an hour, a published word still reaches the wire at once:
// while the thread sleeps between passes and while it waits for the board's
// answer. It goes out once for the status known, however often it is
// published.
TEST_F(IOThreadPass, APublishedWordGoesOutAtOnceWithoutWaitingForAPass)
{
    struct Case {
        const char* name;
        IOThread::Times times;
        bool statusWaiting;   // the board's status is read before the poll
    } cases[] = {
        {"between passes", {kHourNs, 0}, false},
        {"during the wait for the answer", {kHourNs, kHourNs}, true},
    };
    for (const Case& c : cases) {
        setWanted(0);
        SharedBoard board;
        board.inputs = 0x002;
        if (c.statusWaiting)
            board.incoming = status(board.inputs, 0);
        gpCom = &board;
        IOThread thread(c.times);
        thread.start();
        ASSERT_EQ(board.frames(1), std::vector<Sent>{kPoll}) << c.name;
        thread.publishOutput(0x003);
        EXPECT_EQ(board.frames(2), (std::vector<Sent>{kPoll, {kCmdOutput, 0x003}})) << c.name;
        thread.publishOutput(0x003);
        thread.publishOutput(0x001);
        EXPECT_EQ(board.frames(3), (std::vector<Sent>{kPoll, {kCmdOutput, 0x003}, {kCmdOutput, 0x001}})) << c.name;
        thread.stop();
        EXPECT_EQ(published(), 0x001);
        gpCom = &line;
    }
}

// Nothing goes out before the board's first status, even when woken.
TEST_F(IOThreadPass, APublishedWordWaitsForTheFirstStatus)
{
    SharedBoard board;
    board.answering = false;
    gpCom = &board;
    IOThread thread({kHourNs, 0});
    thread.start();
    ASSERT_EQ(board.frames(1), std::vector<Sent>{kPoll});
    thread.publishOutput(0x003);
    thread.stop();
    EXPECT_EQ(board.frames(1), std::vector<Sent>{kPoll});
    gpCom = &line;
}

// On a line that can be polled the pass ends with the board's status, not
// at the end of the answer time (here far longer than the test waits).
TEST_F(IOThreadPass, TakesTheAnswerAsSoonAsItsStatusIsIn)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    SerialLine serial;
    ASSERT_TRUE(serial.open(QString::fromLocal8Bit(ptsname(master))));
    gpCom = &serial;
    IOThread slowBoard{{IOThread::kPeriodNs, 20 * 1000000000LL}};
    // The board: answers the poll with a status whose inputs changed.
    std::thread board([master] {
        QByteArray poll;
        for (int tries = 0; tries < 100 && poll.size() < 6; ++tries) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0) {
                char b[16];
                const ssize_t n = ::read(master, b, sizeof b);
                if (n > 0)
                    poll.append(b, int(n));
            }
        }
        const QByteArray answer = status(0x010, 0);
        if (::write(master, answer.constData(), size_t(answer.size())) != answer.size()) {
            // The pass then waits out its answer time and the test fails below.
        }
    });
    auto pass = std::async(std::launch::async, [&slowBoard] { slowBoard.pass(); });
    const bool ended = pass.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    pass.wait();
    board.join();
    serial.close();
    ::close(master);
    EXPECT_TRUE(ended);
    QMutexLocker lock(pMutexIO);
    EXPECT_EQ(gDataIn, 0x010);
}
