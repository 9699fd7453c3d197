#include "core/iothread.h"

#include "core/comport.h"
#include "core/controlport.h"
#include "core/globals.h"
#include "core/serialline.h"

#include <QMutexLocker>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <unistd.h>

std::atomic<IOThread::PassHook> IOThread::passHook{nullptr};
std::atomic<IOThread::InputHook> IOThread::inputHook{nullptr};

namespace {
constexpr qint64 kNsPerSec = 1000000000;

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
}  // namespace

IOThread::IOThread()
    : IOThread(Times())
{
}

IOThread::IOThread(const Times& times)
    : times(times)
    , wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
}

IOThread::~IOThread()
{
    stop();
    if (wakeFd >= 0)
        ::close(wakeFd);
}

void IOThread::stop()
{
    requestInterruption();
    wake();
    wait();
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
        deadline += times.periodNs;
        const qint64 now = nowNs();
        if (now - deadline > times.periodNs)  // a whole pass was lost (the machine stalled): no burst to catch up
            deadline = now + times.periodNs;
        while (!isInterruptionRequested() && sleepUntil(deadline) == Woken::Published)
            resendIfDiffers();
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

void IOThread::publishOutput(int word)
{
    {
        QMutexLocker lock(pMutexIO);
        gDataOut = word;
    }
    wake();
}

// The board answers within about 1.5 ms at 115200 baud: taken in this pass,
// a changed input reaches the program one period sooner than at the next.
// The pass takes the answer as soon as a whole status frame is in, and at
// the latest when the answer time is over (a channel that cannot be polled
// is read then); an output word published meanwhile goes out at once. The
// next pass keeps its absolute deadline either way.
bool IOThread::awaitAnswer()
{
    if (!gpCom)
        return false;
    const qint64 until = nowNs() + times.answerWaitNs;
    int readFd = gpCom->pollFd();
    bool taken = false;
    statusTaken = false;
    while (!isInterruptionRequested()) {
        const Woken woken = sleepUntil(until, readFd);
        if (woken == Woken::Deadline)
            break;
        if (woken == Woken::Published) {
            resendIfDiffers();
            continue;
        }
        taken = true;
        if (takeFrames() == 0)
            readFd = -1;   // a line that hangs up or a full buffer: sleep out the answer time
        if (statusTaken)
            return true;
    }
    if (!gpCom->hasInput())
        return taken;
    takeFrames();
    return true;
}

IOThread::Woken IOThread::sleepUntil(qint64 deadlineNs, int readFd)
{
    pollfd p[2] = {{wakeFd, POLLIN, 0}, {readFd, POLLIN, 0}};
    const nfds_t count = readFd >= 0 ? 2 : 1;
    for (qint64 left; (left = deadlineNs - nowNs()) > 0;) {
        const timespec timeout = fromNs(left);
        const int n = ppoll(p, count, &timeout, nullptr);
        if (n > 0 && (p[0].revents & POLLIN)) {
            quint64 wakes = 0;
            if (::read(wakeFd, &wakes, sizeof wakes) < 0) {
                // Nothing to take: the wake-up was taken already.
            }
            return Woken::Published;
        }
        if (n > 0 && count == 2 && p[1].revents != 0)
            return Woken::Readable;
        if (n < 0 && errno != EINTR) {
            const timespec deadline = fromNs(deadlineNs);
            while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
            }
            return Woken::Deadline;
        }
    }
    return Woken::Deadline;
}

void IOThread::wake()
{
    const quint64 one = 1;
    if (wakeFd >= 0 && ::write(wakeFd, &one, sizeof one) < 0) {
        // The counter is full: a wake-up is pending anyway.
    }
}

// Checked at the start of the pass, at the answer and whenever a word is
// published; a word is sent once for each status that differs from it, so a
// silent board is not sent it again and again, and nothing is sent before the
// board's first status.
void IOThread::resendIfDiffers()
{
    if (gIOID == 0)
        return;
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

int IOThread::takeFrames()
{
    const int n = receive();
    rx.scan([this](const BoardFrame& frame) { handle(frame); });
    return n;
}

int IOThread::receive()
{
    if (!gpCom)
        return 0;
    // Never more than the receive buffer can keep: the rest waits in the port.
    const int n = gpCom->readSome(staging, std::min<int>(sizeof staging, rx.space()));
    rx.append(staging, n);
    return n;
}

void IOThread::handle(const BoardFrame& frame)
{
    switch (frame.type) {
    case kBoardStatus: {
        bool changed;
        {
            QMutexLocker lock(pMutexIO);
            changed = gDataIn != frame.inputs();
            gDataIn = frame.inputs();
        }
        lastEcho = frame.echo() & IOFrame::kWordMask;
        sentSinceEcho = -1;
        statusTaken = true;
        InputHook hook = inputHook.load();
        if (changed && hook)
            hook();
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
