#pragma once
// The IO thread: every 5 ms it reads the board's frames, publishes the input
// word, resends the output word when the board's echo differs from it, and
// polls the board (asking for the temperatures on every 210th pass), taking
// the answer in the same pass, as soon as its status is in (at most 2 ms). An output word published with
// publishOutput wakes it, and it goes out at once instead of at the next
// pass.
// Passes are timed against absolute deadlines on the monotonic clock.

#include "core/framescanner.h"

#include <QThread>
#include <atomic>

struct BoardFrame;

class IOThread : public QThread
{
    Q_OBJECT
public:
    static constexpr qint64 kPeriodNs = 5000000;
    static constexpr qint64 kAnswerWaitNs = 2000000;
    // Pass counts (0..209) that ask for temperature block 0 and block 1:
    // the 200th and 210th pass of every 210.
    static constexpr int kAskBlock0 = 199;
    static constexpr int kAskBlock1 = 209;

    struct Times {
        qint64 periodNs = kPeriodNs;
        qint64 answerWaitNs = kAnswerWaitNs;   // the board's time to answer a poll
    };

    IOThread();
    explicit IOThread(const Times& times);
    ~IOThread() override;
    Q_DISABLE_COPY(IOThread)

    // One exchange with the board.
    void pass();
    // Makes word the output word (gDataOut) and wakes the thread, which
    // sends it now when the board's newest status shows another word (once
    // for each status; nothing before the first). Any thread.
    void publishOutput(int word);
    // Ends the thread (waking it from its wait) and waits for it.
    void stop();

    // Called at the start of every pass with the monotonic time in ns
    // (measurements only; set before the thread starts).
    using PassHook = void (*)(qint64 ns);
    static void setPassHook(PassHook hook) { passHook.store(hook); }
    // Called on the IO thread when a status frame changed the input word;
    // may be set at any time (nullptr: none).
    using InputHook = void (*)();
    static void setInputHook(InputHook hook) { inputHook.store(hook); }

protected:
    void run() override;

private:
    // Bytes read from the line.
    int receive();
    int takeFrames();
    bool awaitAnswer();
    enum class Woken { Deadline, Published, Readable };
    // Sleeps until the monotonic time deadlineNs, or until a word is
    // published (or stop), or until readFd (when >= 0) has bytes.
    Woken sleepUntil(qint64 deadlineNs, int readFd = -1);
    void wake();
    void resendIfDiffers();
    void handle(const BoardFrame& frame);
    void sendPassCommand();

    static std::atomic<PassHook> passHook;
    static std::atomic<InputHook> inputHook;

    const Times times;
    int wakeFd = -1;   // eventfd: an output word was published
    FrameScanner rx;
    uchar staging[FrameScanner::kCapacity] = {};
    int passCount = 0;   // 0..209
    int tempIndex = 0;   // next slot of gFTemp
    int lastEcho = -1;        // output word of the newest status, or -1
    int sentSinceEcho = -1;   // output word sent since that status, or -1
    bool statusTaken = false;  // a status frame was handled since awaitAnswer began
};
