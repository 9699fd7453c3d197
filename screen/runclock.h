#pragma once
// Time as the run controller sees it: timers that call back on the
// controller's thread, a monotonic clock for durations and the local wall
// clock for record lines and file names. The program uses QtRunClock; tests
// use a clock they step by hand.

#include <QDateTime>
#include <QtGlobal>
#include <functional>
#include <memory>

class RunTimer
{
public:
    virtual ~RunTimer() = default;
    // (Re)starts the timer; a running timer starts again from now.
    virtual void start(int ms) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

class RunClock
{
public:
    virtual ~RunClock() = default;
    // A periodic timer, or a single-shot one, calling onTimeout at expiry.
    virtual std::unique_ptr<RunTimer> createTimer(bool singleShot, std::function<void()> onTimeout) = 0;
    // Milliseconds of a monotonic clock (only differences mean anything).
    virtual qint64 elapsedMs() const = 0;
    // Local date and time.
    virtual QDateTime now() const = 0;
};

// Milliseconds for a timer: durations from settings are clamped to what a
// timer can hold.
int TimerMs(qint64 ms);
