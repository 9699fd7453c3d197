#include "core/iothread.h"

#include "core/comport.h"
#include "core/controlport.h"
#include "core/globals.h"
#include "core/serialline.h"

#include <QMutexLocker>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <sys/prctl.h>

std::atomic<IOThread::PassHook> IOThread::passHook{nullptr};

namespace {
constexpr qint64 kNsPerSec = 1000000000;
constexpr int kAnswerWaitUs = 2000;

qint64 toNs(const timespec& t)
{
    return qint64(t.tv_sec) * kNsPerSec + t.tv_nsec;
}

timespec fromNs(qint64 ns)
{
    timespec t{};
    t.tv_sec = static_cast<time_t>(ns / kNsPerSec);
    t.tv_nsec = static_cast<long>(ns % kNsPerSec);
    return t;
}

qint64 nowNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return toNs(t);
}

void sleepUntil(qint64 deadlineNs)
{
    const timespec deadline = fromNs(deadlineNs);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}
}  // namespace

IOThread::IOThread(QObject* parent)
    : QThread(parent)
{
}

void IOThread::run()
{
    // Wake at the deadline rather than up to 50 us later.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    qint64 deadline = nowNs();
    while (!isInterruptionRequested()) {
        if (PassHook hook = passHook.load())
            hook(nowNs());
        pass();
        deadline += kPeriodNs;
        const qint64 now = nowNs();
        if (now - deadline > kPeriodNs)  // a whole pass was lost (the machine stalled): no burst to catch up
            deadline = now + kPeriodNs;
        sleepUntil(deadline);
    }
}

void IOThread::pass()
{
    if (gIOID == 0)
        return;
    takeFrames();
    resendIfDiffers();
    sendPassCommand();
    if (awaitAnswer())
        resendIfDiffers();
}

// The board answers within about 1.5 ms at 115200 baud: taken in this pass,
// a changed input reaches the program one period sooner than at the next.
bool IOThread::awaitAnswer()
{
    if (!gpCom || !gpCom->waitForAnswer(kAnswerWaitUs))
        return false;
    takeFrames();
    return true;
}

// Checked at the start of the pass and again at the answer, so that a new
// output word waits at most 3 ms; a word is sent once for each status that
// differs from it, so a silent board is not sent it again and again.
void IOThread::resendIfDiffers()
{
    int wanted;
    {
        QMutexLocker lock(pMutexIO);
        wanted = gDataOut;
    }
    const int word = wanted & IOFrame::kWordMask;
    if (lastEcho < 0 || lastEcho == word || sentSinceEcho == word)
        return;
    ComSend(kCmdOutput, wanted);
    sentSinceEcho = word;
}

void IOThread::takeFrames()
{
    receive();
    rx.scan([this](const BoardFrame& frame) { handle(frame); });
}

void IOThread::receive()
{
    if (!gpCom)
        return;
    // Never more than the receive buffer can keep: the rest waits in the port.
    const int n = gpCom->readSome(staging, std::min<int>(sizeof staging, rx.space()));
    rx.append(staging, n);
}

void IOThread::handle(const BoardFrame& frame)
{
    switch (frame.type) {
    case kBoardStatus: {
        QMutexLocker lock(pMutexIO);
        gDataIn = frame.inputs();
        lastEcho = frame.echo() & IOFrame::kWordMask;
        sentSinceEcho = -1;
        break;
    }
    case kBoardTemp0:
    case kBoardTemp1:
        // A board that sends more values than were asked for cannot write
        // past the store; the surplus is dropped.
        if (tempIndex < kTempCount)
            gFTemp[tempIndex++].store(frame.temperature(), std::memory_order_relaxed);
        break;
    default:
        break;
    }
}

void IOThread::sendPassCommand()
{
    if (passCount == kAskBlock0) {
        tempIndex = 0;
        ComSend(kCmdTempBlock0, 0);
        ++passCount;
    } else if (passCount == kAskBlock1) {
        tempIndex = kTempCount / 2;
        ComSend(kCmdTempBlock1, 0);
        passCount = 0;
    } else {
        ComSend(kCmdPoll, 0);
        ++passCount;
    }
}
