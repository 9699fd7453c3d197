#pragma once
// A clock the test steps by hand: timers fire in order of their expiry (ties
// in the order they were armed) while advance() moves time on.

#include "screen/runclock.h"

#include <memory>
#include <vector>

class FakeClock : public RunClock
{
public:
    explicit FakeClock(const QDateTime& start) : wallStart(start) {}

    std::unique_ptr<RunTimer> createTimer(bool singleShot, std::function<void()> onTimeout) override;
    qint64 elapsedMs() const override { return nowMs; }
    QDateTime now() const override { return wallStart.addMSecs(nowMs); }

    // Moves time on by ms, firing every timer that expires meanwhile.
    void advance(qint64 ms);
    // Sets the wall clock (a new day) without moving monotonic time.
    void setWallTime(const QDateTime& t) { wallStart = t.addMSecs(-nowMs); }

    struct Slot {
        bool singleShot = false;
        bool active = false;
        qint64 due = 0;
        int interval = 0;
        quint64 order = 0;
        std::function<void()> onTimeout;
    };
    quint64 nextOrder() { return ++orders; }

private:
    std::shared_ptr<Slot> nextDue(qint64 until);

    QDateTime wallStart;
    qint64 nowMs = 0;
    quint64 orders = 0;
    std::vector<std::weak_ptr<Slot>> armed;
};
